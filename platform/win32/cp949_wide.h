// CP949 <-> UTF-16 at the Win32 boundary. The conversion is explicit (code page 949)
// so Korean text is right whatever the system's ANSI code page is. Embedded zero
// characters convert like any other, so value data with several strings survives.
#pragma once

#include <string>

namespace platform::win32 {

std::wstring Cp949ToWide(const std::string& text);
std::string WideToCp949(const std::wstring& text);

// The same, but false (and `out` empty) when a character has no code page 949 form: a
// path converted with a stand-in character would name a different file.
bool WideToCp949Exact(const std::wstring& text, std::string& out);

// True when every byte is ASCII.
bool IsAscii(const std::string& text);

}  // namespace platform::win32
