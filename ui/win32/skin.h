// Pieces every skinned window shares: the bitmap background, bitmap buttons, dragging
// by the client area and the keys that must never close a window.
#pragma once

#include "platform/win32/windows_include.h"

namespace ui {

// Copies `bitmap` at (0, 0) in its own size.
void PaintBitmap(HDC dc, HBITMAP bitmap);

SIZE BitmapSize(HBITMAP bitmap);

// An owner-drawn button shown by two bitmaps; focus and disabled show the normal one,
// and a missing pressed bitmap falls back to the normal one.
class BitmapButton {
 public:
  BitmapButton() = default;
  BitmapButton(const BitmapButton&) = delete;
  BitmapButton& operator=(const BitmapButton&) = delete;
  ~BitmapButton();

  // Loads the bitmaps and sizes the control `id` of `dialog` to the normal bitmap.
  void Attach(HWND dialog, int id, int normal_bitmap, int pressed_bitmap);
  // Answers WM_DRAWITEM for this button.
  void Draw(const DRAWITEMSTRUCT& item) const;
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
  HBITMAP normal_ = nullptr;
  HBITMAP pressed_ = nullptr;
};

// WM_NCHITTEST of a window dragged by any point of its surface: the default answer,
// with HTCLIENT turned into HTCAPTION.
LRESULT HitTestAsCaption(HWND window, WPARAM wparam, LPARAM lparam);

}  // namespace ui
