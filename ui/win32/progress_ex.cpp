#include "ui/win32/progress_ex.h"

#include <commctrl.h>

#include <string>

#include "app/progress/progress_paint.h"

namespace ui {

namespace {

constexpr UINT_PTR kSubclassId = 0x7067;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

// The caption in `color`, centred on one line over `whole`, drawn only inside `clip`.
void DrawCaption(HDC dc, const std::wstring& caption, RECT whole, const RECT& clip, COLORREF color) {
  if (clip.right <= clip.left) return;
  HRGN region = CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
  if (region == nullptr) return;  // unclipped, the caption would cover both parts in one colour
  SelectClipRgn(dc, region);
  SetTextColor(dc, color);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &whole,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectClipRgn(dc, nullptr);
  DeleteObject(region);
}

}  // namespace

ProgressEx::~ProgressEx() {
  if (window_ != nullptr) RemoveWindowSubclass(window_, &ProgressEx::Proc, kSubclassId);
}

void ProgressEx::Attach(HWND dialog, int id, const Look& look) {
  look_ = look;
  window_ = GetDlgItem(dialog, id);
  if (window_ == nullptr) return;
  SetWindowSubclass(window_, &ProgressEx::Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK ProgressEx::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                  DWORD_PTR data) {
  auto* self = reinterpret_cast<ProgressEx*>(data);
  switch (message) {
    case WM_PAINT:
      self->Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel: no flicker
    case WM_SETTEXT:
    case PBM_SETPOS:
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
      // The native control repaints only its own bar; the caption changes too.
      const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    default:
      return DefSubclassProc(window, message, wparam, lparam);
  }
}

void ProgressEx::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT rect;
  GetClientRect(window_, &rect);
  PBRANGE range{};
  SendMessageW(window_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(SendMessageW(window_, PBM_GETPOS, 0, 0));
  const int filled = app::ProgressFillWidth(position, range.iLow, range.iHigh, rect.right - rect.left);

  RECT bar = rect;
  bar.right = rect.left + filled;
  RECT rest = rect;
  rest.left = bar.right;
  Fill(dc, bar, look_.barColor);
  Fill(dc, rest, look_.backColor);

  const int length = GetWindowTextLengthW(window_);
  std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
  caption.resize(static_cast<size_t>(GetWindowTextW(window_, caption.data(), length + 1)));
  SetBkMode(dc, TRANSPARENT);
  // The caption in the dialog's font.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window_), WM_GETFONT, 0, 0));
  HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
  DrawCaption(dc, caption, rect, bar, look_.textOnBarColor);
  DrawCaption(dc, caption, rect, rest, look_.textOnBackColor);
  if (old_font != nullptr) SelectObject(dc, old_font);
  EndPaint(window_, &paint);
}

}  // namespace ui
