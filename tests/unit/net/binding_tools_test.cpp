#include "net/binding_tools.h"

#include <gtest/gtest.h>

#include "fakes/fake_processes.h"
#include "fakes/fake_system.h"
#include "unit/net/recording_log.h"

namespace {

const char* const kTap = "TAP-Win32 Adapter V9";
const char* const kFolder = "C:/Program Files/TUNRA";

class BindingToolsTest : public ::testing::Test {
 protected:
  fakes::FakeProcesses processes_;
  fakes::FakeSystem system_;  // Windows 7
  nettest::RecordingLog log_;
  net::CBindingTools tools_{processes_, system_, log_};
};

TEST_F(BindingToolsTest, EachToolRunsByItsFullPathHiddenWithQuotedArgumentsAndABoundedWait) {
  EXPECT_EQ(tools_.UnbindAdapterServices(kFolder, kTap), net::kBindingsDone);
  const char* const components[] = {"ms_msclient", "ms_server", "ms_lltdio",
                                    "ms_rspndr",   "ms_tcpip6", "ms_tcpip6_tunnel"};
  ASSERT_EQ(processes_.starts.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    const fakes::FakeProcesses::Start& start = processes_.starts[i];
    EXPECT_EQ(start.commandLine, std::string("\"C:\\Program Files\\TUNRA\\mgmt_2.exe\" /d \"TAP-Win32 Adapter V9\" ") +
                                     components[i]);
    EXPECT_EQ(start.options.applicationName, "C:\\Program Files\\TUNRA\\mgmt_2.exe");
    EXPECT_FALSE(start.options.inheritHandles);
    EXPECT_EQ(start.options.creationFlags, 0x30u);
    EXPECT_EQ(start.options.startupFlags, 0x101u);
    EXPECT_EQ(start.options.showWindow, platform::kSwHide);
  }
  EXPECT_EQ(processes_.waits, std::vector<std::uint32_t>(6, net::kBindingToolWaitMs));
  EXPECT_EQ(processes_.OpenHandles(), 0);
  EXPECT_EQ(log_.lines[0],
            "binding run \"'C:\\Program Files\\TUNRA\\mgmt_2.exe' /d 'TAP-Win32 Adapter V9' ms_msclient\" -> exit 0");
  EXPECT_EQ(log_.lines.back(), "binding tools \"TAP-Win32 Adapter V9\" -> 1");
}

TEST_F(BindingToolsTest, TheToolListFollowsTheWindowsVersion) {
  struct Case {
    bool readable;
    std::uint32_t platformId, major, minor;
    const char* tool;
    std::size_t commands;
  };
  const Case cases[] = {
      {true, 2, 6, 0, "mgmt_2.exe", 6},  // Vista
      {true, 2, 6, 2, "mgmt_2.exe", 6},  // 8 and later as a program without a supportedOS entry sees them
      {true, 2, 10, 0, "mgmt_2.exe", 6},
      {true, 2, 5, 1, "mgmt_1.exe", 2},  // XP
      {true, 2, 5, 2, "mgmt_1.exe", 2},  // XP x64, Server 2003
      {true, 1, 6, 0, "mgmt_1.exe", 2},  // not NT
      {false, 2, 6, 1, "mgmt_1.exe", 2},
  };
  for (const Case& c : cases) {
    platform::OsVersion version;
    version.platformId = c.platformId, version.major = c.major, version.minor = c.minor;
    const std::vector<net::BindingCommand> commands = net::BindingCommandsFor(c.readable, version);
    ASSERT_EQ(commands.size(), c.commands) << c.major << "." << c.minor;
    EXPECT_EQ(commands[0].tool, c.tool);
    EXPECT_EQ(commands[0].component, "ms_msclient");
    EXPECT_EQ(commands[1].component, "ms_server");
  }

  system_.version.major = 5;
  EXPECT_EQ(tools_.UnbindAdapterServices("C:\\TUNRA\\", kTap), net::kBindingsDone);
  ASSERT_EQ(processes_.starts.size(), 2u);
  EXPECT_EQ(processes_.starts[1].commandLine, "\"C:\\TUNRA\\mgmt_1.exe\" /d \"TAP-Win32 Adapter V9\" ms_server");
}

TEST_F(BindingToolsTest, AToolThatCannotStartOrDoesNotEndStopsTheRest) {
  processes_.startErrors["ms_lltdio"] = 2;  // the file is missing
  EXPECT_EQ(tools_.UnbindAdapterServices(kFolder, kTap), net::kBindingToolNotStarted);
  EXPECT_EQ(processes_.starts.size(), 3u);
  EXPECT_EQ(log_.Starting("binding run").back().substr(log_.Starting("binding run").back().rfind("->")),
            "-> not-started 2");

  processes_.starts.clear();
  processes_.startErrors.clear();
  processes_.waitResults["ms_server"] = platform::kWaitTimeout;
  processes_.exitCodes["ms_msclient"] = 1;  // no such binding: the others still run
  EXPECT_EQ(tools_.UnbindAdapterServices(kFolder, kTap), net::kBindingToolTimedOut);
  EXPECT_EQ(processes_.starts.size(), 2u);
  EXPECT_EQ(processes_.OpenHandles(), 0);
  const std::vector<std::string> runs = log_.Starting("binding run");
  EXPECT_NE(runs[runs.size() - 2].find("-> exit 1"), std::string::npos);
  EXPECT_NE(runs.back().find("-> timeout 15000"), std::string::npos);
  EXPECT_EQ(log_.lines.back(), "binding tools \"TAP-Win32 Adapter V9\" -> -2");
}

TEST_F(BindingToolsTest, ArgumentsThatCannotBeQuotedSafelyStartNothing) {
  struct Case {
    const char *folder, *adapter;
  };
  for (const Case& c : {Case{"", kTap}, Case{kFolder, "TAP\" & calc.exe & \""}, Case{kFolder, "TAP\nV9"},
                        Case{"C:/A\"B", kTap}})
    EXPECT_EQ(tools_.UnbindAdapterServices(c.folder, c.adapter), net::kBindingToolNotStarted) << c.folder << c.adapter;
  EXPECT_TRUE(processes_.starts.empty());
  EXPECT_NE(log_.lines.back().find("-> refused bad-argument"), std::string::npos);
}

}  // namespace
