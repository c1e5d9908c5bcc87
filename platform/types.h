// Small value types shared by the platform interfaces.
//
// Handles are opaque integers (std::uintptr_t) so the interfaces compile without
// <windows.h>; a Win32 implementation stores its HANDLE / HKEY / HWND in them, a fake
// hands out counters. 0 is always "no handle".
#pragma once

#include <cstdint>

namespace platform {

using Handle = std::uintptr_t;
using WindowHandle = Handle;

// Win32 error codes the interfaces return unchanged, so callers can branch on the
// same numbers the real calls give.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorInsufficientBuffer = 122;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorPrivilegeNotHeld = 1314;

// ShowWindow codes, for the programs and pages the client starts.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShow = 5;
constexpr int kSwShowDefault = 10;

// A rectangle in pixels, as RECT: right and bottom are exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

}  // namespace platform
