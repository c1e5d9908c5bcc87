// The OpenVPN program ("vexoop.exe" in the program's folder): started with its
// configuration and log, watched through its log, ended by name.
#pragma once

#include <string>
#include <string_view>

#include "net/diag_log.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/window.h"
#include "session/session_record.h"
#include "tunnel/proc_monitor.h"

namespace tunnel {

// Status codes of the log scan.
inline constexpr int kOvpnUp = 1;
inline constexpr int kOvpnLogUnreadable = -11;
inline constexpr int kOvpnEndNotRunning = -10;
inline constexpr int kOvpnEndRunning = -100;
inline constexpr int kOvpnFewLines = -14;

// The status of a log's text: the codes of the status table (1, -1 ... -14, -100);
// `running` says whether the program runs. Pure: the unit the benchmark measures.
int ScanOpenVpnLog(std::string_view log, bool running);

class COpenVpnMgmt {
 public:
  COpenVpnMgmt(platform::IProcesses& processes, platform::IFiles& files, platform::IWindow& owner,
               net::IDiagLog& log);
  virtual ~COpenVpnMgmt() = default;

  // Starts the program from the program's folder with its configuration and log. 1
  // started, -1 not started (nothing shown).
  int LaunchOpenVpn(const session::SessionRecord& record);
  // The program's state from its log (ScanOpenVpnLog) and the process list; -11 when
  // the log cannot be opened.
  int ReadOpenVpnStatus(const session::SessionRecord& record);
  // Ends every running "vexoop.exe". Always 1.
  int StopOpenVpn();

  CProcMonitor& monitor() { return monitor_; }

 private:
  platform::IProcesses& processes_;
  platform::IFiles& files_;
  platform::IWindow& owner_;
  net::IDiagLog& log_;
  CProcMonitor monitor_;
  std::string logBytes_;  // the log as last read
};

}  // namespace tunnel
