// Programs the client starts by full path: the Windows form of a folder, a program's
// path in it, and whether a text may stand between double quotes on a command line.
#pragma once

#include <string>
#include <string_view>

namespace tunnel {

// True when `text` is not empty and holds no double quote and no control byte, so
// "\"" + text + "\"" is one argument of a command line.
bool Quotable(std::string_view text);

// `folder` with every '/' turned into '\' and without a separator at its end, except
// for a drive's root ("C:\").
std::string WindowsFolder(std::string_view folder);

// The full Windows path of `name` in `folder` ("C:/Program Files/TUNRA", "vexoop.exe"
// -> "C:\Program Files\TUNRA\vexoop.exe").
std::string PathInFolder(std::string_view folder, std::string_view name);

}  // namespace tunnel
