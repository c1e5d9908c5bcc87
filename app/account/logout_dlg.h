// The account panel (template 131): shown in the login panel's place once a login has
// succeeded. Its labels show the account, the service end, the connected time and a
// status line; its buttons log out, open the payment help page and end a running
// tunnel for an IP change.
#pragma once

#include <string>

#include "app/main/label_style.h"
#include "app/main/main_window_peers.h"
#include "app/main/reconnect.h"
#include "app/texts.h"
#include "platform/window.h"
#include "resources/resource_ids.h"
#include "session/session_record.h"

namespace app {

// The five labels: bold and left-aligned on a light background, the status line in
// orange, the others in teal.
inline constexpr LabelStyle kAccountLabelStyles[] = {
    {IDC_ACCOUNT_USER, 0xF9F9F9, kGulim, 12, 0xC0C000, kFontBold | kFontPlain},
    {IDC_ACCOUNT_GAME, 0xF9F9F9, kGulim, 12, 0xC0C000, kFontBold | kFontPlain},
    {IDC_ACCOUNT_END_DATE, 0xF9F9F9, kGulim, 12, 0xC0C000, kFontBold | kFontPlain},
    {IDC_ACCOUNT_TIME, 0xF9F9F9, kGulim, 12, 0xC0C000, kFontBold | kFontPlain},
    {IDC_ACCOUNT_STATUS, 0xF9F9F9, kGulim, 12, 0x0080FF, kFontBold | kFontPlain},
};

// The button bitmaps (normal, pressed) loaded at initialisation; the disconnect button
// gets IDB_DISCONNECT when it is shown.
struct AccountButtonBitmaps {
  int id, normal, pressed;
};
inline constexpr AccountButtonBitmaps kAccountButtons[] = {
    {IDC_ACCOUNT_LOGOUT, IDB_LOGOUT, IDB_LOGOUT_PRESSED},
    {IDC_ACCOUNT_EXTEND, IDB_EXTEND, IDB_EXTEND_PRESSED},
    {IDC_ACCOUNT_IP_SETTINGS, IDB_IP_SETTINGS, IDB_IP_SETTINGS_PRESSED},
    {IDC_ACCOUNT_IP_HISTORY, IDB_IP_HISTORY, IDB_IP_HISTORY_PRESSED},
    {IDC_ACCOUNT_EXPAND, IDB_EXPAND, IDB_EXPAND_PRESSED},
    {IDC_ACCOUNT_CONNECT, IDB_CONNECT, IDB_CONNECT_PRESSED},
};

// What the panel asks of the main window that owns it.
class IAccountPanelOwner {
 public:
  virtual ~IAccountPanelOwner() = default;
  // The narrow (login) or the wide (IP list) layout of the main window.
  virtual void ShowLayout(bool narrow) = 0;
  virtual void OpenHelpPage() = 0;
  // The logout notice to the back end ("user" or "vpn"); the panel's idle look follows.
  virtual void SendLogout(const std::string& mode) = 0;
  // The orderly teardown of the running tunnel's kind (OpenVPN without an event
  // report, RAS otherwise).
  virtual void TeardownByKind() = 0;
};

class CLogoutDlg {
 public:
  struct Context {
    session::SessionRecord& record;
    platform::IWindow& panel;       // this panel
    platform::IWindow& login;       // the login panel, shown again after a logout
    platform::IWindow& mainWindow;  // owner of the reconnect timers
    ReconnectSettings& reconnect;
    IAccountPanelOwner& owner;
    IIpPoolPanel& ipMgmtTab5;
    IIpListPanel& dynamicIpTab;
    IBanner& banner;
  };

  explicit CLogoutDlg(Context context) : c_(context) {}
  virtual ~CLogoutDlg() = default;

  // Button bitmaps, the hidden buttons, the banner. Returns true.
  bool OnInitDialog();
  // WM_COMMAND of the panel's buttons.
  void OnCommand(int id);
  // Logout button: resets the IP lists, notifies the back end, ends a running tunnel,
  // narrows the main window and brings the login panel back.
  void OnLogout();
  // Disconnect button: ends the running tunnel so that another IP can be chosen.
  void OnConnectButton();
  // Shows the disconnect button (when a tunnel comes up).
  void ShowDisconnectButton();
  // The look without a tunnel, after a logout notice: "0:00:00", the prompt to choose
  // an IP, no disconnect button.
  void ShowIdleLook();

 private:
  Context c_;
};

}  // namespace app
