#include "app/account/logout_dlg.h"

namespace app {

std::string BannerUrl(const std::string& webHost) { return "http://" + webHost + "/vpn_program/banner.php"; }

bool CLogoutDlg::OnInitDialog() {
  for (const AccountButtonBitmaps& b : kAccountButtons) c_.panel.SetBitmaps(b.id, b.normal, b.pressed);
  // Never shown: IP settings, IP history, ">>"; the disconnect button waits for a tunnel.
  for (int id : {kIdAccountIpSettings, kIdAccountIpHistory, kIdAccountExpandButton, kIdAccountDisconnect})
    c_.panel.Show(id, false);
  // Whatever the web host resolved to; an unresolved one simply shows no page.
  if (c_.peers.accountBanner) c_.peers.accountBanner->Navigate(BannerUrl(c_.record.webHost));
  return true;
}

void CLogoutDlg::OnCommand(int id) {
  switch (id) {
    case kIdAccountLogout: OnLogout(); break;
    case kIdAccountExtend: c_.owner.OpenHelpPage(); break;
    case kIdAccountIpSettings: c_.owner.ShowLayout(false); break;
    case kIdAccountDisconnect: OnConnectButton(); break;
    default: break;  // ">>" and the IP history do nothing
  }
}

void CLogoutDlg::OnLogout() {
  // 1. The IP lists forget this session's choices.
  for (IIpListPanel* list : {static_cast<IIpListPanel*>(c_.peers.ipMgmtTab5), c_.peers.dynamicIpTab}) {
    if (!list) continue;
    list->ClearUsedHistory();
    list->SetCurrentRow(-1);
  }
  // 2. The back end hears of the logout first (it also resets this panel's texts).
  if (c_.peers.logoutNotice) c_.peers.logoutNotice->SendLogout(kLogoutByUserMode);
  // 3. A running tunnel ends; no reconnect tick may follow.
  if (c_.record.connState == session::kConnConnected) {
    StopReconnect(c_.mainWindow, c_.reconnect);
    TeardownByKind(c_.record.vpnType, c_.peers.teardown);
  }
  // 4-5. Narrow window, login panel with the fields as they were typed.
  c_.owner.ShowLayout(true);
  c_.panel.Show(platform::kSelf, false);
  c_.login.Show(platform::kSelf, true);
}

void CLogoutDlg::OnConnectButton() {
  if (c_.record.connState != session::kConnConnected) return;
  StopReconnect(c_.mainWindow, c_.reconnect);
  if (c_.peers.ipMgmtTab5) c_.peers.ipMgmtTab5->StopForIpChange();
  for (IIpListPanel* list : {static_cast<IIpListPanel*>(c_.peers.ipMgmtTab5), c_.peers.dynamicIpTab}) {
    if (!list) continue;
    list->SetCurrentRow(-1);
    list->RepaintList();
  }
  c_.panel.Show(kIdAccountDisconnect, false);
}

void CLogoutDlg::ShowDisconnectButton() {
  c_.panel.SetBitmaps(kIdAccountDisconnect, kDisconnectBitmap, kDisconnectBitmapPressed);
  c_.panel.Show(kIdAccountDisconnect, true);
  c_.panel.Redraw(kIdAccountDisconnect);
}

}  // namespace app
