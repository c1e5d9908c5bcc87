// What the main window's logic needs from the window system and from other owners.
#pragma once

#include <string>

#include "platform/shell.h"
#include "platform/types.h"
#include "platform/window.h"

namespace app {

// The modeless child dialogs, created once and afterwards only shown and hidden. For
// each, control kSelf is the dialog itself, in its parent's client coordinates
// (screen coordinates for the two progress dialogs, which are top-level).
struct MainWindowPanels {
  platform::IWindow* login = nullptr;        // template 133
  platform::IWindow* account = nullptr;      // template 131
  platform::IWindow* ipMgmtTab5 = nullptr;    // template 222: the whole pool
  platform::IWindow* dynamicIpTab = nullptr;  // template 226: IP classes
  platform::IWindow* vpnConn = nullptr;      // template 143
  platform::IWindow* progUpdate = nullptr;   // template 134
};

// Window-system operations of the main window that are not control operations.
class IMainWindowHost {
 public:
  virtual ~IMainWindowHost() = default;
  virtual platform::WindowHandle Handle() = 0;
  virtual void SetIcons(int iconId) = 0;        // large and small window icon
  virtual MainWindowPanels CreatePanels() = 0;  // the child dialogs, created once
  virtual platform::Rect DesktopRect() = 0;
  virtual void Minimize() = 0;                  // WM_SYSCOMMAND SC_MINIMIZE to itself
  virtual void ShowNormal() = 0;                // ShowWindow(SW_SHOWNORMAL)
  virtual void EndDialog() = 0;                 // closes the main window: the process ends
  virtual void ShowTrayMenu() = 0;              // menu 129 at the cursor
  virtual void RunUpdateDialog() = 0;
  virtual void RunOptionsDialog() = 0;
};

// Operations of other subsystems that the main window calls while it starts.
class IMainWindowServices {
 public:
  virtual ~IMainWindowServices() = default;
  // The login host's first IPv4 address, dotted; empty when it does not resolve.
  virtual std::string ResolveLoginHost() = 0;
  // Firewall exceptions for the program and the tunnel program.
  virtual int AllowThroughFirewall() = 0;
  // Connects (enable) or disconnects every network connection whose device is `device`.
  virtual int EnableConnectionByDevice(const std::string& device, bool enable) = 0;
};

}  // namespace app
