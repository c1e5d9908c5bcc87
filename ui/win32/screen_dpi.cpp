#include "ui/win32/screen_dpi.h"

#include "app/main/main_layout.h"
#include "ui/win32/skin.h"

namespace ui {

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : app::kBaseDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return value > 0 ? value : app::kBaseDpi;
  }();
  return dpi;
}

int Scaled(int pixels) { return app::ScaleForDpi(pixels, ScreenDpi()); }

HBITMAP ScaleBitmap(HBITMAP bitmap, int dpi) {
  if (bitmap == nullptr || dpi == app::kBaseDpi) return bitmap;
  const SIZE size = BitmapSize(bitmap);
  const int width = app::ScaleForDpi(size.cx, dpi), height = app::ScaleForDpi(size.cy, dpi);
  if (size.cx <= 0 || size.cy <= 0 || width <= 0 || height <= 0) return bitmap;

  HDC screen = GetDC(nullptr);
  HBITMAP scaled = screen != nullptr ? CreateCompatibleBitmap(screen, width, height) : nullptr;
  HDC from = screen != nullptr ? CreateCompatibleDC(screen) : nullptr;
  HDC to = screen != nullptr ? CreateCompatibleDC(screen) : nullptr;
  bool done = false;
  if (scaled != nullptr && from != nullptr && to != nullptr) {
    HGDIOBJ oldFrom = SelectObject(from, bitmap);
    HGDIOBJ oldTo = SelectObject(to, scaled);
    // Halftone averages the source pixels under each target pixel (the brush origin
    // must be set after choosing it); the default mode drops or repeats whole rows.
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    done = StretchBlt(to, 0, 0, width, height, from, 0, 0, size.cx, size.cy, SRCCOPY) != FALSE;
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (to != nullptr) DeleteDC(to);
  if (from != nullptr) DeleteDC(from);
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  if (!done) {
    if (scaled != nullptr) DeleteObject(scaled);
    return bitmap;
  }
  DeleteObject(bitmap);
  return scaled;
}

HBITMAP LoadSkinBitmap(int id) {
  return ScaleBitmap(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)), ScreenDpi());
}

}  // namespace ui
