// An IP list panel on the real system: its list views set up from the panel's table
// (one column, the available IPs' latency column, no header, grid lines, full-row
// selection, 18-pixel rows), and the lists' double-clicks and custom draw and the
// buttons' clicks handed to the panel's logic. The view owns the panel's echo probe,
// whose results come back as a message to the panel's dialog. The panel's dialog is created through its PanelRouter as every panel is;
// the view hooks into the router and, for the list notifications the router does not
// route, into the dialog's window procedure.
#pragma once

#include "platform/win32/windows_include.h"

#include <commctrl.h>

#include "app/iplist/ip_panel_base.h"
#include "app/iplist/panel_look.h"
#include "platform/win32/win32_echo_probe.h"
#include "ui/win32/panel_router.h"

namespace ui {

class IpPanelView {
 public:
  // Posted to the panel's dialog by its echo probe: results are waiting.
  static constexpr UINT kEchoResultsMessage = WM_APP + 0x41;

  IpPanelView(PanelRouter& router, const app::IpPanelLook& look)
      : router_(router), look_(look), echo_(kEchoResultsMessage) {}
  IpPanelView(const IpPanelView&) = delete;
  IpPanelView& operator=(const IpPanelView&) = delete;

  // The panel's logic, given the view's echo probe. Bind it before the dialog is
  // created: its initialisation runs at WM_INITDIALOG. Events of an unbound view are
  // dropped. The probe stops when the dialog goes.
  void Bind(app::CIpPanelBase* logic) {
    logic_ = logic;
    if (logic_ != nullptr) logic_->SetEchoProbe(&echo_);
  }

  // Sets the router up (background bitmap, initialisation, button clicks); call
  // before the dialog is created.
  void Prepare();

  // The answer to NM_CUSTOMDRAW of list `listId` (CDRF_*), setting the row's colours
  // at the item stage.
  LRESULT CustomDraw(int listId, NMLVCUSTOMDRAW& draw) const;

 private:
  void SetUpLists();
  bool IsList(int id) const;
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);

  PanelRouter& router_;
  const app::IpPanelLook& look_;
  app::CIpPanelBase* logic_ = nullptr;
  platform::win32::Win32EchoProbe echo_;
};

}  // namespace ui
