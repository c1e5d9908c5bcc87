// The main window's supervision timers: the connected time, the service time counted
// down, the dialled link's check and the reconnect ticks.
#include "app/main/service_time.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "unit/app/main_window_rig.h"

namespace {

using maintest::Journal;
using maintest::MainWindow;
using maintest::RasTeardown;
using maintest::Then;
using platform::kSelf;

// The fake clock's local time is UTC+9; 1700000000 is 2023-11-15 07:13:20 local.
constexpr std::time_t kNow = 1700000000;

TEST(ServiceTime, EndInstant) {
  fakes::FakeClock clock(kNow);
  struct Row { const char* text; bool known; std::time_t end; };
  const Row rows[] = {
      {"2023-11-15 07:13:20", true, kNow},
      {"2023-11-16 07:13:20", true, kNow + 86400},
      {"2023-11-15 7:13:20", true, kNow},          // parts read as atoi reads them
      {"2023-11-15 07:13", true, kNow - 20},        // a missing part is 0
      {"1970-01-01 23:59:59", true, 14 * 3600 + 59 * 60 + 59},  // "no end date": long past
      {"2023-13-01 00:00:00", false, 0},
      {"2023-11-32 00:00:00", false, 0},
      {"2023-11-00 00:00:00", false, 0},
      {"2023-11-15 24:00:00", false, 0},
      {"2023-11-15 23:60:00", false, 0},
      {"1899-12-31 23:59:59", false, 0},
      {"", false, 0},
      {"garbage", false, 0},
  };
  for (const Row& r : rows) {
    std::time_t end = 0;
    EXPECT_EQ(app::ServiceEndInstant(r.text, clock, end), r.known) << r.text;
    if (r.known) {
      EXPECT_EQ(end, r.end) << r.text;
    }
  }
}

TEST(ServiceTime, ConnectedTimeText) {
  const std::pair<int, const char*> rows[] = {
      {0, "0:00:00"}, {59, "0:00:59"}, {61, "0:01:01"}, {3600, "1:00:00"}, {360000, "100:00:00"}};
  for (const auto& [seconds, text] : rows) EXPECT_EQ(app::ConnectedTimeText(seconds), text);
}

struct Connected : MainWindow {
  explicit Connected(const char* endDate, int vpnType = 1) {
    clock.Set(kNow);
    Init();
    record.serviceEndDate = endDate;
    if (vpnType == session::kVpnOpenVpn) {
      record.connState = 6;
      record.vpnType = vpnType;
      window.SetTimer(app::kTimerSupervise, 1000);
      window.SetTimer(app::kTimerServiceTime, 1000);
    } else {
      StartDial(vpnType);  // a real dial, up to "connected", arms the timers
      ReportConnected();
    }
    journal.clear();
  }
  // A tick of `timer`, as the window delivers it: only while the timer is armed.
  void Tick(unsigned timer = app::kTimerServiceTime) {
    if (window.timers().count(timer)) dlg->OnTimer(timer);
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& box : window.boxes()) texts.push_back(box.caption + ": " + box.text);
    return texts;
  }
};

TEST(ServiceTimeTick, ConnectedTimeRunsAndAFarEndSaysNothing) {
  Connected m("2023-11-20 00:00:00");
  m.Tick();
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_TIME), "0:00:00");  // the first tick shows zero
  m.Tick();
  m.Tick();
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_TIME), "0:00:02");
  EXPECT_EQ(m.host.account.control(IDC_ACCOUNT_TIME).redraws, 3);
  EXPECT_TRUE(m.window.boxes().empty());
  EXPECT_TRUE(m.journal.empty());
}

TEST(ServiceTimeTick, LessThanADayIsSaidOnce) {
  Connected m("2023-11-15 17:13:20");  // ten hours left
  // The flag is set before the box opens: a tick inside the box's loop says nothing.
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) { m.Tick(); };
  m.Tick();
  m.Tick();
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"결제정보: 서비스 제공 시간이 하루 이내 입니다. \n 추가로 이용시 결제 처리해 주세요"});
  EXPECT_EQ(m.record.connState, 6);
}

TEST(ServiceTimeTick, UnderFiveMinutesTheAccountIsRefreshedOnce) {
  Connected m("2023-11-15 07:16:20");  // three minutes left
  m.internet.ScriptEncoded("/ClientLogin/get_info.php", "xxxdate=2023-12-15 07:16:20|xxxtime=0");
  m.Tick();
  EXPECT_EQ(m.journal, Journal{"request /ClientLogin/get_info.php"});
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_END_DATE), "2023-12-15 07:16:20");  // raw, as sent
  m.Tick();  // a month left now: nothing more
  m.Tick();
  EXPECT_EQ(m.journal.size(), 1u);
  EXPECT_TRUE(m.window.boxes().empty());
}

TEST(ServiceTimeTick, TheEndOfServiceEndsTheTunnel) {
  struct Row { int vpnType; Journal teardown; };
  const Row rows[] = {
      {1, RasTeardown()},
      {4, {"stop openvpn", "event report", "remove openvpn files", "hook OUT_START", "hook OUT_STOP"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.vpnType);
    Connected m("2023-11-15 07:13:59", row.vpnType);  // under a minute: the end
    m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) { m.Tick(); };  // no second end
    m.Tick();
    EXPECT_EQ(m.journal, row.teardown);
    EXPECT_EQ(m.record.connState, 0);
    EXPECT_TRUE(m.window.timers().empty());
    EXPECT_EQ(m.Boxes(), std::vector<std::string>{"결제오류: CODE-001 : 서비스 제공이 종료 되었읍니다."});
    // Down without a logout notice, the panel still shows it.
    EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_STATUS), "사용하실 아이피를 선택후 더블클릭 해주세요");
    EXPECT_FALSE(m.host.account.IsVisible(IDC_ACCOUNT_CONNECT));
    ASSERT_EQ(m.shell.executed.size(), 1u);
    EXPECT_EQ(m.shell.executed[0].file, std::string("http://") + TUNRA_WEB_HOST + "/customer/faq.php");
  }
}

TEST(ServiceTimeTick, AnUnreadableEndDateEndsNothing) {
  for (const char* date : {"2023-13-45 99:99:99", "", "soon"}) {
    Connected m(date);
    m.Tick();
    EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_TIME), "0:00:00") << date;
    EXPECT_EQ(m.record.connState, 6) << date;
    EXPECT_TRUE(m.journal.empty()) << date;
    EXPECT_TRUE(m.window.boxes().empty()) << date;
  }
}

TEST(SupervisionTimer, ADroppedDialledLinkIsEndedOnce) {
  Connected m("2023-11-20 00:00:00", 3);
  m.Tick(app::kTimerSupervise);
  EXPECT_TRUE(m.journal.empty());  // the link is up: nothing done

  m.ras.DropLink();
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) { m.Tick(app::kTimerSupervise); };
  m.Tick(app::kTimerSupervise);
  EXPECT_EQ(m.journal, Then({"logout vpn"}, RasTeardown()));
  EXPECT_EQ(m.record.connState, 0);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"통신오류: CODE-022 : 서버에서 접속 종료 되었습니다"});
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_STATUS), "사용하실 아이피를 선택후 더블클릭 해주세요");
}

TEST(SupervisionTimer, TheDialledLinkIsNotAskedForAnOpenVpnTunnel) {
  Connected m("2023-11-20 00:00:00", 4);
  m.Tick(app::kTimerSupervise);
  EXPECT_TRUE(m.journal.empty());
  EXPECT_EQ(m.record.connState, 6);
}

TEST(ReconnectTimer, CountsAttemptsWhileNoTunnelIsUp) {
  Connected m("2023-11-20 00:00:00");
  m.dlg->reconnect().attempts = 2;
  m.window.SetTimer(app::kTimerReconnect, 10000);
  m.Tick(app::kTimerReconnect);  // connected: nothing
  EXPECT_EQ(m.dlg->reconnect().count, 0);
  m.record.connState = 0;
  for (int tick = 1; tick <= 3; ++tick) {
    m.Tick(app::kTimerReconnect);
    EXPECT_EQ(m.dlg->reconnect().count, tick);
    EXPECT_EQ(m.window.timers().at(app::kTimerReconnectWait), 20000u);
    EXPECT_EQ(m.window.timers().count(app::kTimerReconnect), tick <= 2 ? 1u : 0u) << tick;
  }
  m.Tick(app::kTimerReconnectWait);  // kills itself, nothing else
  EXPECT_EQ(m.window.timers().count(app::kTimerReconnectWait), 0u);
  EXPECT_EQ(m.dlg->reconnect().count, 3);
}

}  // namespace
