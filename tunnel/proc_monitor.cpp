#include "tunnel/proc_monitor.h"

#include <vector>

#include "net/diag_lines.h"
#include "text/cp949.h"
#include "tunnel/program_path.h"

namespace tunnel {

namespace {

// SYNCHRONIZE: the right to wait for the process.
constexpr std::uint32_t kSynchronize = 0x00100000;

// A process ends some time after TerminateProcess returns. Until then it keeps its
// files and devices: the log could not be deleted and the next OpenVPN program would
// find the tunnel adapter busy. Ending takes milliseconds; 3 s allows for a loaded
// machine without holding the window long when a process does not go.
constexpr std::uint32_t kEndWaitMs = 3000;

// taskkill ends a tree in well under a second; 10 s allows for a loaded machine. A
// taskkill that does not end in time is left to itself (ending it gains nothing).
constexpr std::uint32_t kTaskkillWaitMs = 10000;

// Equal names without regard to the case of ASCII letters; double-byte characters are
// compared byte for byte (their trail bytes may be letters).
bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t len = text::CharLength(a, i);
    if (len == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else {
      const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
      if (lower(a[i]) != lower(b[i])) return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

CProcMonitor::CProcMonitor(platform::IProcesses& processes, net::IDiagLog& log)
    : processes_(processes), log_(log) {}

int CProcMonitor::FindProcess(const std::string& exeName) {
  std::vector<platform::ProcessEntry> list;
  if (exeName.empty() || !processes_.SnapshotProcesses(list)) return 0;
  for (const platform::ProcessEntry& entry : list)
    if (SameName(entry.exeFile, exeName)) return 1;
  return 0;
}

// A process matches by its image name or by any module's name. The image is always
// the process's first module; the name also finds a process whose module list cannot
// be read (one that is still starting, or a 32-bit one seen from a 64-bit client).
int CProcMonitor::KillProcessByModule(const std::string& moduleName) {
  const std::string what = "process end " + net::diag::Quoted(moduleName);
  std::vector<platform::ProcessEntry> list;
  if (!processes_.SnapshotProcesses(list)) {
    log_.Write(what + " -> list-unreadable");
    return 0;
  }
  int matched = 0;
  std::vector<platform::ModuleEntry> modules;
  for (const platform::ProcessEntry& entry : list) {
    bool match = !moduleName.empty() && SameName(entry.exeFile, moduleName);
    if (!match && !moduleName.empty() && entry.pid != 0 && processes_.SnapshotModules(entry.pid, modules)) {
      for (const platform::ModuleEntry& module : modules)
        if (SameName(module.module, moduleName)) {
          match = true;
          break;
        }
    }
    if (!match) continue;
    ++matched;
    std::string result;
    const platform::ProcessHandle process =
        processes_.OpenProcess(platform::kProcessTerminate | kSynchronize, entry.pid);
    if (process == 0) {
      result = "not-opened";
    } else {
      if (!processes_.TerminateProcess(process, 0)) {
        result = "not-ended";
      } else {
        const std::uint32_t waited = processes_.Wait(process, kEndWaitMs);
        result = waited == platform::kWaitObject0 ? "ended" : "ending";
      }
      processes_.CloseHandle(process);
    }
    log_.Write(what + " pid " + std::to_string(entry.pid) + " -> " + result);
  }
  if (matched == 0) log_.Write(what + " -> none");
  return 1;
}

// The system's taskkill by its full path (a bare name would be looked for in the
// current folder first), the image name quoted so a name with a blank stays one
// argument.
int CProcMonitor::KillProcessTree(const std::string& imageName, const std::string& systemDir) {
  const std::string tool = PathInFolder(systemDir, "taskkill.exe");
  const std::string commandLine = "\"" + tool + "\" /T /F /IM \"" + imageName + "\"";
  const std::string what = "process kill-tree " + net::diag::Quoted(commandLine) + " -> ";
  if (systemDir.empty() || !Quotable(tool) || !Quotable(imageName)) {
    log_.Write(what + "refused bad-argument");
    return 0;
  }
  platform::CreateProcessOptions options;
  options.applicationName = tool;
  options.inheritHandles = false;
  options.creationFlags = platform::kCreateNewConsole | platform::kNormalPriorityClass;
  options.startupFlags = platform::kStartfUseShowWindow;
  options.showWindow = platform::kSwHide;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 0;
  if (!processes_.CreateProcess(commandLine, options, process, pid, error)) {
    log_.Write(what + "not-started " + std::to_string(error));
    return 0;
  }
  const std::uint32_t waited = processes_.Wait(process, kTaskkillWaitMs);
  std::uint32_t code = 0;
  if (waited == platform::kWaitObject0)
    log_.Write(what + "exit " + (processes_.GetExitCode(process, code) ? std::to_string(code) : std::string("?")));
  else
    log_.Write(what + (waited == platform::kWaitTimeout ? "timeout " + std::to_string(kTaskkillWaitMs)
                                                        : "wait " + std::to_string(waited)));
  processes_.CloseHandle(process);
  return 1;
}

}  // namespace tunnel
