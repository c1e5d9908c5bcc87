#include "app/tray/tray_icon.h"

#include <gtest/gtest.h>

#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"

namespace {

TEST(TrayIcon, CreateFailsOnAnOldShellWithoutAnOwnerOrWhenRefused) {
  struct Row { unsigned major; platform::WindowHandle owner; bool refuse; int result; };
  const Row rows[] = {
      {6, 0x100, false, 1},
      {3, 0x100, false, 0},  // shell older than version 4
      {6, 0, false, 0},      // no owner window
      {6, 0x100, true, 0},   // NIM_ADD refused
      {6, 0xDEAD, false, 0}, // a handle that names no window (any more)
  };
  for (const Row& r : rows) {
    fakes::FakeShell shell;
    fakes::FakeSystem system;
    system.version.major = r.major;
    shell.failNotify = r.refuse;
    shell.destroyedWindow = 0xDEAD;
    app::CTrayIcon tray(shell, system);
    EXPECT_EQ(tray.Create(r.owner), r.result) << r.major << " " << r.owner << " " << r.refuse;
    EXPECT_EQ(tray.iconValid(), r.result == 1);
    EXPECT_EQ(shell.notified.empty(), r.result == 0 && !r.refuse);  // checked before asking the shell
    if (r.result == 0) {
      // Without an icon, later calls do nothing and answer 0.
      const std::size_t calls = shell.notified.size();
      EXPECT_EQ(tray.SetIcon(213), 0);
      tray.Remove();
      EXPECT_EQ(shell.notified.size(), calls);
    }
  }
}

TEST(TrayIcon, AddModifyAndRemove) {
  fakes::FakeShell shell;
  fakes::FakeSystem system;
  {
    app::CTrayIcon tray(shell, system);
    ASSERT_EQ(tray.Create(0x100), 1);
    const platform::NotifyIconData& added = shell.notified[0].data;
    EXPECT_EQ(added.flags, 7u);  // message, icon, tip
    EXPECT_EQ(added.id, 129u);
    EXPECT_EQ(added.callbackMessage, 1012u);
    EXPECT_EQ(added.tip, " TUNRA 매니저 ");
    EXPECT_EQ(tray.SetIcon(214), 1);
    EXPECT_EQ(shell.notified.back().message, platform::kNimModify);
    EXPECT_EQ(shell.notified.back().data.flags, platform::kNifIcon);
    EXPECT_EQ(shell.loadedIcons.back(), 214);
    EXPECT_TRUE(shell.iconShown);
  }
  // The destructor removes the icon.
  EXPECT_EQ(shell.notified.back().message, platform::kNimDelete);
  EXPECT_EQ(shell.notified.back().data.flags, 0u);
  EXPECT_FALSE(shell.iconShown);
}

}  // namespace
