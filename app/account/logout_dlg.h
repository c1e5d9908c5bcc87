// The account panel (template 131): shown in the login panel's place once a login has
// succeeded. Its labels show the account, the service end, the connected time and a
// status line; its buttons log out, open the payment help page and end a running
// tunnel for an IP change.
#pragma once

#include <string>

#include "app/main/label_style.h"
#include "app/main/main_window_peers.h"
#include "session/session_record.h"
#include "platform/window.h"

namespace app {

// Controls of the account panel.
enum AccountPanelId : int {
  kIdAccountExpandButton = 1003,
  kIdAccountDisconnect = 1012,  // "접속/해제하기", shown while a tunnel is up
  kIdAccountLogout = 1029,
  kIdAccountExtend = 1030,      // "연장/구매": the help page
  kIdAccountIpSettings = 1031,  // "IP설정하기": the wide layout
  kIdAccountIpHistory = 1032,
  kIdAccountBanner = 1010,
  kIdAccountElapsed = 1034,
  kIdAccountStatus = 1035,
  kIdAccountEndDate = 1036,
  kIdAccountGame = 1037,
  kIdAccountUser = 1038,
};

// The five labels: bold and left-aligned on a light background, the status line in
// orange, the others in teal.
inline constexpr LabelStyle kAccountLabelStyles[] = {
    {kIdAccountUser, 0xF9F9F9, "굴림", 12, 0xC0C000, kFontBold | kFontPlain},
    {kIdAccountGame, 0xF9F9F9, "굴림", 12, 0xC0C000, kFontBold | kFontPlain},
    {kIdAccountEndDate, 0xF9F9F9, "굴림", 12, 0xC0C000, kFontBold | kFontPlain},
    {kIdAccountElapsed, 0xF9F9F9, "굴림", 12, 0xC0C000, kFontBold | kFontPlain},
    {kIdAccountStatus, 0xF9F9F9, "굴림", 12, 0x0080FF, kFontBold | kFontPlain},
};

// The button bitmaps (normal, pressed) loaded at initialisation; the disconnect button
// gets 179/180 when it is shown.
struct AccountButtonBitmaps {
  int id, normal, pressed;
};
inline constexpr AccountButtonBitmaps kAccountButtons[] = {
    {kIdAccountLogout, 175, 176},     {kIdAccountExtend, 183, 184},      {kIdAccountIpSettings, 173, 174},
    {kIdAccountIpHistory, 171, 172},  {kIdAccountExpandButton, 185, 186}, {kIdAccountDisconnect, 177, 178},
};
inline constexpr int kDisconnectBitmap = 179;
inline constexpr int kDisconnectBitmapPressed = 180;

// What the panel asks of the main window that owns it.
class IAccountPanelOwner {
 public:
  virtual ~IAccountPanelOwner() = default;
  // The narrow (login) or the wide (IP list) layout of the main window.
  virtual void ShowLayout(bool narrow) = 0;
  virtual void OpenHelpPage() = 0;
};

// The banner page of the web host.
std::string BannerUrl(const std::string& webHost);

class CLogoutDlg {
 public:
  struct Context {
    session::SessionRecord& record;
    platform::IWindow& panel;       // this panel
    platform::IWindow& login;       // the login panel, shown again after a logout
    platform::IWindow& mainWindow;  // owner of the reconnect timers
    ReconnectSettings& reconnect;
    IAccountPanelOwner& owner;
    MainWindowPeers peers;
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

 private:
  Context c_;
};

}  // namespace app
