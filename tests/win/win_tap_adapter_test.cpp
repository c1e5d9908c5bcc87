// The tunnel adapter check, the driver reinstall and the firewall exceptions on the
// real system, against the test-only stand-ins: the driver tool and netsh
// (tests/win/standin/tools, copied into a program folder whose name holds a blank and
// into a system folder of the test's own) and the adapter list (tests/win/standin/
// iphlpapi beside this program, loaded for iphlpapi=n,b), which adds the adapters of a
// script to Wine's.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_net_connections.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_window.h"
#include "net/network_mgmt.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_net_tables.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_system.h"
#include "tunnel/tap_adapter.h"
#include "tunnel/texts.h"
#include "win_temp.h"

namespace {

// The tunnel adapter's name on Windows 6.1, as Wine reports itself.
constexpr const char* kTap = "Corvane PCI Fast Controller";

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  // The lines that start with `prefix`.
  std::vector<std::string> Starting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }
  std::vector<std::string> lines;
};

bool WriteText(const std::string& path, const std::string& text) {
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  ::CloseHandle(file);
  return ok;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::string text;
  platform::win32::Win32Files().ReadAllShared(path, text);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The command lines of the stand-ins' "start" lines in a journal, in order.
std::vector<std::string> Commands(const std::vector<std::string>& journal) {
  std::vector<std::string> out;
  for (const std::string& line : journal) {
    const std::size_t at = line.find("\tcommand=");
    if (line.rfind("start\t", 0) != 0 || at == std::string::npos) continue;
    const std::size_t from = at + 9;
    out.push_back(line.substr(from, line.find('\t', from) - from));
  }
  return out;
}

// The real system, except for the program's path, the system folder and the processor.
class TestSystem : public platform::ISystem {
 public:
  std::string WindowsDirectory() override { return real_.WindowsDirectory(); }
  std::string ModuleFileName() override { return moduleFileName; }
  std::string CurrentDirectory() override { return real_.CurrentDirectory(); }
  bool SetCurrentDirectory(const std::string& path) override { return real_.SetCurrentDirectory(path); }
  long CreateDirectory(const std::string& path) override { return real_.CreateDirectory(path); }
  bool HasIsWow64Process() override { return real_.HasIsWow64Process(); }
  bool IsWow64Process() override { return real_.IsWow64Process(); }
  bool GetVersionEx(platform::OsVersion& version) override { return real_.GetVersionEx(version); }
  std::string SystemDirectory() override { return systemDirectory.empty() ? real_.SystemDirectory() : systemDirectory; }
  std::uint16_t NativeProcessorArchitecture() override { return architecture; }

  std::string moduleFileName;
  std::string systemDirectory;  // empty: the real one
  std::uint16_t architecture = platform::kProcessorArchitectureAmd64;

 private:
  platform::win32::Win32System real_;
};

// A temporary folder holding the program folder "tun ra" (the driver tools in 64\ and
// 32\), a system folder with netsh.exe, and the scripts and the journal of the
// stand-ins, which the environment names for this process and its children.
class Rig {
 public:
  Rig() : dir_(temp_.path() + "\\tun ra"), system_dir_(temp_.path() + "\\system32") {
    for (const std::string& folder : {dir_, dir_ + "\\64", dir_ + "\\32", system_dir_})
      ::CreateDirectoryW(Wide(folder).c_str(), nullptr);
    for (const std::string& copy : {dir_ + "\\64\\tapinstall64.exe", dir_ + "\\32\\tapinstall32.exe",
                                    system_dir_ + "\\netsh.exe"})
      EXPECT_TRUE(::CopyFileW(Wide(TUNRA_TOOL_STANDIN).c_str(), Wide(copy).c_str(), FALSE)) << copy;
    system.moduleFileName = dir_ + "\\tunra.exe";
    system.systemDirectory = system_dir_;
    record.tapAdapterName = kTap;
    ::SetEnvironmentVariableW(L"TUNRA_TOOL_SCRIPT", Wide(ToolScript()).c_str());
    ::SetEnvironmentVariableW(L"TUNRA_TOOL_JOURNAL", Wide(Journal()).c_str());
    ::SetEnvironmentVariableW(L"TUNRA_ADAPTERS_SCRIPT", Wide(AdapterScript()).c_str());
    ::SetEnvironmentVariableW(L"TUNRA_ADAPTERS_JOURNAL", Wide(temp_.path() + "\\adapters-journal.txt").c_str());
    ::GetCurrentDirectoryW(MAX_PATH, before_);
  }
  ~Rig() {
    ::SetCurrentDirectoryW(before_);
    for (const wchar_t* name : {L"TUNRA_TOOL_SCRIPT", L"TUNRA_TOOL_JOURNAL", L"TUNRA_ADAPTERS_SCRIPT",
                                L"TUNRA_ADAPTERS_JOURNAL"})
      ::SetEnvironmentVariableW(name, nullptr);
    for (const std::string& file : {dir_ + "\\64\\tapinstall64.exe", dir_ + "\\32\\tapinstall32.exe",
                                    system_dir_ + "\\netsh.exe"})
      ::DeleteFileW(Wide(file).c_str());
    for (const std::string& folder : {dir_ + "\\64", dir_ + "\\32", dir_, system_dir_})
      ::RemoveDirectoryW(Wide(folder).c_str());
  }

  const std::string& dir() const { return dir_; }
  std::string ToolScript() const { return temp_.path() + "\\tools.txt"; }
  std::string AdapterScript() const { return temp_.path() + "\\adapters.txt"; }
  std::string Journal() const { return temp_.path() + "\\journal.txt"; }
  std::string Temp(const std::string& name) const { return temp_.path() + "\\" + name; }
  // The program folder with forward slashes, as the driver commands name it.
  std::string Forward() const {
    std::string out = dir_;
    for (char& c : out)
      if (c == '\\') c = '/';
    return out;
  }

  session::SessionRecord record;
  TestSystem system;
  platform::win32::Win32Processes processes;
  platform::win32::Win32NetTables tables;
  fakes::FakeRegistry registry;
  fakes::FakeNetConnections connections;
  fakes::FakeProcesses noProcesses;  // OpenVPN is not running
  fakes::FakeFiles files;
  fakes::FakeWindow owner;
  RecordingLog log;
  net::CAdapterMgmt adapters{tables, registry, connections, log};
  tunnel::COpenVpnMgmt openVpn{noProcesses, files, owner, log};
  tunnel::CTapAdapter tap{processes, system, adapters, openVpn, owner, log};

 private:
  wintest::TempFolder temp_;
  std::string dir_, system_dir_;
  wchar_t before_[MAX_PATH] = {};
};

TEST(WinTapAdapter, TheAdapterListStandInAddsTheScriptsAdaptersToTheSystems) {
  Rig rig;
  std::vector<platform::AdapterInfo> system;
  ASSERT_EQ(rig.tables.GetAdaptersInfo(system), 0u);
  EXPECT_EQ(rig.adapters.FindAdapterIndex(kTap), 0);

  ASSERT_TRUE(WriteText(rig.AdapterScript(),
                        "# the tunnel adapter and a second one\r\n"
                        "adapter 100\r\n"
                        "address 10.8.0.6 255.255.255.252\r\n"
                        "mac 00-FF-AA-BB-CC-DD\r\n"
                        "guid {11111111-2222-3333-4444-555555555555}\r\n"
                        "metric 30\r\n"
                        "adapter 101\r\n"
                        "description Corvane PCI Fast Controller #2\r\n"));
  std::vector<platform::AdapterInfo> list;
  ASSERT_EQ(rig.tables.GetAdaptersInfo(list), 0u);
  ASSERT_EQ(list.size(), system.size() + 2);
  for (std::size_t i = 0; i < system.size(); ++i) EXPECT_EQ(list[i].description, system[i].description);
  const platform::AdapterInfo& tap = list[system.size()];
  EXPECT_EQ(tap.index, 100u);
  EXPECT_EQ(tap.description, kTap);
  EXPECT_EQ(tap.adapterName, "{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(tap.address, std::string("\x00\xFF\xAA\xBB\xCC\xDD", 6));
  EXPECT_EQ(tap.ipAddresses, std::vector<std::string>{"10.8.0.6"});
  EXPECT_EQ(list[system.size() + 1].index, 101u);
  EXPECT_EQ(list[system.size() + 1].ipAddresses, std::vector<std::string>{"0.0.0.0"});

  EXPECT_EQ(rig.adapters.FindAdapterIndex(kTap), 100);
  EXPECT_EQ(rig.adapters.CountAdapters(kTap), 2);
  EXPECT_EQ(rig.adapters.GetAdapterGuid(100), "{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(net::CNetworkMgmt(rig.tables).GetInterfaceAddress(100), "10.8.0.6");
  EXPECT_EQ(net::CNetworkMgmt(rig.tables).GetInterfaceAddress(101), "");  // no address, no row
  std::uint32_t metric = 0;
  EXPECT_EQ(rig.tables.GetIpInterfaceMetric(100, metric), 0u);
  EXPECT_EQ(metric, 30u);
  EXPECT_NE(rig.tables.GetIpInterfaceMetric(101, metric), 0u);  // the system's answer

  // The calls the stand-in forwards still reach the system.
  std::vector<platform::RouteRow> routes;
  EXPECT_EQ(rig.tables.GetIpForwardTable(true, routes), 0u);
  EXPECT_FALSE(routes.empty());

  // A line it does not understand is journalled once, however often the list is read.
  ASSERT_TRUE(WriteText(rig.AdapterScript(), "adapter 100\r\naddress 10.8.0\r\n"));
  rig.adapters.FindAdapterIndex(kTap);
  rig.adapters.FindAdapterIndex(kTap);
  EXPECT_EQ(ReadLines(rig.Temp("adapters-journal.txt")), std::vector<std::string>{"problem\t2\taddress 10.8.0"});
}

TEST(WinTapAdapter, ZeroOrTwoAdaptersReinstallTheDriverWithForwardSlashCommands) {
  struct Row {
    const char* name;
    const char* adapters;
    bool reinstall;
  };
  const Row rows[] = {
      {"no adapter", "", true},
      {"one adapter", "adapter 100\r\naddress 10.8.0.6\r\n", false},
      {"two adapters", "adapter 100\r\nadapter 101\r\ndescription Corvane PCI Fast Controller #2\r\n", true},
  };
  for (const Row& row : rows) {
    Rig rig;
    ASSERT_TRUE(WriteText(rig.AdapterScript(), row.adapters));
    EXPECT_EQ(rig.tap.CheckTapAdapter(rig.record), 0) << row.name;
    const std::vector<std::string> journal = ReadLines(rig.Journal());
    if (!row.reinstall) {
      EXPECT_TRUE(journal.empty()) << row.name;
      EXPECT_TRUE(rig.owner.boxes().empty()) << row.name;
      continue;
    }
    ASSERT_EQ(rig.owner.boxes().size(), 1u) << row.name;
    EXPECT_EQ(rig.owner.boxes()[0].text, tunnel::kTapReinstallText);
    const std::string tool = rig.Forward() + "/64/tapinstall64.exe", inf = rig.Forward() + "/64/OemVista.inf";
    const std::vector<std::string> expected = {"\"" + tool + "\" remove \"" + inf + "\" tap0901",
                                               "\"" + tool + "\" install \"" + inf + "\" tap0901"};
    EXPECT_EQ(Commands(journal), expected) << row.name;
    ASSERT_EQ(journal.size(), 4u) << row.name;
    EXPECT_EQ(journal[0], "start\tname=tapinstall64.exe\tcommand=" + expected[0] + "\tdirectory=" + rig.dir());
    EXPECT_EQ(journal[1], "end\tname=tapinstall64.exe\texit=0");
    const std::vector<std::string> ran = rig.log.Starting("tap driver");
    ASSERT_EQ(ran.size(), 2u) << row.name;
    EXPECT_NE(ran[0].find("remove") , std::string::npos);
    EXPECT_NE(ran[0].find("-> exit 0"), std::string::npos) << ran[0];
    EXPECT_NE(ran[1].find("-> exit 0"), std::string::npos) << ran[1];
  }
}

// The install that brings the adapter (as the stand-in tool does by replacing the
// adapter script) leaves a list the next check accepts.
TEST(WinTapAdapter, AfterTheInstallTheNextCheckFindsOneAdapter) {
  Rig rig;
  ASSERT_TRUE(WriteText(rig.AdapterScript(), ""));
  ASSERT_TRUE(WriteText(rig.Temp("installed.txt"), "adapter 100\r\naddress 10.8.0.6\r\n"));
  ASSERT_TRUE(WriteText(rig.ToolScript(), "tapinstall64.exe:install copy " + rig.Temp("installed.txt") + " " +
                                              rig.AdapterScript() + "\r\n"));
  rig.tap.CheckTapAdapter(rig.record);
  EXPECT_EQ(rig.owner.boxes().size(), 1u);
  rig.tap.CheckTapAdapter(rig.record);
  EXPECT_EQ(rig.owner.boxes().size(), 1u);  // no second notice
  EXPECT_EQ(rig.log.Starting("tap check"),
            (std::vector<std::string>{"tap check \"Corvane PCI Fast Controller\" -> reinstall",
                                      "tap check \"Corvane PCI Fast Controller\" -> ok"}));
}

TEST(WinTapAdapter, ExitCodesMissingToolsAndThe32BitPackage) {
  {
    Rig rig;
    rig.system.architecture = platform::kProcessorArchitectureIntel;
    ASSERT_TRUE(WriteText(rig.ToolScript(), "tapinstall32.exe:remove exit 1\r\n* exit 0\r\n"));
    rig.tap.ReinstallTapDriver(rig.record);
    const std::string tool = rig.Forward() + "/32/tapinstall32.exe", inf = rig.Forward() + "/32/oemdrv.inf";
    EXPECT_EQ(Commands(ReadLines(rig.Journal())),
              (std::vector<std::string>{"\"" + tool + "\" remove \"" + inf + "\" tap0901",
                                        "\"" + tool + "\" install \"" + inf + "\" tap0901"}));
    const std::vector<std::string> ran = rig.log.Starting("tap driver");
    ASSERT_EQ(ran.size(), 2u);
    EXPECT_NE(ran[0].find("-> exit 1"), std::string::npos) << ran[0];  // no adapter to remove
    EXPECT_NE(ran[1].find("-> exit 0"), std::string::npos) << ran[1];
  }
  {
    Rig rig;
    ::DeleteFileW(Wide(rig.dir() + "\\64\\tapinstall64.exe").c_str());
    rig.tap.ReinstallTapDriver(rig.record);
    const std::vector<std::string> ran = rig.log.Starting("tap driver");
    ASSERT_EQ(ran.size(), 1u);  // no install after a remove that could not start
    EXPECT_NE(ran[0].find("-> not-started 2"), std::string::npos) << ran[0];
    EXPECT_TRUE(ReadLines(rig.Journal()).empty());
  }
}

TEST(WinTapAdapter, EachFirewallCommandRunsTwiceThroughTheSystemFoldersNetsh) {
  Rig rig;
  rig.tap.AllowThroughFirewall(rig.record);
  // The repeated runs are not waited for: their lines come when they start.
  std::vector<std::string> commands;
  for (int waited = 0; waited < 200 && commands.size() < 4; ++waited) {
    ::Sleep(50);
    commands = Commands(ReadLines(rig.Journal()));
  }
  const std::string netsh = "\"" + rig.Temp("system32\\netsh.exe") + "\"";
  const std::string vexoop =
      netsh + " firewall add allowedprogram \"" + rig.dir() + "\\TUNRA\\vexoop.exe\" vexoop ENABLE";
  const std::string client = netsh + " firewall add allowedprogram \"" + rig.dir() + "\\TUNRA\\tunra.exe\" Quenda ENABLE";
  std::sort(commands.begin(), commands.end());
  std::vector<std::string> expected = {vexoop, vexoop, client, client};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(commands, expected);
  const std::vector<std::string> runs = rig.log.Starting("firewall run");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NE(runs[0].find("vexoop ENABLE\" -> exit 0"), std::string::npos) << runs[0];
  EXPECT_NE(runs[1].find("Quenda ENABLE\" -> exit 0"), std::string::npos) << runs[1];
  EXPECT_EQ(rig.log.Starting("firewall repeat").size(), 2u);
}

// Wine's own netsh accepts the commands and does nothing: it ends with 0.
TEST(WinTapAdapter, WinesNetshEndsTheFirewallCommandsWithZero) {
  Rig rig;
  rig.system.systemDirectory.clear();
  rig.tap.AllowThroughFirewall(rig.record);
  const std::vector<std::string> runs = rig.log.Starting("firewall run");
  ASSERT_EQ(runs.size(), 2u);
  for (const std::string& run : runs) {
    EXPECT_NE(run.find("system32\\netsh.exe'"), std::string::npos) << run;
    EXPECT_NE(run.find("-> exit 0"), std::string::npos) << run;
  }
}

}  // namespace
