// Window-message rules shared by the skinned top-level windows.
#pragma once

#include <cstdint>

namespace app {

inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmSysKeyDown = 0x0104;
inline constexpr std::uintptr_t kVkReturn = 0x0D;
inline constexpr std::uintptr_t kVkEscape = 0x1B;
inline constexpr std::uintptr_t kVkF4 = 0x73;
inline constexpr int kHtClient = 1;
inline constexpr int kHtCaption = 2;

// True for the keys a dialog would close on and the windows must ignore: Enter and
// Escape (WM_KEYDOWN) and Alt+F4 (WM_SYSKEYDOWN).
constexpr bool SwallowKey(std::uint32_t message, std::uintptr_t key) {
  return (message == kWmKeyDown && (key == kVkReturn || key == kVkEscape)) ||
         (message == kWmSysKeyDown && key == kVkF4);
}

// The hit-test result of a borderless window that drags by any point of its client
// area: the client area answers as the caption.
constexpr int DragAnywhere(int default_hit) { return default_hit == kHtClient ? kHtCaption : default_hit; }

}  // namespace app
