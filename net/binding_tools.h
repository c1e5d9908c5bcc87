// Removes unwanted protocol bindings (file sharing, link-layer discovery, IPv6) from
// the tunnel adapter with the binding tools installed in the program's folder:
// "<tool> /d "<adapter description>" <component id>" removes that component's binding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/diag_log.h"
#include "platform/process.h"
#include "platform/system.h"

namespace net {

// How long one binding tool may run. A tool waits for the system's network
// configuration lock (held while another program or the system changes bindings) and
// then changes one binding: a few seconds at most on a healthy system. The tools run
// on the UI thread, so the wait must end: 15 s per tool is three times a typical
// 5-second lock wait plus the change, and bounds the six tools to 90 s at worst.
inline constexpr std::uint32_t kBindingToolWaitMs = 15000;

// Results of UnbindAdapterServices.
inline constexpr int kBindingsDone = 1;
inline constexpr int kBindingToolNotStarted = -1;  // also: refused arguments
inline constexpr int kBindingToolTimedOut = -2;

// A command of the binding tool list.
struct BindingCommand {
  std::string tool;       // "mgmt_2.exe"
  std::string component;  // "ms_msclient"
};

// The commands for this Windows: the mgmt_2.exe list on NT 6 and later (platform NT,
// major version above 5), the two mgmt_1.exe commands otherwise (also when the version
// cannot be read).
std::vector<BindingCommand> BindingCommandsFor(bool versionRead, const platform::OsVersion& version);

class CBindingTools {
 public:
  CBindingTools(platform::IProcesses& processes, platform::ISystem& system, IDiagLog& log)
      : processes_(processes), system_(system), log_(log) {}
  virtual ~CBindingTools() = default;

  // Runs the commands in order, each hidden, started by the tool's full path in
  // `programDir` (with '/' or '\' separators) with every path and the description
  // quoted, inheriting no handles, and waits up to kBindingToolWaitMs for it. When one
  // cannot be started or does not end in time, the rest are skipped. A missing program
  // folder, or a description that quoting cannot hold (a double quote or a control
  // byte), is refused without starting anything.
  int UnbindAdapterServices(const std::string& programDir, const std::string& adapterName);

 private:
  platform::IProcesses& processes_;
  platform::ISystem& system_;
  IDiagLog& log_;
};

}  // namespace net
