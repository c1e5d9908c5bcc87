// Processes on Windows: CreateProcessW (texts converted from CP949), waits, exit codes,
// Toolhelp snapshots and termination.
#pragma once

#include "platform/process.h"

namespace platform::win32 {

class Win32Processes final : public IProcesses {
 public:
  bool CreateProcess(const std::string& commandLine, const CreateProcessOptions& options,
                     ProcessHandle& process, std::uint32_t& pid, std::uint32_t& error) override;
  bool GetExitCode(ProcessHandle process, std::uint32_t& code) override;
  unsigned WinExec(const std::string& commandLine, int show) override;
  std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) override;
  bool SnapshotProcesses(std::vector<ProcessEntry>& processes) override;
  bool SnapshotModules(std::uint32_t pid, std::vector<ModuleEntry>& modules) override;
  ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t pid) override;
  bool TerminateProcess(ProcessHandle process, std::uint32_t exitCode) override;
  bool CloseHandle(ProcessHandle handle) override;
};

}  // namespace platform::win32
