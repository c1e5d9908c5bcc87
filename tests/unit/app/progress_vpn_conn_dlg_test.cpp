#include "app/progress/vpn_conn_dlg.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/progress/progress_paint.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_window.h"

namespace {


// The dialog over a window whose timers run on a fake clock; every tick's caption and
// position are kept in order.
struct ProgressDialog {
  explicit ProgressDialog(int loginDelay) {
    record.loginDelay = loginDelay;
    window.onTimer = [this](unsigned id) {
      dlg.OnTimer(id);
      captions.push_back(dlg.bar().caption);
      positions.push_back(dlg.bar().position);
    };
    dlg.OnInitDialog();
  }
  void Run(std::uint64_t ms) { clock.Advance(ms); }
  const fakes::FakeWindow::Control& bar() { return window.control(IDC_PROGRESS_BAR); }

  session::SessionRecord record;
  fakes::FakeClock clock;
  fakes::FakeWindow window{&clock};
  app::CVpnConnDlg dlg{record, window};
  std::vector<std::string> captions;
  std::vector<int> positions;
};

TEST(VpnConnDlg, ResetSetsTheRangeFromTheLoginDelay) {
  // Below 10 seconds (negative included) the bar runs as for 10: the tick divides by
  // a tenth of the duration. Huge values stay within an int when multiplied by 10.
  struct Row { int loginDelay; int high; int animTick; };
  const Row rows[] = {
      {30, 300, 3}, {60, 600, 6}, {10, 100, 1}, {9, 100, 1}, {5, 100, 1}, {0, 100, 1}, {-25, 100, 1},
      {1000, 10000, 100}, {INT_MAX, INT_MAX / 10 * 10, INT_MAX / 100},
  };
  for (const Row& row : rows) {
    ProgressDialog p(row.loginDelay);
    p.window.ProgressSetPos(IDC_PROGRESS_BAR, 77);
    p.dlg.ResetProgress();
    EXPECT_EQ(p.bar().rangeLow, 0) << row.loginDelay;
    EXPECT_EQ(p.bar().rangeHigh, row.high) << row.loginDelay;
    EXPECT_EQ(p.dlg.bar().maxValue, row.high) << row.loginDelay;
    EXPECT_EQ(p.dlg.animTick(), row.animTick) << row.loginDelay;
    EXPECT_EQ(p.bar().pos, 0) << row.loginDelay;
    EXPECT_EQ(p.bar().text, " Please wait... ") << row.loginDelay;
  }
}

TEST(VpnConnDlg, ThirtySecondsRunFromOnePercentAndStartOver) {
  ProgressDialog p(30);
  p.dlg.ResetProgress();
  EXPECT_EQ(p.dlg.StartProgress(), 0);
  EXPECT_EQ(p.window.GetText(IDC_PROGRESS_STATUS), "접속중....");
  EXPECT_EQ(p.window.timers().at(1), 100u);

  p.Run(30000);  // one run: 300 ticks
  ASSERT_EQ(p.captions.size(), 300u);
  EXPECT_EQ(p.captions[0], "  1 %");
  EXPECT_EQ(p.positions[0], 3);
  EXPECT_EQ(p.captions[296], " 99 %");  // the last of the first run: 299 / 3
  EXPECT_EQ(p.positions[296], 299);
  EXPECT_EQ(p.captions[297], "  0 %");  // starts over
  EXPECT_EQ(p.positions[297], 0);
  EXPECT_EQ(p.captions[299], "  0 %");  // 2 / 3
  EXPECT_EQ(p.bar().pos, 2);
  // The whole dialog is redrawn on every second tick.
  EXPECT_EQ(p.window.control(platform::kSelf).redraws, 150);
}

TEST(VpnConnDlg, SixtySecondsMakeOneRunOfSixtySeconds) {
  ProgressDialog p(60);
  p.dlg.ResetProgress();
  p.dlg.StartProgress();
  p.Run(120000);
  std::vector<std::size_t> restarts;
  for (std::size_t i = 0; i < p.positions.size(); ++i)
    if (p.positions[i] == 0) restarts.push_back(i);
  ASSERT_EQ(restarts.size(), 2u);
  EXPECT_EQ(restarts[1] - restarts[0], 600u);
  EXPECT_EQ(p.positions[restarts[0] - 1], 599);
  EXPECT_EQ(p.captions[restarts[0] - 1], " 99 %");
}

TEST(VpnConnDlg, LoginDelaysBelowTenAnimateWithoutDividingByZero) {
  for (int delay : {9, 1, 0, -3}) {
    ProgressDialog p(delay);
    p.dlg.ResetProgress();
    p.dlg.StartProgress();
    p.Run(10000);  // one run of 10 seconds: a percent per tick
    ASSERT_EQ(p.captions.size(), 100u) << delay;
    EXPECT_EQ(p.captions[0], "  1 %") << delay;
    EXPECT_EQ(p.captions[98], " 99 %") << delay;
    EXPECT_EQ(p.captions[99], "  0 %") << delay;
  }
}

TEST(VpnConnDlg, ADurationChangedWhileRunningIsTakenAtTheNextTick) {
  // The login reply may set the delay after the bar was reset: to 0 (no division by
  // zero), or shorter than where the bar stands (it starts over instead of climbing).
  ProgressDialog p(60);
  p.dlg.ResetProgress();
  p.dlg.StartProgress();
  p.Run(40000);
  EXPECT_EQ(p.positions.back(), 405);
  p.record.loginDelay = 30;
  p.Run(100);
  EXPECT_EQ(p.positions.back(), 0);
  EXPECT_EQ(p.captions.back(), "  0 %");
  p.Run(5000);
  p.record.loginDelay = 0;  // the run is now 100 ticks; the bar stands at 50
  p.Run(100);
  EXPECT_EQ(p.captions.back(), " 51 %");
}

TEST(VpnConnDlg, StopEndsTheAnimation) {
  ProgressDialog p(30);
  p.dlg.ResetProgress();
  p.dlg.StartProgress();
  p.Run(1000);
  EXPECT_EQ(p.dlg.StopProgress(), 0);
  EXPECT_TRUE(p.window.timers().empty());
  EXPECT_EQ(p.bar().pos, 0);
  EXPECT_EQ(p.bar().text, " Please wait... ");
  p.Run(5000);
  EXPECT_EQ(p.captions.size(), 10u);  // no tick after the stop
}

TEST(VpnConnDlg, DialStepsAdvanceTheBarOnlyWithinTheDurationInThousands) {
  struct Step { int step; const char* caption; int position; int animTickAfter; };
  struct Case { int loginDelay; std::vector<Step> steps; };
  const Case cases[] = {
      // Below 1,000 seconds only step 0 moves the bar; later steps change the text.
      {30, {{0, "  0 %", 3, 4}, {1, "  0 %", 3, 4}, {2, "  0 %", 3, 4}}},
      {5, {{0, "  0 %", 1, 2}, {1, "  0 %", 1, 2}}},
      // 3,000 seconds: n = 3, the caption shows n x step for steps 0 to 3; the tick
      // counter starts at 300 and each of those steps moves the bar to it.
      {3000, {{0, "  0 %", 300, 301}, {1, "  3 %", 301, 302}, {3, "  9 %", 302, 303}, {4, "  9 %", 302, 303}}},
  };
  for (const Case& c : cases) {
    ProgressDialog p(c.loginDelay);
    p.dlg.ResetProgress();
    for (const Step& s : c.steps) {
      const std::string text = "step " + std::to_string(s.step);
      p.dlg.ShowDialStep(text, s.step);
      EXPECT_EQ(p.window.GetText(IDC_PROGRESS_STATUS), text) << c.loginDelay;
      EXPECT_EQ(p.bar().text, s.caption) << c.loginDelay << " step " << s.step;
      EXPECT_EQ(p.bar().pos, s.position) << c.loginDelay << " step " << s.step;
      EXPECT_EQ(p.dlg.animTick(), s.animTickAfter) << c.loginDelay << " step " << s.step;
    }
  }
}

TEST(VpnConnDlg, APositionOutsideTheRangeKeepsTheBarWhereItIs) {
  ProgressDialog p(30);
  p.dlg.ResetProgress();
  p.dlg.StartProgress();
  p.Run(500);
  const int redraws = p.bar().redraws;
  for (int i = 0; i < 400; ++i) p.dlg.ShowDialStep("x", 0);  // pushes the counter past 300
  EXPECT_EQ(p.bar().pos, 300);
  EXPECT_GT(p.dlg.animTick(), 300);
  EXPECT_EQ(p.bar().redraws, redraws + 293);  // only the in-range positions redraw
  p.Run(100);  // the tick starts over
  EXPECT_EQ(p.positions.back(), 0);
}

// The two-colour bar: how many pixels are filled, and so where the caption's colour
// changes.
TEST(ProgressPaint, FilledWidth) {
  struct Row { int position, minValue, maxValue, width, filled; };
  const Row rows[] = {
      {37, 0, 100, 200, 74},    // the caption changes colour at column 74
      {0, 0, 100, 200, 0},      // at the minimum nothing is filled
      {100, 0, 100, 200, 200},  // at the maximum all of it: the caption in one colour
      {1, 0, 300, 151, 0},      // truncated toward zero
      {299, 0, 300, 151, 150},
      {150, 0, 300, 151, 75},
      {50, 50, 50, 200, 0},     // an empty range fills nothing instead of dividing by zero
      {400, 0, 300, 151, 151},  // outside the range: clamped to the bar
      {-5, 0, 300, 151, 0},
      {50, 100, 0, 200, 0},                  // a reversed range fills nothing either
      {INT_MAX, INT_MIN, INT_MAX, 200, 200},  // the widest range: no overflow
      {0, INT_MIN, INT_MAX, 200, 100},
  };
  for (const Row& r : rows)
    EXPECT_EQ(app::ProgressFillWidth(r.position, r.minValue, r.maxValue, r.width), r.filled)
        << r.position << " of " << r.minValue << ".." << r.maxValue << " on " << r.width;
}

}  // namespace
