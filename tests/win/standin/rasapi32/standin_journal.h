// The stand-in dialer's journal: one line per call, appended to a text file the tests
// read. Fields are separated by tabs, the call's name first, then name=value pairs.
#pragma once

#include <string>

namespace standin {

// Appends `line` and CR LF to the file at `path` (created when missing). Lines of
// several threads never interleave.
void Journal(const std::wstring& path, const std::string& line);

}  // namespace standin
