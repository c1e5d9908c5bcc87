// The login panel: takes the identifier and password, can remember them, opens the
// sign-up and password pages, shows the banner, and on the login button runs the
// session login and prepares the logged-in state (IP list panel, routes, wide layout).
// A child of the main window, created once and afterwards only shown and hidden.
#pragma once

#include <cstdint>
#include <string>

#include "net/diag_log.h"
#include "resources/resource_ids.h"
#include "app/main/main_window_peers.h"
#include "app/session/login_session.h"
#include "session/session_record.h"
#include "platform/files.h"
#include "platform/iphelper.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace app {

// In the Windows folder, this file shows the test-certificate box.
inline constexpr const char* kDebugMarkerFile = "mesh_trace";
inline constexpr const char* kUnresolvedHost = "0.0.0.0";

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
  MainWindowState& state;
  platform::IWindow& panel;
  platform::IRegistry& registry;
  platform::IFiles& files;
  platform::IShell& shell;
  platform::INetTables& netTables;
  ISessionLogin& session;
  ILoginExchanges& exchanges;
  platform::IWindow& poolPanel;   // whole pool and favourites (template 222), kSelf
  platform::IWindow& classPanel;  // IP classes (template 226), kSelf
  IIpListPanel& poolList;         // its logic: fills the pool and favourites lists
  IIpListPanel& classList;        // its logic: fills the class list
  ILoginMainWindow& mainWindow;
  IBanner& banner;
  net::IDiagLog& diagLog;  // the remote-support and bypass routes are logged
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
