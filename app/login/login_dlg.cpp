#include "app/login/login_dlg.h"

#include "app/main/window_rules.h"
#include "app/texts.h"
#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"
#include "net/route_mgmt.h"
#include "protocol/payload_codec.h"
#include "protocol/user_field.h"
#include "protocol/web_pages.h"
#include "text/cp949.h"

namespace app {

namespace {

// Blanks removed, ASCII letters lower-cased; double-byte characters stay whole.
std::string NormaliseAccountText(const std::string& typed) {
  return text::ToLowerAscii(text::ReplaceAll(typed, " ", ""));
}

}  // namespace

bool CLoginDlg::OnInitDialog() {
  platform::IWindow& w = p_.panel;
  w.SetBitmaps(IDC_LOGIN_BUTTON, IDB_LOGIN, IDB_LOGIN_PRESSED);
  w.SetBitmaps(IDC_LOGIN_SIGNUP, IDB_SIGNUP, IDB_SIGNUP_PRESSED);
  w.SetBitmaps(IDC_LOGIN_FIND_PASSWORD, IDB_PASSWORD_FIND, IDB_PASSWORD_FIND);

  settings::CRegCtrl reg(p_.registry);
  const settings::SettingsKey key{p_.record.settingsRoot, p_.record.settingsKeyPath};
  const std::string savedId = protocol::DecodePayload(settings::ReadSetting(reg, key, settings::Setting::kAccountId));
  const std::string savedPassword = protocol::DecodePayload(settings::ReadSetting(reg, key, settings::Setting::kPassword));
  if (settings::ReadSetting(reg, key, settings::Setting::kRememberAccount) == "1") w.SetCheck(IDC_LOGIN_REMEMBER, 1);
  if (w.GetCheck(IDC_LOGIN_REMEMBER) == 1) {
    p_.record.userId = savedId;
    p_.record.password = savedPassword;
    w.SetText(IDC_LOGIN_USER, savedId);
    w.SetText(IDC_LOGIN_PASSWORD, savedPassword);
  }

  // The test-certificate box stays hidden (and unchecked) unless the marker file exists.
  const std::string marker = text::ToLowerAscii(p_.record.windowsDir + "\\" + kDebugMarkerFile);
  w.SetCheck(IDC_LOGIN_TEST_CERT, 0);
  w.Show(IDC_LOGIN_TEST_CERT, p_.files.Exists(marker));

  if (p_.record.webHost != kUnresolvedHost) p_.banner.Navigate(protocol::kBannerPageUrl);
  return true;
}

bool CLoginDlg::PreTranslateMessage(std::uint32_t message, std::uintptr_t key, int focusId) {
  if (!SwallowKey(message, key)) return false;
  if (message == kWmKeyDown && key == kVkReturn) {
    if (focusId == IDC_LOGIN_USER)
      p_.panel.SetFocus(IDC_LOGIN_PASSWORD);
    else if (focusId == IDC_LOGIN_PASSWORD)
      OnCommand(IDC_LOGIN_BUTTON);
  }
  return true;
}

void CLoginDlg::OnCommand(int id) {
  switch (id) {
    case IDC_LOGIN_BUTTON: OnLogin(); break;
    case IDC_LOGIN_REMEMBER: OnRememberClicked(); break;
    case IDC_LOGIN_SIGNUP: OpenSignUpPage(); break;
    case IDC_LOGIN_FIND_PASSWORD: OpenFindPasswordPage(); break;
    default: break;
  }
}

void CLoginDlg::RefuseInput(const char* message, int field) {
  p_.panel.MessageBox(message, kAccountCaption, platform::kMbOk);
  p_.panel.SetFocus(field);
  p_.panel.Enable(IDC_LOGIN_BUTTON, true);
}

void CLoginDlg::OnLogin() {
  session::SessionRecord& r = p_.record;
  const std::string typedId = p_.panel.GetText(IDC_LOGIN_USER);
  const std::string typedPassword = p_.panel.GetText(IDC_LOGIN_PASSWORD);
  if (typedId.empty()) return RefuseInput(kEnterUserId, IDC_LOGIN_USER);
  if (typedPassword.empty()) return RefuseInput(kEnterPassword, IDC_LOGIN_PASSWORD);

  const std::string userId = NormaliseAccountText(typedId);
  const std::string password = NormaliseAccountText(typedPassword);
  // Parameters are joined unescaped: `|`, `=`, `^` or a control byte would change the
  // request, so such input never reaches the record, the registry or the back end.
  if (!protocol::IsSafeParamValue(userId)) return RefuseInput(protocol::kUserFieldRefused, IDC_LOGIN_USER);
  if (!protocol::IsSafeParamValue(password))
    return RefuseInput(protocol::kUserFieldRefused, IDC_LOGIN_PASSWORD);

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
    p_.poolList.LoadList();
  } else {
    r.ipPoolList.clear();
    p_.poolPanel.Show(platform::kSelf, false);
    p_.classPanel.Show(platform::kSelf, true);
    p_.classList.LoadList();
  }

  // A remote-support session stays on the physical path. Without a peer now, no route
  // is made (not even for a peer of an earlier login).
  net::CRouteMgmt routes(p_.netTables, p_.diagLog);
  MainWindowState& s = p_.state;
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
  if (p_.panel.GetCheck(IDC_LOGIN_REMEMBER) == 1)
    settings::WriteSetting(reg, key, settings::Setting::kRememberAccount, "1");
  else
    settings::DeleteSetting(reg, key, settings::Setting::kRememberAccount);
}

void CLoginDlg::OpenSignUpPage() {
  p_.shell.ShellExecute(p_.panel.Handle(), "open", protocol::kSignUpPageUrl, "", "", platform::kSwShowDefault);
}

void CLoginDlg::OpenFindPasswordPage() {
  p_.shell.ShellExecute(p_.panel.Handle(), "open", protocol::kFindPasswordPageUrl, "", "", platform::kSwShowDefault);
}

bool CLoginDlg::TestCertificateChecked() { return p_.panel.GetCheck(IDC_LOGIN_TEST_CERT) == 1; }

}  // namespace app
