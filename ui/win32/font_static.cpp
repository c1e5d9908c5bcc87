#include "ui/win32/font_static.h"

#include <commctrl.h>

namespace ui {

namespace {
constexpr UINT_PTR kSubclassId = 0x7465;
}

FontStatic::~FontStatic() {
  if (window_ != nullptr) RemoveWindowSubclass(window_, &FontStatic::Proc, kSubclassId);
}

void FontStatic::Attach(HWND dialog, int id) {
  window_ = GetDlgItem(dialog, id);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | SS_NOTIFY);
  SetWindowSubclass(window_, &FontStatic::Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void FontStatic::SetFontStyle(const std::wstring& face, int height, COLORREF text_color,
                              unsigned flags) {
  face_ = face;
  height_ = height;
  text_color_ = text_color;
  font_flags_ |= flags & (app::kFontBold | app::kFontItalic | app::kFontUnderline | app::kFontStrikeOut);
  align_ = (flags & app::kFontCenter) ? DT_CENTER : (flags & app::kFontRight) ? DT_RIGHT : DT_LEFT;
}

void FontStatic::SetBackColor(COLORREF color) {
  back_color_ = color;
  has_back_color_ = true;
}

void FontStatic::SetText(const std::wstring& text) {
  if (window_ == nullptr) return;
  SetWindowTextW(window_, text.c_str());
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CALLBACK FontStatic::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                  UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<FontStatic*>(data);
  switch (message) {
    case WM_PAINT:
      self->Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills every pixel
    case WM_SETTEXT: {
      // A new text must not leave the old one behind: repaint at once.
      const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    default:
      return DefSubclassProc(window, message, wparam, lparam);
  }
}

void FontStatic::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT rect;
  GetClientRect(window_, &rect);
  HBRUSH brush = CreateSolidBrush(has_back_color_ ? back_color_ : GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &rect, brush);
  DeleteObject(brush);

  const int length = GetWindowTextLengthW(window_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window_, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));

  SetTextColor(dc, text_color_);
  SetBkMode(dc, TRANSPARENT);
  HFONT font = CreateFontW(height_, 0, 0, 0, (font_flags_ & app::kFontBold) ? 900 : 400,
                           (font_flags_ & app::kFontItalic) != 0, (font_flags_ & app::kFontUnderline) != 0,
                           (font_flags_ & app::kFontStrikeOut) != 0, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                           CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face_.c_str());
  if (font != nullptr) {
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), length, &rect, align_ | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  EndPaint(window_, &paint);
}

}  // namespace ui
