#include "app/account/logout_dlg.h"

#include "protocol/logout.h"
#include "protocol/web_pages.h"

namespace app {

bool CLogoutDlg::OnInitDialog() {
  for (const AccountButtonBitmaps& b : kAccountButtons) c_.panel.SetBitmaps(b.id, b.normal, b.pressed);
  // Never shown: IP settings, IP history, ">>"; the disconnect button waits for a tunnel.
  for (int id : {IDC_ACCOUNT_IP_SETTINGS, IDC_ACCOUNT_IP_HISTORY, IDC_ACCOUNT_EXPAND, IDC_ACCOUNT_CONNECT})
    c_.panel.Show(id, false);
  // The banner is a page of the public web host, as on the login panel; the panel does
  // not wait for the login host to resolve.
  c_.banner.Navigate(protocol::kBannerPageUrl);
  return true;
}

void CLogoutDlg::OnCommand(int id) {
  switch (id) {
    case IDC_ACCOUNT_LOGOUT: OnLogout(); break;
    case IDC_ACCOUNT_EXTEND: c_.owner.OpenHelpPage(); break;
    case IDC_ACCOUNT_IP_SETTINGS: c_.owner.ShowLayout(false); break;
    case IDC_ACCOUNT_CONNECT: OnConnectButton(); break;
    default: break;  // ">>" and the IP history do nothing
  }
}

void CLogoutDlg::OnLogout() {
  // 1. The IP lists forget this session's choices.
  for (IIpListPanel* list : {static_cast<IIpListPanel*>(&c_.ipMgmtTab5), &c_.dynamicIpTab}) {
    list->ClearUsedHistory();
    list->SetCurrentRow(-1);
  }
  // 2. The back end hears of the logout first (the panel's idle look follows it).
  c_.owner.SendLogout(protocol::kLogoutByUser);
  // 3. A running tunnel ends, and so does one still starting (its program would go on
  // and bring a tunnel up after the logout); no reconnect tick may follow.
  if (c_.record.connState == session::kConnConnected || c_.record.connState == session::kConnConnecting) {
    StopReconnect(c_.mainWindow, c_.reconnect);
    c_.owner.TeardownByKind();
  }
  // 4-5. Narrow window, login panel with the fields as they were typed.
  c_.owner.ShowLayout(true);
  c_.panel.Show(platform::kSelf, false);
  c_.login.Show(platform::kSelf, true);
}

void CLogoutDlg::OnConnectButton() {
  if (c_.record.connState != session::kConnConnected) return;
  StopReconnect(c_.mainWindow, c_.reconnect);
  c_.ipMgmtTab5.StopForIpChange();
  for (IIpListPanel* list : {static_cast<IIpListPanel*>(&c_.ipMgmtTab5), &c_.dynamicIpTab}) {
    list->SetCurrentRow(-1);
    list->RepaintList();
  }
  c_.panel.Show(IDC_ACCOUNT_CONNECT, false);
}

void CLogoutDlg::ShowDisconnectButton() {
  c_.panel.SetBitmaps(IDC_ACCOUNT_CONNECT, IDB_DISCONNECT, IDB_DISCONNECT_PRESSED);
  c_.panel.Show(IDC_ACCOUNT_CONNECT, true);
  c_.panel.Redraw(IDC_ACCOUNT_CONNECT);
}

void CLogoutDlg::ShowIdleLook() {
  c_.panel.SetText(IDC_ACCOUNT_TIME, kZeroElapsed);
  c_.panel.SetText(IDC_ACCOUNT_STATUS, kChooseIpPrompt);
  c_.panel.Redraw(IDC_ACCOUNT_TIME);
  c_.panel.Redraw(IDC_ACCOUNT_STATUS);
  c_.panel.Show(IDC_ACCOUNT_CONNECT, false);
}

}  // namespace app
