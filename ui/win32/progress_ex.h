// A progress bar that paints itself in two colours with a caption across it (the
// connection and update progress dialogs): the filled part in the bar colour, the rest
// in the back colour, and the caption (the control's window text) centred over both,
// in the text-on-bar colour where the bar has passed and the text-on-back colour
// elsewhere. Range and position are the native control's own (PBM_SETRANGE32,
// PBM_SETPOS), so the owner keeps driving it with the usual messages.
#pragma once

#include "platform/win32/windows_include.h"

namespace ui {

class ProgressEx {
 public:
  struct Look {
    COLORREF backColor, barColor, textOnBarColor, textOnBackColor;
  };

  ProgressEx() = default;
  ProgressEx(const ProgressEx&) = delete;
  ProgressEx& operator=(const ProgressEx&) = delete;
  ~ProgressEx();

  // Takes over painting of progress control `id` of `dialog` with `look`.
  void Attach(HWND dialog, int id, const Look& look);
  HWND window() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void Paint();

  HWND window_ = nullptr;
  Look look_{};
};

}  // namespace ui
