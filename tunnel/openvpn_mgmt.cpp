#include "tunnel/openvpn_mgmt.h"

#include "net/diag_lines.h"
#include "tunnel/program_path.h"
#include "tunnel/texts.h"

namespace tunnel {

namespace {

// The program StopOpenVpn ends, whatever session it belongs to.
constexpr const char* kOpenVpnProgram = "vexoop.exe";

// A file name that goes unquoted onto the command line: one word, no folder.
bool IsPlainName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name)
    if (c == ' ' || c == '"' || c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

}  // namespace

COpenVpnMgmt::COpenVpnMgmt(platform::IProcesses& processes, platform::IFiles& files, platform::IWindow& owner,
                           net::IDiagLog& log)
    : processes_(processes), files_(files), owner_(owner), log_(log), monitor_(processes, log) {}

// The program runs from the program's folder by its full path (a bare name would also
// be looked for on the search path), with that folder as its current directory: the
// configuration, the log and the files the configuration names are bare names the
// program resolves there, wherever the client's own current directory has moved.
// No handle is inherited and no standard handle passed: the program writes only to
// its log, and would otherwise hold the client's inheritable handles for its whole
// life. A new, hidden console, as before.
int COpenVpnMgmt::LaunchOpenVpn(const session::SessionRecord& record) {
  const std::string program = PathInFolder(record.programDir, record.openVpnExeName);
  const std::string commandLine =
      "\"" + program + "\" --config " + record.openVpnConfigName + " --log " + record.openVpnLogName;
  const std::string line = "openvpn launch " + net::diag::Quoted(commandLine) + " -> ";
  if (record.programDir.empty() || !Quotable(program) || !IsPlainName(record.openVpnExeName) ||
      !IsPlainName(record.openVpnConfigName) || !IsPlainName(record.openVpnLogName)) {
    log_.Write(line + "refused bad-argument");
    return -1;
  }
  platform::CreateProcessOptions options;
  options.applicationName = program;
  options.currentDirectory = WindowsFolder(record.programDir);
  options.inheritHandles = false;
  options.creationFlags = platform::kCreateNewConsole | platform::kNormalPriorityClass;
  options.startupFlags = platform::kStartfUseShowWindow;
  options.showWindow = platform::kSwHide;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 0;
  if (!processes_.CreateProcess(commandLine, options, process, pid, error)) {
    log_.Write(line + "not-started " + std::to_string(error));
    return -1;
  }
  processes_.CloseHandle(process);
  log_.Write(line + "pid " + std::to_string(pid));
  return 1;
}

int COpenVpnMgmt::ReadOpenVpnStatus(const session::SessionRecord& record) {
  const bool running = monitor_.FindProcess(record.openVpnExeName) == 1;
  // The buffer is kept between ticks: the log is read whole every second.
  if (record.programDir.empty() ||
      !files_.ReadAllShared(record.programDir + "/" + record.openVpnLogName, logBytes_))
    return kOvpnLogUnreadable;
  return ScanOpenVpnLog(logBytes_, running);
}

int COpenVpnMgmt::StopOpenVpn() {
  if (monitor_.KillProcessByModule(kOpenVpnProgram) == 0)
    owner_.MessageBox(kOpenVpnStopFailedText, kOpenVpnStopFailedCaption, platform::kMbOk);
  return 1;
}

}  // namespace tunnel
