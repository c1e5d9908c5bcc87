#include "app/startup/tunra_app.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_app_shell.h"
#include "fakes/fake_system.h"

namespace {

struct StartUp {
  session::SessionRecord record;
  fakes::FakeAppShell shell;
  fakes::FakeSystem system;
  bool ranMainWindow = false;

  bool Start(std::string_view branding) {
    app::CTunraApp theApp(record, shell, system);
    return theApp.InitInstance(branding, [this] {
      ranMainWindow = true;
      shell.calls.push_back("main window");
    });
  }
};

TEST(TunraApp, FirstInstanceSetsTheStartValuesAndRunsTheMainWindow) {
  StartUp run;
  run.system.windowsDirectory = "C:\\WINDOWS";
  EXPECT_FALSE(run.Start("acme^kim^pw^2299"));
  EXPECT_TRUE(run.ranMainWindow);
  const std::vector<std::string> expected = {"controls 255", "ole", "find Lumrex", "mutex Lumrex_Client_Program",
                                             "main window"};
  EXPECT_EQ(run.shell.calls, expected);
  EXPECT_EQ(run.record.clientCode, "acme");
  EXPECT_EQ(run.record.setupPageName, "acme_setup.php");
  EXPECT_EQ(run.record.windowsDir, "C:\\WINDOWS");
  EXPECT_EQ(run.record.clientVersion, 1185);
  EXPECT_EQ(run.record.requestHeaders.size(), 180u);
}

TEST(TunraApp, SecondInstanceAsksTheFirstToShowItselfAndEnds) {
  StartUp run;
  run.shell.firstWindow = 4242;
  run.shell.mutexExists = true;
  EXPECT_FALSE(run.Start(""));
  EXPECT_FALSE(run.ranMainWindow);
  EXPECT_EQ(run.shell.calls.back(), "send 4242 1324");
  EXPECT_EQ(run.record.clientCode, "tunra");  // the values are set before the check
}

TEST(TunraApp, SecondInstanceWithoutAVisibleFirstWindowStillEnds) {
  StartUp run;
  run.shell.mutexExists = true;
  run.Start("");
  EXPECT_FALSE(run.ranMainWindow);
  EXPECT_EQ(run.shell.calls.back(), "send 0 1324");  // goes nowhere, has no effect
}

TEST(TunraApp, NoMutexNoWindow) {
  StartUp run;
  run.shell.mutexFails = true;
  run.Start("");
  EXPECT_FALSE(run.ranMainWindow);
  EXPECT_EQ(run.shell.calls.back(), "mutex Lumrex_Client_Program");
}

}  // namespace
