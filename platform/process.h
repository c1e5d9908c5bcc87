// Processes: creation, WinExec, Toolhelp snapshots, termination and waiting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

using ProcessHandle = Handle;

constexpr std::uint32_t kCreateNewConsole = 0x10;
constexpr std::uint32_t kNormalPriorityClass = 0x20;
constexpr std::uint32_t kStartfUseShowWindow = 0x1;
constexpr std::uint32_t kStartfForceOffFeedback = 0x100;
constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kProcessTerminate = 0x1;
constexpr std::uint32_t kProcessAllAccess = 0x1FFFFF;

struct CreateProcessOptions {
  bool inheritHandles = true;
  std::uint32_t creationFlags = kCreateNewConsole | kNormalPriorityClass;
  std::uint32_t startupFlags = kStartfUseShowWindow | kStartfForceOffFeedback;
  int showWindow = kSwHide;
  // The program's full path, given to CreateProcessA as its application name, so the
  // system runs exactly that file instead of searching for the first word of the
  // command line. Empty: the command line alone names the program.
  std::string applicationName;
  // The new process's current directory (CreateProcessA's lpCurrentDirectory); empty:
  // the caller's.
  std::string currentDirectory;
};

// PROCESSENTRY32 / MODULEENTRY32, the fields the client reads.
struct ProcessEntry {
  std::uint32_t pid = 0;
  std::uint32_t parentPid = 0;
  std::string exeFile;  // base name, e.g. "vexoop.exe"
};
struct ModuleEntry {
  std::uint32_t pid = 0;
  std::string module;   // base name
  std::string exePath;  // full path
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;

  // CreateProcessA(options.applicationName or none, commandLine, ..., current
  // environment and directory). On success `process` is the process handle (close it
  // with CloseHandle); false when the program could not be started, with the system's
  // error (GetLastError) in `error`.
  virtual bool CreateProcess(const std::string& commandLine, const CreateProcessOptions& options,
                             ProcessHandle& process, std::uint32_t& pid, std::uint32_t& error) = 0;

  // GetExitCodeProcess: false when it cannot be read; 259 (STILL_ACTIVE) while the
  // process runs.
  virtual bool GetExitCode(ProcessHandle process, std::uint32_t& code) = 0;

  // WinExec(commandLine, show): above 31 on success, else the error value.
  virtual unsigned WinExec(const std::string& commandLine, int show) = 0;

  // WaitForSingleObject(process, milliseconds): 0 when it ended, 258 on time-out.
  virtual std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) = 0;

  // CreateToolhelp32Snapshot + Process32First/Next: every process. False when the
  // snapshot cannot be taken.
  virtual bool SnapshotProcesses(std::vector<ProcessEntry>& processes) = 0;
  // CreateToolhelp32Snapshot + Module32First/Next for one process.
  virtual bool SnapshotModules(std::uint32_t pid, std::vector<ModuleEntry>& modules) = 0;

  // OpenProcess(access, no inheritance, pid): 0 on failure.
  virtual ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t pid) = 0;
  // TerminateProcess(process, exitCode).
  virtual bool TerminateProcess(ProcessHandle process, std::uint32_t exitCode) = 0;
  // CloseHandle.
  virtual bool CloseHandle(ProcessHandle handle) = 0;
};

}  // namespace platform
