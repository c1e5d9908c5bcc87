// The login panel: takes the identifier and password, can remember them, opens the
// sign-up and password pages, shows the banner, and on the login button runs the
// session login and prepares the logged-in state (IP list panel, routes, wide layout).
// A child of the main window, created once and afterwards only shown and hidden.
#pragma once

#include <cstdint>
#include <string>

#include "app/session/login_session.h"
#include "session/session_record.h"
#include "platform/files.h"
#include "platform/iphelper.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace app {

// Controls of the login panel.
enum LoginPanelId : int {
  kIdUserField = 1005,
  kIdPasswordField = 1006,
  kIdLoginButton = 1007,
  kIdRememberBox = 1008,
  kIdBanner = 1010,
  kIdSignUpButton = 1014,
  kIdFindPasswordButton = 1015,
  kIdTestCertificateBox = 1052,
};

inline constexpr const char* kAccountCaption = "계정정보";
inline constexpr const char* kEnterUserId = " 아이디를 입력 해주세요. ";
inline constexpr const char* kEnterPassword = " 패스워드를 입력 해주세요. ";
// In the Windows folder, this file shows the test-certificate box.
inline constexpr const char* kDebugMarkerFile = "mesh_trace";
inline constexpr const char* kUnresolvedHost = "0.0.0.0";

// Pages on the public web host.
inline constexpr const char* kSignUpUrl = "http://" TUNRA_WEB_HOST "/member/join1.php";
inline constexpr const char* kFindPasswordUrl = "http://" TUNRA_WEB_HOST "/member/idpw.php";
inline constexpr const char* kBannerUrl = "http://" TUNRA_WEB_HOST "/vpn_program/banner.php";

// The banner's browser control (1010).
class ILoginBanner {
 public:
  virtual ~ILoginBanner() = default;
  virtual void Navigate(const std::string& url) = 0;
};

// The IP list panels fill their lists from the session record (their owner implements
// them).
class IIpListPanels {
 public:
  virtual ~IIpListPanels() = default;
  virtual void LoadIpPool() = 0;     // the whole-pool panel, from `ipPoolList`
  virtual void LoadIpClasses() = 0;  // the class panel, from `ipPoolClass`
};

// What the login asks of the main window.
class ILoginMainWindow {
 public:
  virtual ~ILoginMainWindow() = default;
  // Sets the narrow flag and toggles the layout: the window ends wide, with the IP list
  // panel at its right, whatever layout it had.
  virtual void ShowWideLayout() = 0;
};

struct LoginDlgParts {
  session::SessionRecord& record;
  LoginWindowState& state;
  platform::IWindow& panel;
  platform::WindowHandle panelHandle;  // owner of the pages the shell opens
  platform::IRegistry& registry;
  platform::IFiles& files;
  platform::IShell& shell;
  platform::INetTables& netTables;
  ISessionLogin& session;
  ILoginExchanges& exchanges;
  platform::IWindow& poolPanel;   // whole pool and favourites (template 222), kSelf
  platform::IWindow& classPanel;  // IP classes (template 226), kSelf
  IIpListPanels& ipLists;
  ILoginMainWindow& mainWindow;
  ILoginBanner& banner;
};

class CLoginDlg {
 public:
  explicit CLoginDlg(LoginDlgParts parts) : p_(parts) {}
  virtual ~CLoginDlg() = default;

  // WM_INITDIALOG: bitmaps, the remembered account, the debug marker, the banner.
  bool OnInitDialog();

  // Keys before the dialog sees them; true when swallowed. Alt+F4 and Escape do
  // nothing; Enter moves from the identifier to the password, logs in from the
  // password, and does nothing elsewhere. `focusId` is the control with the focus.
  bool PreTranslateMessage(std::uint32_t message, std::uintptr_t key, int focusId);

  // WM_COMMAND from the panel's buttons.
  void OnCommand(int id);

  // The login button.
  void OnLogin();
  // The remember box, after its click changed its state.
  void OnRememberClicked();
  void OpenSignUpPage();
  void OpenFindPasswordPage();

  // Whether the user check goes to the test script (box 1052).
  bool TestCertificateChecked();

 private:
  // Shows `text`, puts the focus on `field` and enables the login button again.
  void RefuseInput(const char* text, int field);

  LoginDlgParts p_;
};

}  // namespace app
