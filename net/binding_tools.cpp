#include "net/binding_tools.h"

#include "net/diag_lines.h"

namespace net {

namespace {

constexpr const char* kComponentsNt6[] = {"ms_msclient", "ms_server", "ms_lltdio",
                                         "ms_rspndr",   "ms_tcpip6", "ms_tcpip6_tunnel"};
constexpr const char* kComponentsOlder[] = {"ms_msclient", "ms_server"};
constexpr std::uint32_t kPlatformNt = 2;

bool Quotable(const std::string& text) {
  for (char c : text)
    if (c == '"' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

// "C:/Program Files/TUNRA" -> "C:\Program Files\TUNRA\" (backslashes, one at the end).
std::string WindowsFolder(const std::string& folder) {
  std::string out = folder;
  for (char& c : out)
    if (c == '/') c = '\\';
  if (out.back() != '\\') out += '\\';
  return out;
}

}  // namespace

std::vector<BindingCommand> BindingCommandsFor(bool versionRead, const platform::OsVersion& version) {
  std::vector<BindingCommand> commands;
  if (versionRead && version.platformId == kPlatformNt && version.major > 5) {
    for (const char* component : kComponentsNt6) commands.push_back({"mgmt_2.exe", component});
  } else {
    for (const char* component : kComponentsOlder) commands.push_back({"mgmt_1.exe", component});
  }
  return commands;
}

int CBindingTools::UnbindAdapterServices(const std::string& programDir, const std::string& adapterName) {
  const std::string line = "binding tools " + diag::Quoted(adapterName) + " -> ";
  // A relative tool path would be looked for in the current folder and on the search
  // path, which the user can write to.
  if (programDir.empty() || !Quotable(programDir) || !Quotable(adapterName)) {
    log_.Write(line + "refused bad-argument");
    return kBindingToolNotStarted;
  }
  platform::OsVersion version;
  const bool versionRead = system_.GetVersionEx(version);

  platform::CreateProcessOptions options;
  options.inheritHandles = false;
  int result = kBindingsDone;
  for (const BindingCommand& command : BindingCommandsFor(versionRead, version)) {
    options.applicationName = WindowsFolder(programDir) + command.tool;
    const std::string commandLine = "\"" + options.applicationName + "\" /d \"" + adapterName + "\" " +
                                    command.component;
    const std::string run = "binding run " + diag::Quoted(commandLine) + " -> ";
    platform::ProcessHandle process = 0;
    std::uint32_t pid = 0, error = 0;
    if (!processes_.CreateProcess(commandLine, options, process, pid, error)) {
      log_.Write(run + "not-started " + std::to_string(error));
      result = kBindingToolNotStarted;
      break;
    }
    const std::uint32_t waited = processes_.Wait(process, kBindingToolWaitMs);
    std::uint32_t exitCode = 0;
    if (waited == platform::kWaitObject0) {
      // A tool that finds no such binding ends with an error; the others still run.
      log_.Write(run + "exit " + (processes_.GetExitCode(process, exitCode) ? std::to_string(exitCode)
                                                                           : std::string("?")));
    } else {
      // Left running: ending a tool in the middle of a binding change could leave the
      // adapter half configured, and the next tool would wait for the same lock.
      log_.Write(run + (waited == platform::kWaitTimeout ? "timeout " + std::to_string(kBindingToolWaitMs)
                                                          : "wait " + std::to_string(waited)));
      result = kBindingToolTimedOut;
    }
    processes_.CloseHandle(process);
    if (result != kBindingsDone) break;
  }
  log_.Write(line + std::to_string(result));
  return result;
}

}  // namespace net
