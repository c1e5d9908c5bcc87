// CP949 <-> UTF-16 at the Win32 boundary. The conversion is explicit (code page 949)
// so Korean text is right whatever the system's ANSI code page is. Embedded zero
// characters convert like any other, so value data with several strings survives.
#pragma once

#include <string>

namespace platform::win32 {

std::wstring Cp949ToWide(const std::string& text);
std::string WideToCp949(const std::wstring& text);

}  // namespace platform::win32
