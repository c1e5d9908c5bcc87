// Processes by name: is one running, end every one with a module of that name, end a
// program and its children with the system's taskkill.
#pragma once

#include <string>

#include "net/diag_log.h"
#include "platform/process.h"
#include "platform/system.h"

namespace tunnel {

class CProcMonitor {
 public:
  CProcMonitor(platform::IProcesses& processes, net::IDiagLog& log);
  virtual ~CProcMonitor() = default;

  // 1 when a process with that executable name runs (compared without regard to
  // case), else 0 (also when the list cannot be taken).
  int FindProcess(const std::string& exeName);
  // Ends every process that has a module of that name (opened with the right to
  // terminate, every handle closed). 0 when the list cannot be taken, else 1.
  int KillProcessByModule(const std::string& moduleName);
  // Ends the program with that image name and its children with the system's
  // taskkill (full system path, quoted name, bounded wait). 1 when taskkill ran, 0 when
  // it could not be started. `systemDir` is the system folder.
  int KillProcessTree(const std::string& imageName, const std::string& systemDir);

 private:
  platform::IProcesses& processes_;
  net::IDiagLog& log_;
};

}  // namespace tunnel
