#include "ui/win32/font_static.h"

#include <commctrl.h>

#include "ui/win32/screen_dpi.h"

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

LOGFONTW FontStatic::Font() const {
  LOGFONTW font{};
  font.lfHeight = Scaled(height_);
  font.lfWeight = (font_flags_ & app::kFontBold) ? 900 : 400;
  font.lfItalic = (font_flags_ & app::kFontItalic) != 0;
  font.lfUnderline = (font_flags_ & app::kFontUnderline) != 0;
  font.lfStrikeOut = (font_flags_ & app::kFontStrikeOut) != 0;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_STRING_PRECIS;
  font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH;
  // A longer face name is cut, as CreateFontW cuts it.
  face_.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
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
  text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), length + 1)));

  SetTextColor(dc, text_color_);
  SetBkMode(dc, TRANSPARENT);
  const LOGFONTW style = Font();
  HFONT created = make_font_(&style);
  HGDIOBJ font = created != nullptr ? created : GetStockObject(DEFAULT_GUI_FONT);
  HGDIOBJ old = SelectObject(dc, font);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, align_ | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  if (created != nullptr) DeleteObject(created);
  EndPaint(window_, &paint);
}

}  // namespace ui
