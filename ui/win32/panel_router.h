// Routes the messages of a skinned child dialog (a panel of the main window or a
// small popup such as the connection progress) to handler functions, and does the
// presentation every such dialog shares: its background bitmap, backgrounds of
// transparent controls cut from that bitmap, bitmap buttons, owner-painted labels
// and how the surface answers hit tests.
//
// Use: create the dialog with PanelRouter::DialogProc and the router as the
// creation parameter (CreateDialogParamW(..., &PanelRouter::DialogProc,
// reinterpret_cast<LPARAM>(&router))), or call Dispatch from an own dialog procedure.
// The router must outlive its dialog.
#pragma once

#include "platform/win32/windows_include.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "ui/win32/dialog_window.h"
#include "ui/win32/font_static.h"

namespace ui {

class PanelRouter {
 public:
  // How the dialog's surface (the points not on a control) answers WM_NCHITTEST.
  enum class Surface {
    kNormal,       // default handling
    kParentDrags,  // HTTRANSPARENT: the press goes to the parent, which drags itself
    kDrags,        // HTCLIENT becomes HTCAPTION: the dialog itself is dragged
  };

  // Handlers; any may be left empty. Command: control ID and notification code.
  std::function<void(int id, int code)> onCommand;
  std::function<void(unsigned timer)> onTimer;
  // Owner-drawn controls that are not bitmap buttons; true when drawn.
  std::function<bool(const DRAWITEMSTRUCT& item)> onDrawItem;
  // WM_CTLCOLOR* of controls the router does not colour itself: return a brush to
  // use it, nullptr for the default colours.
  std::function<HBRUSH(UINT message, HDC dc, HWND control)> onCtlColor;
  // WM_INITDIALOG, after the router has set the dialog up.
  std::function<void()> onInit;

  PanelRouter() = default;
  PanelRouter(const PanelRouter&) = delete;
  PanelRouter& operator=(const PanelRouter&) = delete;
  ~PanelRouter();

  // Background bitmap resource drawn at (0, 0) in its own size; 0 for none. Takes
  // effect at WM_INITDIALOG, or at once when the dialog exists.
  void SetBackground(int bitmap_id);
  void SetSurface(Surface surface) { surface_ = surface; }

  // Control `id` shows the background through: its WM_CTLCOLORSTATIC/BTN brush is
  // the background bitmap aligned to the control's place, and its text is drawn
  // transparently in `text_color`. Because the control fills itself with the right
  // piece of the background, a new text never leaves the old one behind. Works for
  // statics, check boxes and radio buttons.
  void SetTransparent(int id, COLORREF text_color);

  // The owner-painted label for control `id`, attached on first use (the dialog must
  // exist). Style it with SetBackColor and SetFontStyle.
  FontStatic& Label(int id);

  // The control-ID window of the dialog (bitmap buttons set up through its
  // SetBitmaps are drawn by the router).
  DialogWindow& window() { return window_; }
  HWND hwnd() const { return window_.hwnd(); }

  // Handles `message` for dialog `dialog`; true when handled, with the dialog
  // procedure's return value in `result` (DWLP_MSGRESULT is set where needed).
  bool Dispatch(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result);

  // A dialog procedure whose creation parameter is the PanelRouter.
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void LoadBackground();
  HBRUSH TransparentBrush(HDC dc, HWND control);
  void Paint();

  DialogWindow window_;
  Surface surface_ = Surface::kNormal;
  int background_id_ = 0;
  HBITMAP background_ = nullptr;
  HBRUSH background_brush_ = nullptr;
  std::map<int, COLORREF> transparent_;
  std::map<int, std::unique_ptr<FontStatic>> labels_;
};

}  // namespace ui
