// A static control that paints its own text: chosen face, height, colours and
// alignment on a solid background (the skinned windows' labels). Every paint creates
// its font and frees it again; a font that cannot be created is replaced by the
// system's GUI font, so the label still shows its text and nothing else happens (a
// message box from WM_PAINT would open again on every paint).
#pragma once

#include "platform/win32/windows_include.h"

#include <string>

#include "app/main/label_style.h"

namespace ui {

class FontStatic {
 public:
  // Creates the label's font for one paint; nullptr when the system cannot.
  using FontMaker = HFONT(WINAPI*)(const LOGFONTW*);

  // `make` is the system's CreateFontIndirectW; tests give one that fails.
  explicit FontStatic(FontMaker make = &CreateFontIndirectW) : make_font_(make) {}
  FontStatic(const FontStatic&) = delete;
  FontStatic& operator=(const FontStatic&) = delete;
  ~FontStatic();

  // Takes over painting of control `id` of `dialog` (and adds SS_NOTIFY).
  void Attach(HWND dialog, int id);
  // Face, height in pixels at 100 % (scaled to the screen's DPI when painted), text
  // colour and style flags (app/main/label_style.h). Font flags once set stay set; the
  // alignment is chosen anew on every call. Does not repaint.
  void SetFontStyle(const std::wstring& face, int height, COLORREF text_color, unsigned flags);
  void SetBackColor(COLORREF color);
  void SetText(const std::wstring& text);
  HWND window() const { return window_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void Paint();
  LOGFONTW Font() const;

  FontMaker make_font_;
  HWND window_ = nullptr;
  std::wstring face_ = L"MS Sans Serif";
  int height_ = 8;
  COLORREF text_color_ = 0;
  COLORREF back_color_ = 0;
  bool has_back_color_ = false;
  unsigned font_flags_ = 0;  // bold, italic, underline, strike-out
  UINT align_ = DT_LEFT;
};

}  // namespace ui
