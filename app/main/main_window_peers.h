// What the main window owns but other subsystems implement: the tunnel services
// (OpenVPN process and files, adapter, firewall),
// the program hooks, the update at login and the banners. The window layer builds
// them and hands them over as references; a subsystem that is not in the program yet
// is an explicit null object (app/main/not_available.h) that answers "not available".
#pragma once

#include <string>

#include "app/main/main_diag_log.h"

namespace app {

// One of the two IP list panels, as the main window and the account panel use it.
class IIpListPanel {
 public:
  virtual ~IIpListPanel() = default;
  virtual void LoadList() = 0;          // fill the list from the session record
  virtual void ClearUsedHistory() = 0;  // forget the rows used in this session
  virtual void SetCurrentRow(int row) = 0;  // -1: no current row
  virtual void RepaintList() = 0;       // redraw the IP list at once
};

// The whole-pool panel (CIpMgmtTab5Dlg), which also ends a running tunnel for an IP
// change.
class IIpPoolPanel : public IIpListPanel {
 public:
  virtual void StopForIpChange() = 0;
};

// The OpenVPN tunnel's operations the shell, the exchanges and the tunnel start call,
// over the session record. Results are the operations' own: 1 or 0 on success,
// negative when not done; failures that the user must see are shown by the operation.
class ITunnelServices {
 public:
  virtual ~ITunnelServices() = default;
  virtual void StopOpenVpn() = 0;          // ends a running OpenVPN process
  virtual void RemoveOpenVpnFiles() = 0;   // credential, configuration and log file
  virtual int CheckTapAdapter() = 0;
  virtual int AllowThroughFirewall() = 0;  // firewall exceptions for the program and OpenVPN

  // The start's steps, in the order the tunnel start runs them.
  virtual int UnbindAdapterServices() = 0;  // 1 all tools ran; negative otherwise
  virtual int WriteOpenVpnConfig() = 0;     // 1 written; -1 after its message
  virtual int WriteCredentials() = 0;       // 0 written; -1
  // The tunnel adapter's hardware address from the session (macAddr), its connection
  // restarted for it; nothing when the adapter or the address is missing.
  virtual void ApplyAdapterMac() = 0;
  virtual int LaunchOpenVpn() = 0;          // 1 started; -1 not started (nothing shown)
  // Supervision: the log's status code, and the tunnel adapter's address ("" when the
  // adapter is not there).
  virtual int ReadOpenVpnStatus() = 0;
  virtual std::string TunnelAdapterAddress() = 0;
  // The driver installer, started hidden and not waited for.
  virtual void StartAdapterInstaller() = 0;
};

// The programs the user registered for the tunnel events ("IN_START", "IN_STOP",
// "OUT_START", "OUT_STOP").
class IProgramHooks {
 public:
  virtual ~IProgramHooks() = default;
  virtual void RunProgramHook(const std::string& event) = 0;
};

// The update check after a successful user check.
enum class UpdateOutcome {
  kNoUpdate,        // no newer client offered: the login goes on
  kStarted,         // the installer runs and the main window is closing
  kDownloadFailed,  // a newer client was offered but could not be downloaded
};

class IUpdateAtLogin {
 public:
  virtual ~IUpdateAtLogin() = default;
  virtual UpdateOutcome ApplyUpdateAtLogin() = 0;
};

// The web browser control of a panel (control 1010).
class IBanner {
 public:
  virtual ~IBanner() = default;
  virtual void Navigate(const std::string& url) = 0;
};

struct MainWindowPeers {
  ITunnelServices& tunnel;
  IProgramHooks& programHooks;
  IUpdateAtLogin& update;
  IBanner& loginBanner;
  IBanner& accountBanner;
  // The diagnostics log, shared with the tunnel services; the main window opens it.
  CMainDiagLog& diagLog;
};


}  // namespace app
