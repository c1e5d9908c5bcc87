// Conversion between the client's narrow texts (code page 949 bytes) and the UTF-16
// texts of the W functions. The code page is always 949, whatever the system's ANSI
// code page, so Korean texts show the same on every Windows display language.
#pragma once

#include <string>
#include <string_view>

namespace ui {

std::wstring WidenCp949(std::string_view text);
std::string NarrowCp949(std::wstring_view text);

}  // namespace ui
