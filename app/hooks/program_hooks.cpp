#include "app/hooks/program_hooks.h"

#include "net/diag_lines.h"
#include "settings/settings_table.h"
#include "text/cp949.h"

namespace app {

namespace {

// STARTF_USESTDHANDLES: the child gets the (null) standard handles of the start-up
// information instead of the client's.
constexpr std::uint32_t kStartfUseStdHandles = 0x100;

enum class Action { kStart, kEnd };

struct HookEvent {
  const char* name;
  settings::Setting value;
  Action action;
};

constexpr HookEvent kEvents[] = {
    {"IN_START", settings::Setting::kInStart, Action::kStart},
    {"IN_STOP", settings::Setting::kInStop, Action::kEnd},
    {"OUT_START", settings::Setting::kOutStart, Action::kStart},
    {"OUT_STOP", settings::Setting::kOutStop, Action::kEnd},
};

}  // namespace

std::string ImageNameOf(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += text::CharLength(path, i))
    if (path[i] == '\\') start = i + 1;
  return std::string(path.substr(start));
}

bool IsPlainImageName(std::string_view name) {
  if (name.empty()) return false;
  // Byte by byte: no refused byte is ever a CP949 trail byte (0x41-0x5A, 0x61-0x7A,
  // 0x81-0xFE), so a Korean name passes whole, while a lead byte cannot hide a quote
  // that would end the name's argument on taskkill's command line.
  for (unsigned char c : name)
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
  return true;
}

void CProgramHooks::RunProgramHook(const std::string& event) {
  for (const HookEvent& e : kEvents) {
    if (event != e.name) continue;
    const settings::SettingsKey key{p_.record.settingsRoot, p_.record.settingsKeyPath};
    const std::string path = settings::ReadSetting(p_.reg, key, e.value);
    if (path.empty()) return;
    if (e.action == Action::kStart) Start(event, path);
    else End(event, path);
    return;
  }
}

void CProgramHooks::Start(const std::string& event, const std::string& path) {
  platform::CreateProcessOptions options;
  options.inheritHandles = true;
  options.creationFlags = platform::kCreateNewConsole | platform::kNormalPriorityClass;
  options.startupFlags = platform::kStartfUseShowWindow | kStartfUseStdHandles;
  options.showWindow = platform::kSwShow;
  options.applicationName = path;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 0;
  const std::string line = "hook " + event + " start " + net::diag::Quoted(path) + " -> ";
  if (!p_.processes.CreateProcess("\"" + path + "\"", options, process, pid, error)) {
    p_.log.Write(line + "not-started " + std::to_string(error));
    return;
  }
  // Not waited for and not remembered.
  p_.processes.CloseHandle(process);
  p_.log.Write(line + "0");
}

void CProgramHooks::End(const std::string& event, const std::string& path) {
  const std::string image = ImageNameOf(path);
  const std::string line =
      "hook " + event + " end " + (image.empty() ? std::string("-") : net::diag::Quoted(image)) + " -> ";
  if (!IsPlainImageName(image)) {
    p_.log.Write(line + "refused bad-name");
    return;
  }
  // taskkill would end the client itself, in the middle of a tunnel start or teardown.
  if (text::ToLowerAscii(image) == text::ToLowerAscii(ImageNameOf(p_.system.ModuleFileName()))) {
    p_.log.Write(line + "refused own-program");
    return;
  }
  // taskkill by full path, never the first one found along the search path.
  if (p_.record.windowsDir.empty()) {
    p_.log.Write(line + "refused no-system-folder");
    return;
  }
  const int ran = p_.killer.KillProcessTree(image, p_.record.windowsDir + "\\System32");
  p_.log.Write(line + std::to_string(ran));
}

}  // namespace app
