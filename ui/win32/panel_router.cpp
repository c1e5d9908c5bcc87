#include "ui/win32/panel_router.h"

#include "ui/win32/screen_dpi.h"
#include "ui/win32/skin.h"

namespace ui {

PanelRouter::~PanelRouter() {
  labels_.clear();  // unhook the labels before the brushes go
  if (background_brush_ != nullptr) DeleteObject(background_brush_);
  if (background_ != nullptr) DeleteObject(background_);
}

void PanelRouter::SetBackground(int bitmap_id) {
  background_id_ = bitmap_id;
  if (hwnd() != nullptr) LoadBackground();
}

void PanelRouter::LoadBackground() {
  if (background_brush_ != nullptr) DeleteObject(background_brush_);
  if (background_ != nullptr) DeleteObject(background_);
  background_brush_ = nullptr;
  background_ = nullptr;
  if (background_id_ == 0) return;
  background_ = LoadSkinBitmap(background_id_);
  if (background_ != nullptr) background_brush_ = CreatePatternBrush(background_);
  if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, TRUE);
}

void PanelRouter::SetTransparent(int id, COLORREF text_color) { transparent_[id] = text_color; }

FontStatic& PanelRouter::Label(int id) {
  auto& label = labels_[id];
  if (!label) {
    label = std::make_unique<FontStatic>();
    label->Attach(hwnd(), id);
  }
  return *label;
}

HBRUSH PanelRouter::TransparentBrush(HDC dc, HWND control) {
  const auto it = transparent_.find(GetDlgCtrlID(control));
  if (it == transparent_.end() || background_brush_ == nullptr) return nullptr;
  // The brush's pattern starts at the dialog's origin: shift it by the control's
  // place so the control fills itself with the background piece it covers.
  POINT origin{0, 0};
  MapWindowPoints(control, hwnd(), &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, it->second);
  return background_brush_;
}

void PanelRouter::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  PaintBitmap(dc, background_);
  EndPaint(hwnd(), &paint);
}

bool PanelRouter::Dispatch(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
  auto message_result = [&](LRESULT value) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, value);
    result = TRUE;
    return true;
  };
  switch (message) {
    case WM_INITDIALOG:
      window_.Attach(dialog);
      LoadBackground();
      if (onInit) onInit();
      result = TRUE;
      return true;
    case WM_PAINT:
      if (background_ == nullptr) return false;
      Paint();
      result = TRUE;
      return true;
    case WM_ERASEBKGND:
      // The bitmap covers the whole dialog; erasing first would only flicker.
      return background_ != nullptr && message_result(1);
    case WM_CTLCOLORDLG: {
      HBRUSH brush = background_brush_;
      if (brush == nullptr && onCtlColor)
        brush = onCtlColor(message, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      if (brush == nullptr) return false;
      result = reinterpret_cast<INT_PTR>(brush);
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      HWND control = reinterpret_cast<HWND>(lparam);
      HBRUSH brush = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? nullptr
                                                                                 : TransparentBrush(dc, control);
      if (brush == nullptr && onCtlColor) brush = onCtlColor(message, dc, control);
      if (brush == nullptr) return false;
      result = reinterpret_cast<INT_PTR>(brush);  // WM_CTLCOLOR* return the brush itself
      return true;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      const bool drawn = window_.DrawItem(item) || (onDrawItem && onDrawItem(item));
      result = drawn ? TRUE : FALSE;
      return drawn;
    }
    case WM_COMMAND:
      if (!onCommand) return false;
      onCommand(LOWORD(wparam), HIWORD(wparam));
      result = TRUE;
      return true;
    case WM_TIMER:
      if (!onTimer) return false;
      onTimer(static_cast<unsigned>(wparam));
      result = TRUE;
      return true;
    case WM_NCHITTEST:
      if (surface_ == Surface::kParentDrags) return message_result(HTTRANSPARENT);
      if (surface_ == Surface::kDrags) return message_result(HitTestAsCaption(dialog, wparam, lparam));
      return false;
    default:
      return false;
  }
}

INT_PTR CALLBACK PanelRouter::DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  auto* router = reinterpret_cast<PanelRouter*>(GetWindowLongPtrW(dialog, DWLP_USER));
  INT_PTR result = FALSE;
  if (router != nullptr && router->Dispatch(dialog, message, wparam, lparam, result)) return result;
  return FALSE;
}

}  // namespace ui
