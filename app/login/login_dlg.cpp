#include "app/login/login_dlg.h"

#include "app/main/window_rules.h"
#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"
#include "net/route_mgmt.h"
#include "protocol/payload_codec.h"
#include "protocol/user_field.h"
#include "text/cp949.h"

namespace app {

namespace {

constexpr int kSwShowDefault = 10;

// Blanks removed, ASCII letters lower-cased; double-byte characters stay whole.
std::string NormaliseAccountText(const std::string& typed) {
  return text::ToLowerAscii(text::ReplaceAll(typed, " ", ""));
}

}  // namespace

bool CLoginDlg::OnInitDialog() {
  platform::IWindow& w = p_.panel;
  w.SetBitmaps(kIdLoginButton, 153, 154);
  w.SetBitmaps(kIdSignUpButton, 155, 156);
  w.SetBitmaps(kIdFindPasswordButton, 151, 151);

  settings::CRegCtrl reg(p_.registry);
  const settings::SettingsKey key{p_.record.settingsRoot, p_.record.settingsKeyPath};
  const std::string savedId = protocol::DecodePayload(settings::ReadSetting(reg, key, settings::Setting::kAccountId));
  const std::string savedPassword = protocol::DecodePayload(settings::ReadSetting(reg, key, settings::Setting::kPassword));
  if (settings::ReadSetting(reg, key, settings::Setting::kRememberAccount) == "1") w.SetCheck(kIdRememberBox, 1);
  if (w.GetCheck(kIdRememberBox) == 1) {
    p_.record.userId = savedId;
    p_.record.password = savedPassword;
    w.SetText(kIdUserField, savedId);
    w.SetText(kIdPasswordField, savedPassword);
  }

  // The test-certificate box stays hidden (and unchecked) unless the marker file exists.
  const std::string marker = text::ToLowerAscii(p_.record.windowsDir + "\\" + kDebugMarkerFile);
  w.SetCheck(kIdTestCertificateBox, 0);
  w.Show(kIdTestCertificateBox, p_.files.Exists(marker));

  if (p_.record.webHost != kUnresolvedHost) p_.banner.Navigate(kBannerUrl);
  return true;
}

bool CLoginDlg::PreTranslateMessage(std::uint32_t message, std::uintptr_t key, int focusId) {
  if (!SwallowKey(message, key)) return false;
  if (message == kWmKeyDown && key == kVkReturn) {
    if (focusId == kIdUserField)
      p_.panel.SetFocus(kIdPasswordField);
    else if (focusId == kIdPasswordField)
      OnCommand(kIdLoginButton);
  }
  return true;
}

void CLoginDlg::OnCommand(int id) {
  switch (id) {
    case kIdLoginButton: OnLogin(); break;
    case kIdRememberBox: OnRememberClicked(); break;
    case kIdSignUpButton: OpenSignUpPage(); break;
    case kIdFindPasswordButton: OpenFindPasswordPage(); break;
    default: break;
  }
}

void CLoginDlg::RefuseInput(const char* message, int field) {
  p_.panel.MessageBox(message, kAccountCaption, platform::kMbOk);
  p_.panel.SetFocus(field);
  p_.panel.Enable(kIdLoginButton, true);
}

void CLoginDlg::OnLogin() {
  session::SessionRecord& r = p_.record;
  const std::string typedId = p_.panel.GetText(kIdUserField);
  const std::string typedPassword = p_.panel.GetText(kIdPasswordField);
  if (typedId.empty()) return RefuseInput(kEnterUserId, kIdUserField);
  if (typedPassword.empty()) return RefuseInput(kEnterPassword, kIdPasswordField);

  const std::string userId = NormaliseAccountText(typedId);
  const std::string password = NormaliseAccountText(typedPassword);
  // Parameters are joined unescaped: `|`, `=`, `^` or a control byte would change the
  // request, so such input never reaches the record, the registry or the back end.
  if (!protocol::IsSafeParamValue(userId)) return RefuseInput(protocol::kUserFieldRefused, kIdUserField);
  if (!protocol::IsSafeParamValue(password))
    return RefuseInput(protocol::kUserFieldRefused, kIdPasswordField);

  r.userId = userId;
  r.password = password;
  r.ipCode = "0";
  p_.state.dayNoticeShown = 0;
  r.authMode = "user";

  if (p_.session.LoginSession() < 0) return;

  if (r.useSelect == 1) {
    r.classCode.clear();
    p_.exchanges.FetchIpPool(p_.panel);
    p_.poolPanel.Show(platform::kSelf, true);
    p_.classPanel.Show(platform::kSelf, false);
    p_.ipLists.LoadIpPool();
  } else {
    r.ipPoolList.clear();
    p_.poolPanel.Show(platform::kSelf, false);
    p_.classPanel.Show(platform::kSelf, true);
    p_.ipLists.LoadIpClasses();
  }

  // A remote-support session stays on the physical path. Without a peer now, no route
  // is made (not even for a peer of an earlier login).
  net::CRouteMgmt routes(p_.netTables);
  LoginWindowState& s = p_.state;
  if (routes.FindRemoteSupportPeer(s.remoteSupportPeer) > 0)
    routes.AddRoute(s.localIfIndex, s.localGateway, s.remoteSupportPeer, net::kHostMask,
                    net::kMetricRemoteSupport);

  r.connState = session::kConnLoggedIn;
  p_.mainWindow.ShowWideLayout();
  routes.InstallBypassRoutes(s.localIfIndex, s.localGateway, r.defaultRoute);
}

void CLoginDlg::OnRememberClicked() {
  settings::CRegCtrl reg(p_.registry);
  const settings::SettingsKey key{p_.record.settingsRoot, p_.record.settingsKeyPath};
  if (p_.panel.GetCheck(kIdRememberBox) == 1)
    settings::WriteSetting(reg, key, settings::Setting::kRememberAccount, "1");
  else
    settings::DeleteSetting(reg, key, settings::Setting::kRememberAccount);
}

void CLoginDlg::OpenSignUpPage() {
  p_.shell.ShellExecute(p_.panelHandle, "open", kSignUpUrl, "", "", kSwShowDefault);
}

void CLoginDlg::OpenFindPasswordPage() {
  p_.shell.ShellExecute(p_.panelHandle, "open", kFindPasswordUrl, "", "", kSwShowDefault);
}

bool CLoginDlg::TestCertificateChecked() { return p_.panel.GetCheck(kIdTestCertificateBox) == 1; }

}  // namespace app
