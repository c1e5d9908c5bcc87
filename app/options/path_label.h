// The text a program row shows for a registered path: the whole path when it fits,
// otherwise its beginning, "..." and its end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::size_t kPathLabelHead = 10;  // bytes of the beginning, at most
inline constexpr std::size_t kPathLabelTail = 20;  // bytes of the end, at most

// `path` whole when it is no longer than the shortened form would be (head, "...",
// tail: 33 bytes); otherwise its first at most 10 bytes, "..." and its last at most 20
// bytes, each cut on whole CP949 characters, so a Korean folder name never shows half
// a character.
std::string ProgramPathLabel(std::string_view path);

}  // namespace app
