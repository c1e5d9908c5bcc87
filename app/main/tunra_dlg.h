// The main window's logic: its initialisation, environment, child windows and
// layouts, and its handlers. It lives for the whole process and owns the tray icon;
// the panels are reached through the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/account/logout_dlg.h"
#include "app/main/main_window_host.h"
#include "app/main/main_window_peers.h"
#include "app/progress/vpn_conn_dlg.h"
#include "session/session_record.h"
#include "settings/reg_ctrl.h"
#include "app/tray/tray_icon.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"

namespace app {

// Control and command IDs of the main window.
enum MainWindowId : int {
  kIdUpdate = 1000,
  kIdMinimize = 1002,
  kIdClose = 1004,
  kIdOptions = 1012,
  kIdHelp = 1014,
  kIdVersion = 1039,
  kIdTrayTitle = 32771,  // the tray menu's bold first item: no handler
  kIdTrayOpen = 32774,
  kIdTrayExit = 32775,
};
inline constexpr int kIdLoginUser = 1005;        // login panel: identifier field
inline constexpr int kIdLoginPassword = 1006;    // login panel: password field
inline constexpr int kIdAccountExpand = 1003;    // account panel: ">>" button
inline constexpr int kMainIcon = 128;
inline constexpr const char* kAppTitle = "tunra";
inline constexpr const char* kTapAdapterWow64 = "TAP-Win32 Adapter V9";
inline constexpr const char* kTapAdapterDefault = "Corvane PCI Fast Controller";

// The exit questions: while a tunnel is up or coming up, and otherwise. The close
// button asks under the first caption, the tray menu's exit under the second.
inline constexpr const char* kExitConnectedText =
    "★현재 서비스에 연결되어 있습니다.\n\n정말로 로그아웃(접속해제) 시킨 후 \n\n현재의 프로그램을 종료할까요?";
inline constexpr const char* kExitText = "TUNRA 매니저를 종료 하시겠습니까?";
inline constexpr const char* kCloseButtonCaption = "TUNRA 안내";
inline constexpr const char* kTrayExitCaption = "접속종료";

struct MainWindowPlatform {
  platform::IWindow& window;
  platform::ISystem& system;
  platform::IRegistry& registry;
  platform::IShell& shell;
  // A 64-bit program runs only on 64-bit Windows, where it is never under WOW64; the
  // adapter rule asks about 64-bit Windows, so such a program counts as under WOW64.
  bool program64 = sizeof(void*) == 8;
};

class CTunraDlg : public IAccountPanelOwner {
 public:
  CTunraDlg(session::SessionRecord& record, MainWindowPlatform platform, IMainWindowHost& host,
            IMainWindowServices& services);
  ~CTunraDlg() override;

  // The objects that end a session, the IP list panels and the account panel's banner;
  // given before OnInitDialog. Without them the exit and logout skip their work.
  void AttachPeers(const MainWindowPeers& peers) { peers_ = peers; }

  // WM_INITDIALOG: the whole initialisation in order. Returns true.
  bool OnInitDialog();

  // Program directory, tunnel adapter name, file names, settings, start values.
  void PrepareEnvironment();
  // Child dialogs, title, tray icon, narrow layout and panel places.
  void SetUpWindows();
  // Switches between the narrow and the wide layout.
  void ToggleLayout();
  // Centres `target` (kSelf in screen coordinates) on the main window.
  void CenterOnMainWindow(platform::IWindow& target);

  // WM_COMMAND from a button or the tray menu.
  void OnCommand(int id);
  // WM_SYSCOMMAND. The system close command hides the window, removes the tray icon
  // and ends the main window, with no question, logout notice or teardown; other
  // commands go on to their default processing.
  void OnSysCommand(std::uint32_t command);
  // Close button: asks, then logs out, ends a tunnel and ends the program.
  void OnCloseButton();
  // Tray menu "끝내기": asks, then logs out, ends a connected tunnel and ends the program.
  void OnTrayExit();
  // WM_APP_RESTORE from a second instance.
  std::intptr_t OnAppRestore();
  // WM_TRAY_NOTIFY: the tray icon's mouse messages.
  std::intptr_t OnTrayNotify(std::uintptr_t wparam, std::intptr_t lparam);
  // Opens the help page in the browser.
  void OpenHelpPage() override;
  // The narrow or the wide layout, whichever is showing now.
  void ShowLayout(bool narrow) override;

  bool narrowLayout() const { return narrow_layout_; }
  bool ended() const { return ended_; }
  const MainWindowPanels& panels() const { return panels_; }
  CTrayIcon& tray() { return tray_; }
  ReconnectSettings& reconnect() { return reconnect_; }
  // The logic of the account panel and the connection progress dialog; null until
  // the panels exist.
  CLogoutDlg* accountPanel() { return account_.get(); }
  CVpnConnDlg* connProgress() { return conn_progress_.get(); }

 private:
  // Asks `text` with Yes and No; true for Yes when the program has not ended meanwhile.
  bool Confirm(const char* text, const char* caption);
  void SendLogoutNotice();
  // Removes the tray icon and ends the main window, once.
  void EndProgram();

  session::SessionRecord& record_;
  MainWindowPlatform platform_;
  IMainWindowHost& host_;
  IMainWindowServices& services_;
  settings::CRegCtrl reg_;
  CTrayIcon tray_;
  MainWindowPanels panels_;
  platform::Rect client_;  // full (wide) client rectangle
  platform::Rect minimize_rect_, close_rect_;
  bool narrow_layout_ = false;
  MainWindowPeers peers_;
  ReconnectSettings reconnect_;
  std::unique_ptr<CLogoutDlg> account_;
  std::unique_ptr<CVpnConnDlg> conn_progress_;
  bool ended_ = false;
};

// The tunnel adapter's device description: the newer driver's name for 64-bit
// processes on Windows 8 and 8.1 (version "6.2" or "6.3"), the older one otherwise.
std::string TapAdapterName(bool wow64, const std::string& windows_version);

}  // namespace app
