// Null objects for the subsystems that are not in the program yet. Each answers "not
// available" (a negative result, or nothing done) and never reports success: a caller
// that checks results sees that nothing happened.
#pragma once

#include "app/main/main_window_peers.h"

namespace app {

inline constexpr int kNotAvailable = -1;

// No program hooks: no registered program is started or ended.
class ProgramHooksNotAvailable final : public IProgramHooks {
 public:
  void RunProgramHook(const std::string&) override {}
};

// No update manager: no newer client is ever offered.
class UpdateNotAvailable final : public IUpdateAtLogin {
 public:
  UpdateOutcome ApplyUpdateAtLogin() override { return UpdateOutcome::kNoUpdate; }
};

}  // namespace app
