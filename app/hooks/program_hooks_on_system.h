// The program hooks as the program runs them: the settings in the registry, processes
// started by the system and ended through the process monitor's taskkill, every
// action written to the main window's diagnostics log once it is attached.
#pragma once

#include <string>

#include "app/hooks/program_hooks.h"
#include "platform/platform.h"
#include "settings/reg_ctrl.h"
#include "tunnel/proc_monitor.h"

namespace app {

class ProgramHooksOnSystem final : public IProgramHooks {
 public:
  ProgramHooksOnSystem(platform::Platform& platform, const session::SessionRecord& record);
  ProgramHooksOnSystem(const ProgramHooksOnSystem&) = delete;
  ProgramHooksOnSystem& operator=(const ProgramHooksOnSystem&) = delete;

  // The log to write to; lines before it is attached are dropped. The main window
  // owns the log and outlives every hook it runs.
  void AttachLog(net::IDiagLog& log) { log_.target = &log; }

  void RunProgramHook(const std::string& event) override { hooks_.RunProgramHook(event); }

 private:
  struct ForwardLog final : net::IDiagLog {
    void Write(const std::string& line) override {
      if (target != nullptr) target->Write(line);
    }
    net::IDiagLog* target = nullptr;
  };
  class MonitorKiller final : public IProcessTreeKiller {
   public:
    MonitorKiller(platform::IProcesses& processes, net::IDiagLog& log) : monitor_(processes, log) {}
    int KillProcessTree(const std::string& imageName, const std::string& systemDir) override;

   private:
    tunnel::CProcMonitor monitor_;
  };

  ForwardLog log_;
  settings::CRegCtrl reg_;
  MonitorKiller killer_;
  CProgramHooks hooks_;
};

}  // namespace app
