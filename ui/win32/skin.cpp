#include "ui/win32/skin.h"

#include "ui/win32/screen_dpi.h"

namespace ui {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

void PaintBitmap(HDC dc, HBITMAP bitmap) {
  if (bitmap == nullptr) return;
  const SIZE size = BitmapSize(bitmap);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

BitmapButton::~BitmapButton() {
  if (normal_ != nullptr) DeleteObject(normal_);
  if (pressed_ != nullptr) DeleteObject(pressed_);
}

void BitmapButton::Attach(HWND dialog, int id, int normal_bitmap, int pressed_bitmap) {
  // Attaching again (a layout change swaps the bitmaps) frees the previous pair.
  if (pressed_ != nullptr) DeleteObject(pressed_);
  if (normal_ != nullptr) DeleteObject(normal_);
  pressed_ = nullptr;
  window_ = GetDlgItem(dialog, id);
  normal_ = LoadSkinBitmap(normal_bitmap);
  if (pressed_bitmap != normal_bitmap) pressed_ = LoadSkinBitmap(pressed_bitmap);
  const SIZE size = BitmapSize(normal_);
  if (window_ != nullptr && size.cx > 0)
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BitmapButton::Draw(const DRAWITEMSTRUCT& item) const {
  HBITMAP bitmap = normal_;
  if ((item.itemState & ODS_SELECTED) && pressed_ != nullptr) bitmap = pressed_;
  PaintBitmap(item.hDC, bitmap);
}

LRESULT HitTestAsCaption(HWND window, WPARAM wparam, LPARAM lparam) {
  const LRESULT hit = DefWindowProcW(window, WM_NCHITTEST, wparam, lparam);
  return hit == HTCLIENT ? HTCAPTION : hit;
}

}  // namespace ui
