// The fakes that other tests rely on for time and windows.
#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_window.h"

namespace {

TEST(FakeClockTest, TimersTickInTimeOrderAsTheClockAdvances) {
  fakes::FakeClock clock(1000);
  fakes::FakeWindow window(&clock);
  std::vector<std::pair<std::uint64_t, unsigned>> ticks;
  window.onTimer = [&](unsigned id) {
    ticks.emplace_back(clock.timers.NowMs(), id);
    if (id == 13) window.KillTimer(13);  // one-shot, as the handler does it
  };
  window.SetTimer(1, 1000);
  window.SetTimer(13, 2500);
  clock.Advance(3000);
  EXPECT_EQ(ticks, (std::vector<std::pair<std::uint64_t, unsigned>>{
                       {1000, 1}, {2000, 1}, {2500, 13}, {3000, 1}}));
  EXPECT_EQ(clock.Now(), 1003);
  EXPECT_EQ(window.timers(), (std::map<unsigned, unsigned>{{1, 1000}}));
}

TEST(FakeClockTest, ArmingARunningTimerRestartsItsPeriod) {
  fakes::FakeClock clock;
  fakes::FakeWindow window(&clock);
  int ticks = 0;
  window.onTimer = [&](unsigned) { ++ticks; };
  window.SetTimer(1, 1000);
  clock.Advance(900);
  window.SetTimer(1, 1000);
  clock.Advance(900);
  EXPECT_EQ(ticks, 0);
  clock.Advance(100);
  EXPECT_EQ(ticks, 1);
}

TEST(FakeClockTest, LocalTimeAppliesTheOffset) {
  struct Case {
    std::time_t t;
    long offset;
    int year, mon, mday, hour, min, sec, wday, yday;
  };
  const Case cases[] = {
      {1700000000, 9 * 3600, 2023, 10, 15, 7, 13, 20, 3, 318},
      {0, 0, 1970, 0, 1, 0, 0, 0, 4, 0},
      {951782400, 0, 2000, 1, 29, 0, 0, 0, 2, 59},  // leap day
      {1709251199, 0, 2024, 1, 29, 23, 59, 59, 4, 59},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    fakes::FakeClock clock(c.t, c.offset);
    std::tm tm{};
    ASSERT_TRUE(clock.LocalTime(c.t, tm));
    EXPECT_EQ(tm.tm_year + 1900, c.year);
    EXPECT_EQ(tm.tm_mon, c.mon);
    EXPECT_EQ(tm.tm_mday, c.mday);
    EXPECT_EQ(tm.tm_hour, c.hour);
    EXPECT_EQ(tm.tm_min, c.min);
    EXPECT_EQ(tm.tm_sec, c.sec);
    EXPECT_EQ(tm.tm_wday, c.wday);
    EXPECT_EQ(tm.tm_yday, c.yday);
  }
}

TEST(FakeWindowTest, MessageBoxesAnswerFromTheScriptThenOk) {
  fakes::FakeWindow window;
  window.AnswerNextBoxes({platform::kIdNo, platform::kIdYes});
  EXPECT_EQ(window.MessageBox("q1", "c", platform::kMbYesNo), platform::kIdNo);
  EXPECT_EQ(window.MessageBox("q2", "c", platform::kMbYesNo), platform::kIdYes);
  EXPECT_EQ(window.MessageBox("i", "c", platform::kMbOk), platform::kIdOk);
  ASSERT_EQ(window.boxes().size(), 3u);
  EXPECT_EQ(window.boxes()[1].text, "q2");
  EXPECT_EQ(window.boxes()[2].answer, platform::kIdOk);
}

TEST(FakeWindowTest, ListSelectionFollowsDeletedRows) {
  fakes::FakeWindow window;
  for (const char* ip : {"a", "b", "c"}) window.ListInsertRow(7, 99, {ip, "x"});
  window.ListSelect(7, 2);
  window.ListDeleteRow(7, 0);
  EXPECT_EQ(window.ListSelected(7), 1);
  EXPECT_EQ(window.ListGetText(7, 1, 0), "c");
  window.ListDeleteRow(7, 1);
  EXPECT_EQ(window.ListSelected(7), -1);
  EXPECT_EQ(window.ListGetText(7, 5, 0), "");
}

TEST(FakeShellTest, TrayIconFollowsAcceptedCalls) {
  fakes::FakeShell shell;
  platform::NotifyIconData data;
  data.id = 129;
  data.flags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
  data.tip = "tip";
  EXPECT_FALSE(shell.NotifyIcon(platform::kNimModify, data));  // nothing to modify yet
  EXPECT_TRUE(shell.NotifyIcon(platform::kNimAdd, data));
  data.flags = platform::kNifIcon;
  data.icon = shell.LoadIcon(214);
  data.tip = "ignored";
  EXPECT_TRUE(shell.NotifyIcon(platform::kNimModify, data));
  EXPECT_EQ(shell.current.icon, shell.LoadIcon(214));
  EXPECT_EQ(shell.current.tip, "tip");
  EXPECT_TRUE(shell.NotifyIcon(platform::kNimDelete, data));
  EXPECT_FALSE(shell.iconShown);

  shell.failNotify = true;
  EXPECT_FALSE(shell.NotifyIcon(platform::kNimAdd, data));
  EXPECT_EQ(shell.notified.size(), 5u);
}

}  // namespace
