#include "tunnel/tap_adapter.h"

#include "net/diag_lines.h"
#include "tunnel/program_path.h"
#include "tunnel/texts.h"

namespace tunnel {

namespace {

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;

// The executables the firewall lets through, under the installation's TUNRA folder in
// the program's folder, with the names the firewall lists them by.
struct FirewallEntry {
  const char* program;
  const char* name;
};
constexpr FirewallEntry kFirewallEntries[] = {
    {"TUNRA\\vexoop.exe", "vexoop"},
    {"TUNRA\\tunra.exe", "Quenda"},
};

// The driver package of each bitness, in a folder of its own beside the program.
struct DriverTool {
  const char* folder;
  const char* tool;
  const char* inf;
};
constexpr DriverTool kDriver64 = {"64", "tapinstall64.exe", "OemVista.inf"};
constexpr DriverTool kDriver32 = {"32", "tapinstall32.exe", "oemdrv.inf"};
constexpr const char* kDriverComponent = "tap0901";

// "C:\Program Files\TUNRA" -> "C:/Program Files/TUNRA"; a drive's root loses its
// separator ("C:"), so the paths built on it hold no doubled one.
std::string ForwardSlashFolder(const std::string& windowsFolder) {
  std::string out = windowsFolder;
  if (!out.empty() && out.back() == '\\') out.pop_back();
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

// The driver tool's command line. The tool parses forward slashes in its paths as
// Windows does, and every path is quoted, so a folder with blanks stays one argument.
std::string DriverCommand(const std::string& windowsFolder, const DriverTool& driver, const char* verb) {
  const std::string dir = ForwardSlashFolder(windowsFolder) + "/" + driver.folder + "/";
  return "\"" + dir + driver.tool + "\" " + verb + " \"" + dir + driver.inf + "\" " + kDriverComponent;
}

}  // namespace

CTapAdapter::CTapAdapter(platform::IProcesses& processes, platform::ISystem& system, net::CAdapterMgmt& adapters,
                         COpenVpnMgmt& openVpn, platform::IWindow& owner, net::IDiagLog& log)
    : processes_(processes), system_(system), adapters_(adapters), openVpn_(openVpn), owner_(owner), log_(log) {}

// The folder comes from the executable's path, not from reading the current directory
// back: a folder that cannot be made current would otherwise give the commands
// whatever folder was current before.
std::string CTapAdapter::ProgramFolder() {
  const std::string module = system_.ModuleFileName();
  const std::size_t slash = module.rfind('\\');
  if (slash == std::string::npos || slash == 0) return std::string();
  std::string folder = module.substr(0, slash);
  if (folder.back() == ':') folder += '\\';  // "C:" alone names the drive's current folder
  system_.SetCurrentDirectory(folder);
  return folder;
}

std::string CTapAdapter::NetshPath(bool& sysnative) {
  sysnative = system_.IsWow64Process();
  if (sysnative) {
    const std::string windows = system_.WindowsDirectory();
    if (!windows.empty()) return PathInFolder(windows, "Sysnative\\netsh.exe");
    sysnative = false;
  }
  const std::string system = system_.SystemDirectory();
  return system.empty() ? std::string() : PathInFolder(system, "netsh.exe");
}

CTapAdapter::RunResult CTapAdapter::Run(const std::string& what, const std::string& program,
                                        const std::string& commandLine, const std::string& folder,
                                        std::uint32_t waitMs) {
  const std::string line = what + " " + net::diag::Quoted(commandLine) + " -> ";
  platform::CreateProcessOptions options;
  options.applicationName = program;
  options.currentDirectory = folder;
  options.inheritHandles = false;
  options.creationFlags = platform::kCreateNewConsole | platform::kNormalPriorityClass;
  options.startupFlags = platform::kStartfUseShowWindow | platform::kStartfForceOffFeedback;
  options.showWindow = platform::kSwHide;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 0;
  if (!processes_.CreateProcess(commandLine, options, process, pid, error)) {
    log_.Write(line + "not-started " + std::to_string(error));
    return {RunEnd::kNotStarted, error};
  }
  const std::uint32_t waited = processes_.Wait(process, waitMs);
  RunResult result{RunEnd::kExited, 0};
  if (waited == platform::kWaitObject0) {
    std::uint32_t code = 0;
    log_.Write(line + "exit " + (processes_.GetExitCode(process, code) ? std::to_string(code) : std::string("?")));
  } else {
    log_.Write(line + (waited == platform::kWaitTimeout ? "timeout " + std::to_string(waitMs)
                                                        : "wait " + std::to_string(waited)));
    result.end = RunEnd::kTimedOut;
  }
  processes_.CloseHandle(process);
  return result;
}

// Each command runs twice: once waited for, then once more without waiting, as the
// exceptions have always been added. A run that cannot start or does not end in time
// ends the whole step: the next run would meet the same missing program or the same
// unanswering firewall service, and only lengthen the start-up.
int CTapAdapter::AllowThroughFirewall(const session::SessionRecord&) {
  const std::string folder = ProgramFolder();
  bool sysnative = false;
  std::string netsh = NetshPath(sysnative);
  if (folder.empty() || netsh.empty() || !Quotable(folder) || !Quotable(netsh)) {
    log_.Write("firewall add " + net::diag::Quoted(folder) + " -> refused bad-argument");
    return 1;
  }
  for (const FirewallEntry& entry : kFirewallEntries) {
    const std::string arguments = " firewall add allowedprogram \"" + PathInFolder(folder, entry.program) + "\" " +
                                  entry.name + " ENABLE";
    std::string commandLine = "\"" + netsh + "\"" + arguments;
    RunResult run = Run("firewall run", netsh, commandLine, folder, kFirewallWaitMs);
    // Sysnative exists from Vista on (on XP x64 only with an update): without it the
    // redirected system folder's 32-bit netsh does the same.
    if (sysnative && run.end == RunEnd::kNotStarted &&
        (run.error == kErrorFileNotFound || run.error == kErrorPathNotFound)) {
      sysnative = false;
      const std::string system = system_.SystemDirectory();
      if (system.empty()) return 1;
      netsh = PathInFolder(system, "netsh.exe");
      commandLine = "\"" + netsh + "\"" + arguments;
      run = Run("firewall run", netsh, commandLine, folder, kFirewallWaitMs);
    }
    if (run.end != RunEnd::kExited) break;
    const unsigned repeated = processes_.WinExec(commandLine, platform::kSwHide);
    log_.Write("firewall repeat " + net::diag::Quoted(commandLine) + " -> " + std::to_string(repeated));
  }
  return 1;
}

// A list that cannot be read (-1 from both calls) is not a reason to reinstall a
// driver: only an adapter known to be missing or doubled is.
int CTapAdapter::CheckTapAdapter(const session::SessionRecord& record) {
  const std::string& name = record.tapAdapterName;
  const std::string line = "tap check " + net::diag::Quoted(name) + " -> ";
  // Without the name every adapter list would look like one without the adapter.
  if (name.empty()) {
    log_.Write(line + "refused no-name");
    return 0;
  }
  if (adapters_.FindAdapterIndex(name) != 0 && adapters_.CountAdapters(name) < 2) {
    log_.Write(line + "ok");
    return 0;
  }
  log_.Write(line + "reinstall");
  openVpn_.StopOpenVpn();  // a running OpenVPN keeps the adapter busy
  owner_.MessageBox(kTapReinstallText, kTapReinstallCaption, platform::kMbOk);
  ReinstallTapDriver(record);
  return 0;
}

// The driver's bitness is the machine's (GetNativeSystemInfo), whatever this program's
// own: a 64-bit kernel loads only the 64-bit driver, even for a 32-bit program.
int CTapAdapter::ReinstallTapDriver(const session::SessionRecord&) {
  const std::string folder = ProgramFolder();
  const std::uint16_t architecture = system_.NativeProcessorArchitecture();
  const DriverTool& driver = architecture == platform::kProcessorArchitectureAmd64 ? kDriver64 : kDriver32;
  const std::string program = PathInFolder(folder, std::string(driver.folder) + "\\" + driver.tool);
  const std::string line = "tap reinstall " + net::diag::Quoted(folder) + " arch " + std::to_string(architecture) +
                           " -> ";
  if (folder.empty() || !Quotable(program)) {
    log_.Write(line + "refused bad-argument");
    return 1;
  }
  log_.Write(line + driver.folder + "-bit");
  // The install runs only after a remove that ended: a tool that cannot start would
  // not start for the install either, and one still removing holds the system's
  // device installation, which the install would wait for.
  if (Run("tap driver remove", program, DriverCommand(folder, driver, "remove"), folder, kDriverRemoveWaitMs).end !=
      RunEnd::kExited)
    return 1;
  Run("tap driver install", program, DriverCommand(folder, driver, "install"), folder, kDriverInstallWaitMs);
  return 1;
}

}  // namespace tunnel
