// The OpenVPN program: how it is started, how its status is read, how it is ended.
#include "tunnel/openvpn_mgmt.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_window.h"
#include "tunnel/texts.h"

namespace {

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

struct Rig {
  Rig() {
    record.programDir = "C:/Program Files/TUNRA";
    record.openVpnExeName = "vexoop.exe";
    record.openVpnConfigName = "vexoen.opc";
    record.openVpnLogName = "event.log";
  }
  session::SessionRecord record;
  fakes::FakeProcesses processes;
  fakes::FakeFiles files;
  fakes::FakeWindow owner;
  RecordingLog log;
  tunnel::COpenVpnMgmt mgmt{processes, files, owner, log};
};

TEST(OpenVpnMgmt, LaunchStartsTheProgramByItsFullPathInItsFolder) {
  Rig rig;
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  ASSERT_EQ(rig.processes.starts.size(), 1u);
  const auto& start = rig.processes.starts[0];
  EXPECT_EQ(start.commandLine, "\"C:\\Program Files\\TUNRA\\vexoop.exe\" --config vexoen.opc --log event.log");
  EXPECT_EQ(start.options.applicationName, "C:\\Program Files\\TUNRA\\vexoop.exe");
  EXPECT_EQ(start.options.currentDirectory, "C:\\Program Files\\TUNRA");
  EXPECT_FALSE(start.options.inheritHandles);
  EXPECT_EQ(start.options.creationFlags, 0x30u);
  EXPECT_EQ(start.options.startupFlags, 0x1u);  // show state only: no standard handles
  EXPECT_EQ(start.options.showWindow, platform::kSwHide);
  EXPECT_TRUE(rig.processes.waits.empty());  // never waited for
  EXPECT_EQ(rig.processes.OpenHandles(), 0);
  ASSERT_EQ(rig.log.lines.size(), 1u);
  EXPECT_EQ(rig.log.lines[0],
            "openvpn launch \"'C:\\Program Files\\TUNRA\\vexoop.exe' --config vexoen.opc --log event.log\" -> pid 4000");
}

TEST(OpenVpnMgmt, ALaunchThatFailsShowsNothing) {
  struct Row {
    const char* name;
    std::string programDir, configName;
    std::uint32_t startError;
    const char* logged;
  };
  const Row rows[] = {
      {"the program is missing", "C:/TUNRA", "vexoen.opc", 2, "-> not-started 2"},
      {"no program folder", "", "vexoen.opc", 0, "-> refused bad-argument"},
      {"a quote in the folder", "C:/TU\"NRA", "vexoen.opc", 0, "-> refused bad-argument"},
      {"a blank in a name that goes unquoted", "C:/TUNRA", "my config.opc", 0, "-> refused bad-argument"},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.record.programDir = row.programDir;
    rig.record.openVpnConfigName = row.configName;
    if (row.startError) rig.processes.startErrors["vexoop.exe"] = row.startError;
    EXPECT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), -1) << row.name;
    EXPECT_EQ(rig.processes.starts.size(), row.startError ? 1u : 0u) << row.name;
    EXPECT_TRUE(rig.owner.boxes().empty()) << row.name;
    ASSERT_EQ(rig.log.lines.size(), 1u) << row.name;
    EXPECT_NE(rig.log.lines[0].find(row.logged), std::string::npos) << rig.log.lines[0];
  }
}

TEST(OpenVpnMgmt, StatusReadsTheLogInTheProgramFolderAndTheProcessList) {
  const std::string log = "Mon Mar 04 10:22:38 2024 Initialization Sequence Completed\r\n";
  struct Row {
    const char* name;
    std::vector<platform::ProcessEntry> processes;
    bool logThere;
    int expected;
  };
  const Row rows[] = {
      {"running", {{10, 1, "explorer.exe"}, {11, 10, "vexoop.exe"}}, true, 1},
      {"running, the name in capitals", {{11, 10, "VEXOOP.EXE"}}, true, 1},
      {"not running", {{10, 1, "explorer.exe"}}, true, -14},
      {"no log", {{11, 10, "vexoop.exe"}}, false, -11},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.processes.processes = row.processes;
    if (row.logThere) rig.files.Put("C:/Program Files/TUNRA/event.log", log);
    EXPECT_EQ(rig.mgmt.ReadOpenVpnStatus(rig.record), row.expected) << row.name;
    EXPECT_EQ(rig.files.opened(), std::vector<std::string>{"C:/Program Files/TUNRA/event.log"}) << row.name;
  }
  // The process list cannot be taken: the program counts as not running.
  Rig rig;
  rig.processes.snapshotSucceeds = false;
  rig.files.Put("C:/Program Files/TUNRA/event.log", log);
  EXPECT_EQ(rig.mgmt.ReadOpenVpnStatus(rig.record), -14);
}

TEST(OpenVpnMgmt, StopEndsEveryProgramAndSaysWhenTheListCannotBeTaken) {
  Rig rig;
  rig.processes.processes = {{20, 1, "vexoop.exe"}, {21, 1, "cmd.exe"}, {22, 1, "Vexoop.exe"}};
  EXPECT_EQ(rig.mgmt.StopOpenVpn(), 1);
  EXPECT_EQ(rig.processes.terminatedPids, (std::vector<std::uint32_t>{20, 22}));
  EXPECT_TRUE(rig.owner.boxes().empty());

  Rig failing;
  failing.processes.snapshotSucceeds = false;
  EXPECT_EQ(failing.mgmt.StopOpenVpn(), 1);
  ASSERT_EQ(failing.owner.boxes().size(), 1u);
  EXPECT_EQ(failing.owner.boxes()[0].text, tunnel::kOpenVpnStopFailedText);
  EXPECT_EQ(failing.owner.boxes()[0].caption, "tunra");
}

}  // namespace
