#include "app/hooks/program_hooks_on_system.h"

namespace app {

ProgramHooksOnSystem::ProgramHooksOnSystem(platform::Platform& platform, const session::SessionRecord& record)
    : reg_(platform.registry),
      killer_(platform.processes, log_),
      hooks_(ProgramHooksParts{record, reg_, platform.processes, platform.system, killer_, log_}) {}

int ProgramHooksOnSystem::MonitorKiller::KillProcessTree(const std::string& imageName,
                                                         const std::string& systemDir) {
  return monitor_.KillProcessTree(imageName, systemDir);
}

}  // namespace app
