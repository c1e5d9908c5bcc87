// The tunnel adapter check, the driver reinstall and the firewall exceptions: which
// programs run, with which command lines, in which order, and how long each is
// waited for.
#include "tunnel/tap_adapter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_net_connections.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "net/diag_lines.h"
#include "tunnel/texts.h"
#include "unit/net/recording_log.h"

namespace {

constexpr const char* kTap = "TAP-Win32 Adapter V9";

// The driver tool's commands in the program folder "C:\Program Files\TUNRA".
const std::string kRemove64 =
    "\"C:/Program Files/TUNRA/64/tapinstall64.exe\" remove \"C:/Program Files/TUNRA/64/OemVista.inf\" tap0901";
const std::string kInstall64 =
    "\"C:/Program Files/TUNRA/64/tapinstall64.exe\" install \"C:/Program Files/TUNRA/64/OemVista.inf\" tap0901";

// The firewall commands with netsh from `netsh`.
std::string Firewall(const std::string& netsh, const char* program, const char* name) {
  return "\"" + netsh + "\" firewall add allowedprogram \"C:\\Program Files\\TUNRA\\TUNRA\\" + program + "\" " + name +
         " ENABLE";
}
const std::string kNetsh = "C:\\windows\\system32\\netsh.exe";
const std::string kSysnative = "C:\\windows\\Sysnative\\netsh.exe";

// A diagnostics line of a command.
std::string Line(const std::string& what, const std::string& commandLine, const std::string& outcome) {
  return what + " " + net::diag::Quoted(commandLine) + " -> " + outcome;
}

platform::AdapterInfo Adapter(std::uint32_t index, const std::string& description) {
  platform::AdapterInfo adapter;
  adapter.index = index;
  adapter.description = description;
  return adapter;
}

// The adapter under test over fakes; a vexoop.exe runs. The message box is written
// into the log as "BOX <caption>", so its place among the actions shows.
struct Rig {
  Rig() {
    processes.processes = {{77, 4, "vexoop.exe"}};
    owner.onMessageBox = [this](const fakes::FakeWindow::Box& box) { log.Write("BOX " + box.caption); };
    record.tapAdapterName = kTap;
  }

  // The log lines of the given areas, in order.
  std::vector<std::string> Lines(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& line : log.lines)
      for (const char* prefix : prefixes)
        if (line.rfind(prefix, 0) == 0) {
          out.push_back(line);
          break;
        }
    return out;
  }

  session::SessionRecord record;
  fakes::FakeProcesses processes;
  fakes::FakeSystem system;
  fakes::FakeFiles files;
  fakes::FakeWindow owner;
  fakes::FakeNetTables tables;
  fakes::FakeRegistry registry;
  fakes::FakeNetConnections connections;
  nettest::RecordingLog log;
  net::CAdapterMgmt adapters{tables, registry, connections, log};
  tunnel::COpenVpnMgmt openVpn{processes, files, owner, log};
  tunnel::CTapAdapter tap{processes, system, adapters, openVpn, owner, log};
};

TEST(TapAdapter, TheDriverIsReinstalledUnlessExactlyOneAdapterCarriesTheName) {
  struct Row {
    const char* name;
    std::vector<platform::AdapterInfo> adapters;
    std::uint32_t listResult;
    const char* tapName;
    bool reinstall;
  };
  const platform::AdapterInfo lan = Adapter(11, "Realtek PCIe GbE Family Controller");
  const Row rows[] = {
      {"one adapter", {lan, Adapter(12, kTap)}, 0, kTap, false},
      {"no adapter", {lan}, 0, kTap, true},
      {"two adapters", {lan, Adapter(12, kTap), Adapter(14, std::string(kTap) + " #2")}, 0, kTap, true},
      {"another adapter's name only", {lan, Adapter(12, "Corvane PCI Fast Controller")}, 0, kTap, true},
      // Index 0 counts as absent, as for every caller of the adapter list.
      {"the adapter has index 0", {Adapter(0, kTap)}, 0, kTap, true},
      // Nothing known about the adapters: no reason to touch the driver.
      {"the list cannot be read", {}, 122, kTap, false},
      {"no adapter name yet", {lan}, 0, "", false},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.tables.adapters = row.adapters;
    rig.tables.adaptersResult = row.listResult;
    rig.record.tapAdapterName = row.tapName;
    EXPECT_EQ(rig.tap.CheckTapAdapter(rig.record), 0) << row.name;
    const std::vector<std::string> seen = rig.Lines({"process end", "BOX", "tap"});
    if (!row.reinstall) {
      EXPECT_TRUE(rig.processes.starts.empty()) << row.name;
      EXPECT_TRUE(rig.owner.boxes().empty()) << row.name;
      EXPECT_TRUE(rig.processes.terminatedPids.empty()) << row.name;
      continue;
    }
    // OpenVPN ends first (it holds the adapter), then the notice, then the driver.
    const std::vector<std::string> expected = {
        "tap check \"TAP-Win32 Adapter V9\" -> reinstall",
        "process end \"vexoop.exe\" pid 77 -> ended",
        "BOX 설치오류",
        "tap reinstall \"C:\\Program Files\\TUNRA\" arch 9 -> 64-bit",
        Line("tap driver remove", kRemove64, "exit 0"),
        Line("tap driver install", kInstall64, "exit 0"),
    };
    EXPECT_EQ(seen, expected) << row.name;
    ASSERT_EQ(rig.owner.boxes().size(), 1u) << row.name;
    EXPECT_EQ(rig.owner.boxes()[0].text,
              "CODE-017 : 지금부터 네트워크 드라이버를 설치합니다. \n\n잠시만 기다려 주세요.");
    EXPECT_EQ(rig.owner.boxes()[0].style, platform::kMbOk);
  }
}

TEST(TapAdapter, TheDriverToolOfTheMachinesBitnessRunsByItsQuotedPath) {
  struct Row {
    const char* name;
    std::uint16_t architecture;
    bool wow64;
    std::string module, folder;
    std::string program, remove, install;
  };
  const Row rows[] = {
      {"64-bit Windows", 9, false, "C:\\Program Files\\TUNRA\\tunra.exe", "C:\\Program Files\\TUNRA",
       "C:\\Program Files\\TUNRA\\64\\tapinstall64.exe", kRemove64, kInstall64},
      // A 32-bit program on 64-bit Windows still needs the 64-bit driver.
      {"32-bit program on 64-bit Windows", 9, true, "C:\\Program Files (x86)\\TUNRA\\tunra.exe",
       "C:\\Program Files (x86)\\TUNRA",
       "C:\\Program Files (x86)\\TUNRA\\64\\tapinstall64.exe",
       "\"C:/Program Files (x86)/TUNRA/64/tapinstall64.exe\" remove "
       "\"C:/Program Files (x86)/TUNRA/64/OemVista.inf\" tap0901",
       "\"C:/Program Files (x86)/TUNRA/64/tapinstall64.exe\" install "
       "\"C:/Program Files (x86)/TUNRA/64/OemVista.inf\" tap0901"},
      {"32-bit Windows", 0, false, "D:\\Games\\TUNRA\\tunra.exe", "D:\\Games\\TUNRA",
       "D:\\Games\\TUNRA\\32\\tapinstall32.exe",
       "\"D:/Games/TUNRA/32/tapinstall32.exe\" remove \"D:/Games/TUNRA/32/oemdrv.inf\" tap0901",
       "\"D:/Games/TUNRA/32/tapinstall32.exe\" install \"D:/Games/TUNRA/32/oemdrv.inf\" tap0901"},
      {"the program in a drive's root", 9, false, "C:\\tunra.exe", "C:\\", "C:\\64\\tapinstall64.exe",
       "\"C:/64/tapinstall64.exe\" remove \"C:/64/OemVista.inf\" tap0901",
       "\"C:/64/tapinstall64.exe\" install \"C:/64/OemVista.inf\" tap0901"},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.system.nativeArchitecture = row.architecture;
    rig.system.wow64 = row.wow64;
    rig.system.moduleFileName = row.module;
    EXPECT_EQ(rig.tap.ReinstallTapDriver(rig.record), 1) << row.name;
    ASSERT_EQ(rig.processes.starts.size(), 2u) << row.name;
    const std::string& folder = row.folder;
    for (const auto& start : rig.processes.starts) {
      EXPECT_EQ(start.options.applicationName, row.program) << row.name;
      EXPECT_EQ(start.options.currentDirectory, folder) << row.name;
      EXPECT_FALSE(start.options.inheritHandles) << row.name;
      EXPECT_EQ(start.options.creationFlags, 0x30u) << row.name;
      EXPECT_EQ(start.options.startupFlags, 0x101u) << row.name;
      EXPECT_EQ(start.options.showWindow, platform::kSwHide) << row.name;
    }
    EXPECT_EQ(rig.processes.starts[0].commandLine, row.remove) << row.name;
    EXPECT_EQ(rig.processes.starts[1].commandLine, row.install) << row.name;
    EXPECT_EQ(rig.processes.waits, (std::vector<std::uint32_t>{30000, 120000})) << row.name;
    EXPECT_EQ(rig.processes.OpenHandles(), 0) << row.name;
    EXPECT_EQ(rig.system.currentDirectory, folder) << row.name;
  }
}

TEST(TapAdapter, ADriverToolThatCannotStartOrDoesNotEndStopsTheReinstall) {
  struct Row {
    const char* name;
    std::map<std::string, std::uint32_t> startErrors, waitResults, exitCodes;
    std::vector<std::string> lines;  // after the "tap reinstall" line
  };
  const Row rows[] = {
      {"the tool is missing", {{" remove ", 2}}, {}, {}, {Line("tap driver remove", kRemove64, "not-started 2")}},
      {"the remove does not end", {}, {{" remove ", 258}}, {},
       {Line("tap driver remove", kRemove64, "timeout 30000")}},
      // No adapter to remove is an error of the tool, not a reason to skip the install.
      {"the remove fails", {}, {}, {{" remove ", 2}},
       {Line("tap driver remove", kRemove64, "exit 2"), Line("tap driver install", kInstall64, "exit 0")}},
      {"the install does not end", {}, {{" install ", 258}}, {},
       {Line("tap driver remove", kRemove64, "exit 0"), Line("tap driver install", kInstall64, "timeout 120000")}},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.processes.startErrors = row.startErrors;
    rig.processes.waitResults = row.waitResults;
    rig.processes.exitCodes = row.exitCodes;
    EXPECT_EQ(rig.tap.ReinstallTapDriver(rig.record), 1) << row.name;
    std::vector<std::string> expected = {"tap reinstall \"C:\\Program Files\\TUNRA\" arch 9 -> 64-bit"};
    expected.insert(expected.end(), row.lines.begin(), row.lines.end());
    EXPECT_EQ(rig.Lines({"tap"}), expected) << row.name;
    EXPECT_EQ(rig.processes.OpenHandles(), 0) << row.name;  // a tool left running is not held
  }

  Rig rig;
  rig.system.moduleFileName = "";
  EXPECT_EQ(rig.tap.ReinstallTapDriver(rig.record), 1);
  EXPECT_TRUE(rig.processes.starts.empty());
  EXPECT_EQ(rig.Lines({"tap"}), std::vector<std::string>{"tap reinstall \"\" arch 9 -> refused bad-argument"});
}

TEST(TapAdapter, EachFirewallCommandRunsTwiceWithNetshFromTheSystemFolder) {
  const std::string vexoop = Firewall(kNetsh, "vexoop.exe", "vexoop");
  const std::string client = Firewall(kNetsh, "tunra.exe", "Quenda");
  const std::string vexoopNative = Firewall(kSysnative, "vexoop.exe", "vexoop");
  struct Row {
    const char* name;
    bool wow64;
    std::map<std::string, std::uint32_t> startErrors, waitResults;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"64-bit program",
       false,
       {},
       {},
       {Line("firewall run", vexoop, "exit 0"), Line("firewall repeat", vexoop, "33"),
        Line("firewall run", client, "exit 0"), Line("firewall repeat", client, "33")}},
      // The redirection would give a 32-bit program the 32-bit netsh.
      {"32-bit program on 64-bit Windows",
       true,
       {},
       {},
       {Line("firewall run", vexoopNative, "exit 0"), Line("firewall repeat", vexoopNative, "33"),
        Line("firewall run", Firewall(kSysnative, "tunra.exe", "Quenda"), "exit 0"),
        Line("firewall repeat", Firewall(kSysnative, "tunra.exe", "Quenda"), "33")}},
      {"no Sysnative folder (XP x64)",
       true,
       {{"Sysnative", 3}},
       {},
       {Line("firewall run", vexoopNative, "not-started 3"), Line("firewall run", vexoop, "exit 0"),
        Line("firewall repeat", vexoop, "33"), Line("firewall run", client, "exit 0"),
        Line("firewall repeat", client, "33")}},
      {"netsh cannot start", false, {{"netsh", 5}}, {}, {Line("firewall run", vexoop, "not-started 5")}},
      {"the firewall does not answer", false, {}, {{"netsh", 258}}, {Line("firewall run", vexoop, "timeout 10000")}},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.system.wow64 = row.wow64;
    rig.system.currentDirectory = "C:\\Users\\me";
    rig.processes.startErrors = row.startErrors;
    rig.processes.waitResults = row.waitResults;
    EXPECT_EQ(rig.tap.AllowThroughFirewall(rig.record), 1) << row.name;
    EXPECT_EQ(rig.Lines({"firewall"}), row.lines) << row.name;
    for (const auto& start : rig.processes.starts) {
      EXPECT_EQ(start.options.applicationName, start.commandLine.substr(1, start.commandLine.find('"', 1) - 1));
      EXPECT_FALSE(start.options.inheritHandles) << row.name;
      EXPECT_EQ(start.options.showWindow, platform::kSwHide) << row.name;
    }
    for (std::uint32_t wait : rig.processes.waits) EXPECT_EQ(wait, 10000u) << row.name;
    EXPECT_EQ(rig.processes.OpenHandles(), 0) << row.name;
    EXPECT_EQ(rig.system.currentDirectory, "C:\\Program Files\\TUNRA") << row.name;
  }
}

}  // namespace
