// Messages raised by the main window's timers while another program runs full screen:
// the box waits (a balloon says it at once), the teardown does not, and the boxes
// follow in order, with what comes after them, when the full screen ends.
#include "app/main/timer_notices.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/texts.h"
#include "protocol/logout.h"
#include "unit/app/main_window_rig.h"

namespace {

using maintest::MainWindow;

// The fake clock's local time is UTC+9; 1700000000 is 2023-11-15 07:13:20 local.
constexpr std::time_t kNow = 1700000000;

enum class Notice { kLinkLost, kServiceOver, kDayLeft, kOpenVpnAdapter };

struct Rig : MainWindow {
  explicit Rig(Notice notice) : notice_(notice) {
    clock.Set(kNow);
    Init();
    if (notice == Notice::kOpenVpnAdapter) {
      record.vpnType = session::kVpnOpenVpn;
      record.serverIp = "192.0.2.10";
      record.userId = "gamer";
      record.password = "secret";
      record.certUrl = "http://127.0.0.1/certs/tunra_ca.crt";
      record.certFileName = "tunra_ca.crt";
      record.certVersion = 1002;
      record.connState = session::kConnIpChosen;
      record.loginDelay = 30;
      files.Put(record.programDir + "/crtver.ini", "1002\r\n");
      files.Put(record.programDir + "/tunra_ca.crt", "certificate");
      dlg->StartTunnel();
      tunnel.statuses = std::vector<int>(31, -100);
      tunnel.statuses.push_back(-13);  // no adapter after the time allowed
    } else {
      record.serviceEndDate = notice == Notice::kServiceOver ? "2023-11-15 07:13:59"   // under a minute
                              : notice == Notice::kDayLeft   ? "2023-11-15 17:13:20"   // ten hours
                                                             : "2023-11-20 00:00:00";  // far
      StartDial();
      ReportConnected();
    }
    journal.clear();
  }
  // What the timers do until the notice is raised.
  void Raise() {
    switch (notice_) {
      case Notice::kLinkLost:
        ras.DropLink();
        Tick(app::kTimerSupervise);
        break;
      case Notice::kServiceOver:
      case Notice::kDayLeft:
        Tick(app::kTimerServiceTime);
        break;
      case Notice::kOpenVpnAdapter:
        for (int i = 0; i < 32; ++i) Tick(app::kTimerSupervise);
        break;
    }
  }
  // A tick of `timer`, as the window delivers it: only while the timer is armed.
  void Tick(unsigned timer) {
    if (window.timers().count(timer)) dlg->OnTimer(timer);
  }
  bool Polling() { return window.timers().count(app::kTimerNotices) != 0; }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& box : window.boxes()) texts.push_back(box.caption);
    return texts;
  }
  // Something follows the answered box: the help page, or the adapter's installer.
  bool HasAfter() const { return notice_ == Notice::kServiceOver || notice_ == Notice::kOpenVpnAdapter; }
  bool AfterDone() {
    if (notice_ == Notice::kServiceOver) return !shell.executed.empty();
    if (notice_ == Notice::kOpenVpnAdapter)
      return !journal.empty() && journal.back() == "adapter installer";
    return true;
  }
  void SetQuiet(int state, bool foreground) {
    shell.notificationState = state;
    shell.foregroundFullScreen = foreground;
  }

 private:
  Notice notice_;
};

struct NoticeRow {
  const char* name;
  Notice notice;
  const char* caption;
  const char* balloonText;  // nullptr: no balloon
};

const NoticeRow kNotices[] = {
    {"link lost", Notice::kLinkLost, "통신오류", "CODE-022 : 서버에서 접속 종료 되었습니다"},
    {"service over", Notice::kServiceOver, "결제오류", "CODE-001 : 서비스 제공이 종료 되었읍니다."},
    {"day left", Notice::kDayLeft, "결제정보", nullptr},
    {"openvpn adapter", Notice::kOpenVpnAdapter, "네트워크 장치 생성 오류", nullptr /* set below */},
};

TEST(TimerNotices, QuietOrNotForEveryNotice) {
  struct Source {
    const char* name;
    int state;
    bool foreground;
    bool quiet;
  };
  const Source sources[] = {
      {"accepts notifications", platform::kQunsAcceptsNotifications, false, false},
      {"no answer (before Vista)", platform::kQunsNone, false, false},
      {"not present (locked)", platform::kQunsNotPresent, false, false},
      {"quiet time", 6, false, false},
      {"busy", platform::kQunsBusy, false, true},
      {"Direct3D full screen", platform::kQunsRunningD3dFullScreen, false, true},
      {"presentation mode", platform::kQunsPresentationMode, false, true},
      {"a window covers its monitor", platform::kQunsAcceptsNotifications, true, true},
  };
  for (const NoticeRow& n : kNotices) {
    for (const Source& s : sources) {
      SCOPED_TRACE(std::string(n.name) + " / " + s.name);
      Rig m(n.notice);
      m.SetQuiet(s.state, s.foreground);
      m.Raise();
      // The tunnel is down at once, whether the box waits or not.
      if (n.notice != Notice::kDayLeft) {
        EXPECT_EQ(m.record.connState, session::kConnIdle);
      }
      EXPECT_EQ(m.shell.foregroundAskedFor, s.state == platform::kQunsBusy || s.state == 3 || s.state == 4
                                                ? platform::WindowHandle{0}
                                                : m.window.handle);
      if (!s.quiet) {
        EXPECT_EQ(m.Boxes(), std::vector<std::string>{n.caption});
        EXPECT_TRUE(m.AfterDone());
        EXPECT_TRUE(m.shell.balloons.empty());
        EXPECT_FALSE(m.Polling());
        continue;
      }
      EXPECT_TRUE(m.Boxes().empty());
      if (m.HasAfter()) {
        EXPECT_FALSE(m.AfterDone());  // the page or the installer waits with its box
      }
      if (n.notice == Notice::kDayLeft) {
        EXPECT_TRUE(m.shell.balloons.empty());
      } else {
        ASSERT_EQ(m.shell.balloons.size(), 1u);
        EXPECT_EQ(m.shell.balloons[0].infoTitle, n.caption);
        EXPECT_EQ(m.shell.balloons[0].infoFlags, platform::kNiifWarning);
        if (n.balloonText) {
          EXPECT_EQ(m.shell.balloons[0].info, n.balloonText);
        }
      }
      ASSERT_TRUE(m.Polling());
      m.Tick(app::kTimerNotices);  // still in the game
      EXPECT_TRUE(m.Boxes().empty());
      m.SetQuiet(platform::kQunsAcceptsNotifications, false);
      m.Tick(app::kTimerNotices);
      EXPECT_EQ(m.Boxes(), std::vector<std::string>{n.caption});
      EXPECT_TRUE(m.AfterDone());
      EXPECT_FALSE(m.Polling());
    }
  }
}

TEST(TimerNotices, TheAdapterBalloonHasNoLineBreak) {
  Rig m(Notice::kOpenVpnAdapter);
  m.SetQuiet(platform::kQunsBusy, false);
  m.Raise();
  ASSERT_EQ(m.shell.balloons.size(), 1u);
  EXPECT_EQ(m.shell.balloons[0].info.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(m.shell.balloons[0].info, app::BalloonField(app::kAdapterErrorText, 255));
}

TEST(TimerNotices, WaitingBoxesKeepTheirOrder) {
  Rig m(Notice::kDayLeft);
  m.SetQuiet(platform::kQunsBusy, false);
  m.Raise();           // the day notice waits
  m.SetQuiet(platform::kQunsAcceptsNotifications, false);
  m.ras.DropLink();    // the game ended, but the poll has not come yet:
  m.Tick(app::kTimerSupervise);
  EXPECT_TRUE(m.Boxes().empty());  // the link's box waits behind the day notice
  // A poll tick inside the first box's loop opens no second box over it.
  std::vector<std::size_t> openWhileAnswering;
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) {
    m.Tick(app::kTimerNotices);
    openWhileAnswering.push_back(m.window.boxes().size());
  };
  m.Tick(app::kTimerNotices);
  EXPECT_EQ(m.Boxes(), (std::vector<std::string>{"결제정보", "통신오류"}));
  EXPECT_EQ(openWhileAnswering, (std::vector<std::size_t>{1, 2}));
  EXPECT_FALSE(m.Polling());
}

TEST(TimerNotices, AGameBackInFrontBetweenTwoBoxesHoldsTheRest) {
  Rig m(Notice::kDayLeft);
  m.SetQuiet(platform::kQunsBusy, false);
  m.Raise();
  m.ras.DropLink();
  m.Tick(app::kTimerSupervise);
  m.SetQuiet(platform::kQunsAcceptsNotifications, false);
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) { m.SetQuiet(platform::kQunsBusy, false); };
  m.Tick(app::kTimerNotices);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"결제정보"});
  EXPECT_TRUE(m.Polling());
  m.SetQuiet(platform::kQunsAcceptsNotifications, false);
  m.window.onMessageBox = nullptr;
  m.Tick(app::kTimerNotices);
  EXPECT_EQ(m.Boxes(), (std::vector<std::string>{"결제정보", "통신오류"}));
}

TEST(TimerNotices, TheUsersLogoutOrTheEndDropsWaitingNotices) {
  const std::pair<const char*, std::function<void(Rig&)>> ends[] = {
      {"logout", [](Rig& m) { m.dlg->SendLogout(protocol::kLogoutByUser); }},
      {"window closed", [](Rig& m) { m.dlg->OnClose(); }},
  };
  for (const auto& [name, end] : ends) {
    SCOPED_TRACE(name);
    Rig m(Notice::kServiceOver);
    m.SetQuiet(platform::kQunsBusy, false);
    m.Raise();
    end(m);
    EXPECT_FALSE(m.Polling());
    EXPECT_EQ(m.dlg->notices().waiting(), 0u);
    m.SetQuiet(platform::kQunsAcceptsNotifications, false);
    m.dlg->OnTimer(app::kTimerNotices);  // a late tick
    EXPECT_TRUE(m.Boxes().empty());
    EXPECT_TRUE(m.shell.executed.empty());  // no help page of a dropped notice
  }
}

TEST(TimerNotices, AProgramEndedWhileAWaitingBoxIsOpenOpensNoPageAfterIt) {
  Rig m(Notice::kServiceOver);
  m.SetQuiet(platform::kQunsBusy, false);
  m.Raise();
  m.SetQuiet(platform::kQunsAcceptsNotifications, false);
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) { m.dlg->OnClose(); };  // the tray's exit
  m.Tick(app::kTimerNotices);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"결제오류"});
  EXPECT_TRUE(m.shell.executed.empty());
}

TEST(TimerNotices, WithoutATrayIconTheBoxStillWaits) {
  Rig m(Notice::kLinkLost);
  m.shell.failNotify = true;
  m.dlg->tray().Remove();
  m.SetQuiet(platform::kQunsBusy, false);
  m.Raise();
  EXPECT_TRUE(m.shell.balloons.empty());
  EXPECT_TRUE(m.Boxes().empty());
  m.SetQuiet(platform::kQunsAcceptsNotifications, false);
  m.Tick(app::kTimerNotices);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"통신오류"});
}

TEST(BalloonField, BreaksBecomeBlanksAndCutsKeepWholeCharacters) {
  const std::string han = "가";  // two bytes in code page 949
  struct Row {
    std::string text;
    std::size_t max;
    std::string field;
  };
  const Row rows[] = {
      {"a\r\nb\nc\rd", 255, "a b c d"},
      {"하루 이내 입니다. \n 추가로", 255, "하루 이내 입니다.   추가로"},
      {std::string(300, 'x'), 255, std::string(255, 'x')},
      // 63 characters of two bytes each: the limit counts characters, not bytes.
      {[&] { std::string s; for (int i = 0; i < 70; ++i) s += han; return s; }(), 63,
       [&] { std::string s; for (int i = 0; i < 63; ++i) s += han; return s; }()},
      {"ab" + han, 3, "ab" + han},
      {"abc" + han, 3, "abc"},
      {"ab\xB0", 255, "ab\xB0"},  // a lead byte at the end stays one character
      {"", 63, ""},
  };
  for (const Row& r : rows) EXPECT_EQ(app::BalloonField(r.text, r.max), r.field) << r.text;
}

}  // namespace
