// Processes by name: found without regard to case, every match ended with the right
// to terminate and its handle closed, taskkill by its full path with a quoted name.
#include "tunnel/proc_monitor.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_processes.h"

namespace {

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

struct Rig {
  fakes::FakeProcesses processes;
  RecordingLog log;
  tunnel::CProcMonitor monitor{processes, log};
};

TEST(ProcMonitor, FindProcessComparesNamesWithoutRegardToCase) {
  struct Row {
    const char* name;
    const char* wanted;
    int expected;
  };
  const Row rows[] = {
      {"same text", "vexoop.exe", 1},
      {"capitals", "VEXOOP.EXE", 1},
      {"another program", "vexoop2.exe", 0},
      {"a part of the name", "vexoop", 0},
      {"nothing", "", 0},
      // A Korean name matches only byte for byte: its trail bytes are not letters to fold.
      {"Korean name", "\xC7\xD1\xB1\xDB.exe", 1},
      {"Korean name with a trail byte in another case", "\xC7\x61.exe", 0},
  };
  Rig rig;
  rig.processes.processes = {{4, 0, "System"}, {30, 4, "Vexoop.exe"}, {31, 4, "\xC7\xD1\xB1\xDB.EXE"},
                             {32, 4, "\xC7\x41.exe"}};
  for (const Row& row : rows) EXPECT_EQ(rig.monitor.FindProcess(row.wanted), row.expected) << row.name;

  rig.processes.snapshotSucceeds = false;
  EXPECT_EQ(rig.monitor.FindProcess("vexoop.exe"), 0);
}

TEST(ProcMonitor, KillProcessByModuleEndsEveryMatch) {
  Rig rig;
  rig.processes.processes = {{40, 4, "vexoop.exe"},  {41, 4, "host.exe"},   {42, 4, "VEXOOP.exe"},
                             {43, 4, "other.exe"},   {44, 4, "vexoop.exe"}, {45, 4, "starting.exe"}};
  // 41 has the module without the image name; 44 cannot be opened; 45's modules
  // cannot be read.
  rig.processes.modules = {{41, "host.exe", "C:\\x\\host.exe"}, {41, "VexOop.exe", "C:\\x\\vexoop.exe"},
                           {43, "other.exe", "C:\\x\\other.exe"}};
  rig.processes.unopenable = {44};
  rig.processes.unreadableModules = {45};
  EXPECT_EQ(rig.monitor.KillProcessByModule("vexoop.exe"), 1);
  EXPECT_EQ(rig.processes.terminatedPids, (std::vector<std::uint32_t>{40, 41, 42}));
  for (const auto& open : rig.processes.opens) EXPECT_TRUE(open.access & platform::kProcessTerminate);
  EXPECT_EQ(rig.processes.opens.size(), 4u);  // 44 was tried too
  EXPECT_EQ(rig.processes.OpenHandles(), 0);
  EXPECT_EQ(rig.processes.waits, (std::vector<std::uint32_t>{3000, 3000, 3000}));  // each end is awaited
  EXPECT_EQ(rig.log.lines, (std::vector<std::string>{
                               "process end \"vexoop.exe\" pid 40 -> ended",
                               "process end \"vexoop.exe\" pid 41 -> ended",
                               "process end \"vexoop.exe\" pid 42 -> ended",
                               "process end \"vexoop.exe\" pid 44 -> not-opened",
                           }));
}

TEST(ProcMonitor, KillProcessByModuleWithoutAMatchOrWithoutAList) {
  Rig rig;
  rig.processes.processes = {{50, 4, "cmd.exe"}};
  EXPECT_EQ(rig.monitor.KillProcessByModule("vexoop.exe"), 1);
  EXPECT_TRUE(rig.processes.terminated.empty());
  EXPECT_EQ(rig.log.lines, std::vector<std::string>{"process end \"vexoop.exe\" -> none"});

  Rig noList;
  noList.processes.snapshotSucceeds = false;
  EXPECT_EQ(noList.monitor.KillProcessByModule("vexoop.exe"), 0);
  EXPECT_EQ(noList.log.lines, std::vector<std::string>{"process end \"vexoop.exe\" -> list-unreadable"});
}

// A process that is slow to go is left ending after the wait; the handle still closes.
TEST(ProcMonitor, KillProcessByModuleWaitsABoundedTime) {
  Rig rig;
  rig.processes.processes = {{60, 4, "vexoop.exe"}};
  rig.processes.waitResults["vexoop.exe"] = platform::kWaitTimeout;
  EXPECT_EQ(rig.monitor.KillProcessByModule("vexoop.exe"), 1);
  EXPECT_EQ(rig.processes.OpenHandles(), 0);
  EXPECT_EQ(rig.log.lines, std::vector<std::string>{"process end \"vexoop.exe\" pid 60 -> ending"});
}

TEST(ProcMonitor, KillProcessTreeRunsTheSystemTaskkill) {
  struct Row {
    const char* name;
    std::string image, systemDir;
    std::uint32_t startError, waitResult;
    int expected;
    std::string logged;
  };
  const std::string line = "\"'C:\\windows\\system32\\taskkill.exe' /T /F /IM 'my game.exe'\" -> ";
  const Row rows[] = {
      {"ends", "my game.exe", "C:\\windows\\system32", 0, platform::kWaitObject0, 1, line + "exit 0"},
      {"forward slashes", "my game.exe", "C:/windows/system32/", 0, platform::kWaitObject0, 1, line + "exit 0"},
      {"does not end in time", "my game.exe", "C:\\windows\\system32", 0, platform::kWaitTimeout, 1,
       line + "timeout 10000"},
      {"cannot start", "my game.exe", "C:\\windows\\system32", 2, 0, 0, line + "not-started 2"},
      {"a quote in the name", "my\"game.exe", "C:\\windows\\system32", 0, 0, 0, ""},
      {"no system folder", "my game.exe", "", 0, 0, 0, ""},
  };
  for (const Row& row : rows) {
    Rig rig;
    if (row.startError) rig.processes.startErrors["taskkill"] = row.startError;
    rig.processes.waitResults["taskkill"] = row.waitResult;
    EXPECT_EQ(rig.monitor.KillProcessTree(row.image, row.systemDir), row.expected) << row.name;
    EXPECT_EQ(rig.processes.OpenHandles(), 0) << row.name;
    ASSERT_EQ(rig.log.lines.size(), 1u) << row.name;
    if (row.logged.empty()) {
      EXPECT_TRUE(rig.processes.starts.empty()) << row.name;
      EXPECT_NE(rig.log.lines[0].find("-> refused bad-argument"), std::string::npos) << row.name;
      continue;
    }
    EXPECT_EQ(rig.log.lines[0], "process kill-tree " + row.logged) << row.name;
    ASSERT_EQ(rig.processes.starts.size(), 1u) << row.name;
    const auto& start = rig.processes.starts[0];
    EXPECT_EQ(start.commandLine, "\"C:\\windows\\system32\\taskkill.exe\" /T /F /IM \"my game.exe\"") << row.name;
    EXPECT_EQ(start.options.applicationName, "C:\\windows\\system32\\taskkill.exe") << row.name;
    EXPECT_FALSE(start.options.inheritHandles) << row.name;
    EXPECT_EQ(start.options.showWindow, platform::kSwHide) << row.name;
    if (!row.startError) {
      EXPECT_EQ(rig.processes.waits, std::vector<std::uint32_t>{10000}) << row.name;
    }
  }
}

}  // namespace
