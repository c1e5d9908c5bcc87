// What the main window's logic needs from the window system: its own window and the
// child dialogs as control-ID windows, and the few operations that are not control
// operations.
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

namespace app {

// The main window and its modeless child dialogs, created once and afterwards only
// shown and hidden. The references are valid before the windows exist (a window
// that does not exist yet ignores what it is told); for each dialog, control kSelf is
// the dialog itself, in its parent's client coordinates (screen coordinates for the
// two progress dialogs, which are top-level).
struct MainWindowPanels {
  platform::IWindow& main;          // template 102
  platform::IWindow& login;         // template 133
  platform::IWindow& account;       // template 131
  platform::IWindow& ipMgmtTab5;    // template 222: the whole pool
  platform::IWindow& dynamicIpTab;  // template 226: IP classes
  platform::IWindow& vpnConn;       // template 143
  platform::IWindow& progUpdate;    // template 134
};

class IMainWindowHost {
 public:
  virtual ~IMainWindowHost() = default;
  virtual MainWindowPanels Panels() = 0;
  virtual void SetIcons(int iconId) = 0;   // large and small window icon
  virtual bool CreatePanels() = 0;         // the child dialogs, created once
  virtual platform::Rect DesktopRect() = 0;
  // The screen's logical DPI (96 at 100 %), to which the skin's pixel figures scale.
  virtual int Dpi() = 0;
  virtual void Minimize() = 0;             // WM_SYSCOMMAND SC_MINIMIZE to itself
  virtual void ShowNormal() = 0;           // ShowWindow(SW_SHOWNORMAL)
  virtual void SetForeground() = 0;        // SetForegroundWindow
  virtual void EndDialog() = 0;            // closes the main window: the process ends
  virtual void ShowTrayMenu() = 0;         // menu 129 at the cursor (foreground first)
  virtual void RunUpdateDialog() = 0;
  virtual void RunOptionsDialog() = 0;
  // Called on the dialer's own thread: hands one dial notification to the main
  // window's thread (WM_RAS_NOTIFY, sent synchronously) and returns once OnRasNotify
  // has run there.
  virtual void SendRasNotify(std::uint32_t state, std::uint32_t error) = 0;
};

}  // namespace app
