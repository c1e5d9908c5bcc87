// What the main window and its panels call in the objects that end a session and in
// the IP list panels. Each interface is implemented by the object that owns the work;
// the main window and the panels only call it. A missing peer (null) is skipped.
#pragma once

#include <string>

#include "platform/window.h"

namespace app {

inline constexpr const char* kLogoutByUserMode = "user";

// The logout notice to the back end ("user" or "vpn"), which also puts the account
// panel back to its idle look.
class ILogoutNotice {
 public:
  virtual ~ILogoutNotice() = default;
  virtual void SendLogout(const std::string& mode) = 0;
};

// Reason code of an orderly OpenVPN teardown (after a logout notice): no event report.
inline constexpr int kTeardownOrderly = 4;

// The two tunnel teardowns of the main window.
class ITunnelTeardown {
 public:
  virtual ~ITunnelTeardown() = default;
  // Ends a RAS tunnel: timers 1 and 3, tray picture, hang-up, connState 0, the
  // "OUT_START" and "OUT_STOP" hooks. Returns 1.
  virtual int TeardownRas() = 0;
  // Ends the OpenVPN tunnel; reason code 0 also sends an event report with the text.
  virtual void TeardownOpenVpn(int reasonCode, const std::string& reasonText) = 0;
};

// One of the two IP list panels, as the account panel resets it.
class IIpListPanel {
 public:
  virtual ~IIpListPanel() = default;
  virtual void ClearUsedHistory() = 0;         // forget the rows used in this session
  virtual void SetCurrentRow(int row) = 0;     // -1: no current row
  virtual void RepaintList() = 0;              // redraw the IP list at once
};

// The IP class panel, which also ends a running tunnel for an IP change.
class IIpClassPanel : public IIpListPanel {
 public:
  virtual void StopForIpChange() = 0;
};

// The web browser control of a panel (control 1010).
class IBanner {
 public:
  virtual ~IBanner() = default;
  virtual void Navigate(const std::string& url) = 0;
};

// Everything above, handed to the main window before its initialisation.
struct MainWindowPeers {
  ILogoutNotice* logoutNotice = nullptr;
  ITunnelTeardown* teardown = nullptr;
  IIpClassPanel* ipMgmtTab5 = nullptr;   // CIpMgmtTab5Dlg
  IIpListPanel* dynamicIpTab = nullptr;  // DynamicIpTabDlg
  IBanner* accountBanner = nullptr;      // the account panel's banner
};

// Reconnect settings of the main window: set by the options dialog, used by the
// supervisor and the IP list panels; not persisted.
inline constexpr unsigned kTimerReconnect = 12;
inline constexpr unsigned kTimerReconnectWait = 13;

struct ReconnectSettings {
  int enabled = 0;
  int attempts = 0;
  int interval = 0;  // seconds
  int locked = 0;
  int count = 0;     // reconnect ticks so far
};

// When reconnecting is on: kills timers 12 and 13 of the main window and turns it off,
// so no reconnect tick follows a tunnel the user ended.
inline void StopReconnect(platform::IWindow& mainWindow, ReconnectSettings& reconnect) {
  if (reconnect.enabled != 1) return;
  mainWindow.KillTimer(kTimerReconnect);
  mainWindow.KillTimer(kTimerReconnectWait);
  reconnect.enabled = 0;
}

// The teardown of the tunnel kind: OpenVPN (4) without a report, RAS otherwise.
inline void TeardownByKind(int vpnType, ITunnelTeardown* teardown) {
  if (!teardown) return;
  if (vpnType == 4) teardown->TeardownOpenVpn(kTeardownOrderly, "");
  else teardown->TeardownRas();
}

}  // namespace app
