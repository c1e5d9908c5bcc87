// The programs the user registered for the tunnel's events: "IN_STOP" (a tunnel start
// begins), "IN_START" (a dialled tunnel is up), "OUT_START" and "OUT_STOP" (a tunnel is
// down). A START event starts its program, a STOP event ends every process of its
// program's image name with the system's taskkill. Nothing is reported to the caller,
// which carries on whatever happens; the diagnostics log has a line for each action.
#pragma once

#include <string>
#include <string_view>

#include "app/main/main_window_peers.h"
#include "net/diag_log.h"
#include "platform/process.h"
#include "platform/system.h"
#include "session/session_record.h"
#include "settings/reg_ctrl.h"

namespace app {

// Ends a program and its children by image name (the process monitor's taskkill).
class IProcessTreeKiller {
 public:
  virtual ~IProcessTreeKiller() = default;
  // taskkill from `systemDir` for `imageName`: 1 when it ran, 0 when it could not be
  // started.
  virtual int KillProcessTree(const std::string& imageName, const std::string& systemDir) = 0;
};

struct ProgramHooksParts {
  const session::SessionRecord& record;  // the settings key and the Windows folder
  settings::CRegCtrl& reg;
  platform::IProcesses& processes;
  platform::ISystem& system;  // the client's own program file
  IProcessTreeKiller& killer;
  net::IDiagLog& log;
};

class CProgramHooks final : public IProgramHooks {
 public:
  explicit CProgramHooks(ProgramHooksParts parts) : p_(parts) {}

  // Runs the action of `event` (its exact name; any other name does nothing) when its
  // value holds a program.
  void RunProgramHook(const std::string& event) override;

 private:
  // Starts exactly the stored file: the path is the application name and, quoted, the
  // command line, so "C:\Program Files\..." can never start "C:\Program.exe".
  void Start(const std::string& event, const std::string& path);
  // Ends every process of the path's image name, unless that name is the client's own
  // or not a plain file name.
  void End(const std::string& event, const std::string& path);

  ProgramHooksParts p_;
};

// The image name of a stored path: the part after its last backslash (a backslash byte
// inside a double-byte character does not count), the whole text when it has none.
std::string ImageNameOf(std::string_view path);

// True when `name` can be handed to taskkill as one image name: not empty, and none
// of the characters a file name cannot hold (taskkill reads * and ? as patterns, and a
// quote would end the quoted argument).
bool IsPlainImageName(std::string_view name);

}  // namespace app
