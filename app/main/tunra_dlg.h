// The main window's logic: its initialisation, environment, child windows and
// layouts, and its handlers. It lives for the whole process and owns the tray icon;
// the panels are reached through the host.
#pragma once

#include <cstdint>
#include <string>

#include "app/main/main_window_host.h"
#include "app/session/session_record.h"
#include "app/settings/reg_ctrl.h"
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

struct MainWindowPlatform {
  platform::IWindow& window;
  platform::ISystem& system;
  platform::IRegistry& registry;
  platform::IShell& shell;
  // A 64-bit program runs only on 64-bit Windows, where it is never under WOW64; the
  // adapter rule asks about 64-bit Windows, so such a program counts as under WOW64.
  bool program64 = sizeof(void*) == 8;
};

class CTunraDlg {
 public:
  CTunraDlg(SessionRecord& record, MainWindowPlatform platform, IMainWindowHost& host,
            IMainWindowServices& services);
  virtual ~CTunraDlg() = default;

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
  // WM_SYSCOMMAND before its default processing (which always follows).
  void OnSysCommand(std::uint32_t command);
  // WM_APP_RESTORE from a second instance.
  std::intptr_t OnAppRestore();
  // WM_TRAY_NOTIFY: the tray icon's mouse messages.
  std::intptr_t OnTrayNotify(std::uintptr_t wparam, std::intptr_t lparam);
  // Opens the help page in the browser.
  void OpenHelpPage();

  bool narrowLayout() const { return narrow_layout_; }
  const MainWindowPanels& panels() const { return panels_; }
  CTrayIcon& tray() { return tray_; }

 private:
  SessionRecord& record_;
  MainWindowPlatform platform_;
  IMainWindowHost& host_;
  IMainWindowServices& services_;
  CRegCtrl reg_;
  CTrayIcon tray_;
  MainWindowPanels panels_;
  platform::Rect client_;  // full (wide) client rectangle
  platform::Rect minimize_rect_, close_rect_;
  bool narrow_layout_ = false;
};

// The tunnel adapter's device description: the newer driver's name for 64-bit
// processes on Windows 8 and 8.1 (version "6.2" or "6.3"), the older one otherwise.
std::string TapAdapterName(bool wow64, const std::string& windows_version);

}  // namespace app
