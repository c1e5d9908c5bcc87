// The tunnel start and the dialled tunnel's notifications: what a start asks of the
// dialer and the peers, the end of a dial in success and failure, and the guards
// against a second start, late notifications and a kind the program cannot start.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/diag_log_file.h"
#include "unit/app/main_window_rig.h"

namespace {

using maintest::Journal;
using maintest::MainWindow;
using platform::kSelf;

struct Dial : MainWindow {
  Dial() {
    Init();
    journal.clear();
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& box : window.boxes()) texts.push_back(box.caption + ": " + box.text);
    return texts;
  }
  const std::string& Phonebook() { return dlg->state().phonebookPath; }
};

TEST(TunnelStart, ADialledTunnelComesUpThroughEveryNotification) {
  for (int vpnType : {1, 3}) {
    SCOPED_TRACE(vpnType);
    Dial m;
    m.record.serviceEndDate = "2024-03-05 23:59:59";
    m.record.myGame = "raid";
    ASSERT_EQ(m.StartDial(vpnType), 1);
    EXPECT_EQ(m.journal, (Journal{"hook IN_STOP", "dial Vexo_Conn 192.0.2.10 gamer"}));
    EXPECT_EQ(m.record.connState, session::kConnConnecting);
    EXPECT_TRUE(m.host.vpnConn.IsVisible(kSelf));
    EXPECT_EQ(m.ras.dialledPhonebook, m.Phonebook());
    EXPECT_TRUE(m.files.Exists(m.Phonebook()));
    EXPECT_EQ(m.dlg->rasConfig().Value("VpnStrategy"), vpnType == 1 ? "1" : "3");
    // The dial is in the diagnostics log beside the program, without the password.
    const std::string log = m.files.Get(net::DiagLogPath(m.record.programDir));
    EXPECT_NE(log.find("ras dial entry=Vexo_Conn phone=192.0.2.10 user=gamer"), std::string::npos) << log;
    EXPECT_EQ(log.find("secret"), std::string::npos) << log;

    m.ras.Report(0);
    EXPECT_EQ(m.host.vpnConn.GetText(IDC_PROGRESS_STATUS), "통신포트 여는중...");
    m.ReportConnected();
    EXPECT_EQ(m.record.connState, session::kConnConnected);
    EXPECT_FALSE(m.files.Exists(m.Phonebook()));  // no phonebook once the link is up
    EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf));
    EXPECT_EQ(m.dlg->state().dialStep, 0);
    EXPECT_EQ(m.window.timers().at(app::kTimerSupervise), 1000u);
    EXPECT_EQ(m.window.timers().at(app::kTimerServiceTime), 1000u);
    EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_STATUS), "10.20.30.40");
    EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_END_DATE), "2024년 03월 05일");
    EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_GAME), "raid");
    EXPECT_TRUE(m.host.account.IsVisible(IDC_ACCOUNT_CONNECT));
    EXPECT_EQ(m.journal.back(), "hook IN_START");
    EXPECT_TRUE(m.window.boxes().empty());
  }
}

TEST(TunnelStart, OneClickIpChangeAsksForTheChosenIpOnceUp) {
  Dial m;
  m.record.ipChangeType = 1;
  m.record.ipCode = "c7";
  m.StartDial();
  m.ReportConnected();
  EXPECT_EQ(m.journal, (Journal{"hook IN_STOP", "dial Vexo_Conn 192.0.2.10 gamer",
                                "request /ClientLogin/socket_change.php", "hook IN_START"}));
  EXPECT_NE(m.internet.requests().back().Params().find("ip_code=c7"), std::string::npos);
}

TEST(TunnelStart, AFailedDialEndsTheAttempt) {
  struct Row {
    const char* name;
    std::uint32_t state, error;
    const char* box;
  };
  const Row rows[] = {
      {"error while authenticating", 5, 691, "장애정보: error 691"},
      {"an error wins over the done bit", platform::kRasConnected, 691, "장애정보: error 691"},
      {"disconnected is not connected", platform::kRasDisconnected, 0, "장애정보: 접속해제"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Dial m;
    m.StartDial();
    m.ras.Report(0);
    m.journal.clear();
    m.ras.Report(row.state, row.error);
    EXPECT_EQ(m.journal, Journal{"hang up"});  // no hooks: the tunnel never came up
    EXPECT_EQ(m.record.connState, session::kConnIdle);
    EXPECT_EQ(m.Boxes(), std::vector<std::string>{row.box});
    EXPECT_EQ(m.host.login.focus(), IDC_LOGIN_USER);
    EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf));
    EXPECT_FALSE(m.files.Exists(m.Phonebook()));
    EXPECT_TRUE(m.window.timers().empty());

    // The dialer's late word on the ended attempt changes nothing.
    m.ras.Report(platform::kRasConnected);
    EXPECT_EQ(m.record.connState, session::kConnIdle);
    EXPECT_EQ(m.window.boxes().size(), 1u);
  }
}

TEST(TunnelStart, ARefusedDialIsShownAndUndone) {
  Dial m;
  m.ras.refuse = 623;
  EXPECT_EQ(m.StartDial(), -1);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"tunra: <<623>> : error 623"});
  EXPECT_EQ(m.record.connState, session::kConnIdle);
  // The refused dial left no handle: nothing to hang up.
  EXPECT_EQ(m.journal, (Journal{"hook IN_STOP", "dial Vexo_Conn 192.0.2.10 gamer", "hook OUT_START", "hook OUT_STOP"}));
  EXPECT_FALSE(m.files.Exists(m.Phonebook()));
}

TEST(TunnelStart, NoSecondStartWhileOneIsStartingOrUp) {
  Dial m;
  m.StartDial();
  m.journal.clear();
  EXPECT_EQ(m.dlg->StartTunnel(), 1);  // connecting
  m.ReportConnected();
  m.journal.clear();
  EXPECT_EQ(m.dlg->StartTunnel(), 1);  // connected
  EXPECT_TRUE(m.journal.empty());       // no second dial, no hooks
  EXPECT_EQ(m.record.connState, session::kConnConnected);
  EXPECT_EQ(m.Boxes(), (std::vector<std::string>{"접속정보: 이미 접속 중입니다.", "접속정보: 이미 접속 중입니다."}));
}

TEST(TunnelStart, AKindTheProgramCannotStartChangesNothing) {
  for (int vpnType : {0, 2, 5}) {
    Dial m;
    EXPECT_EQ(m.StartDial(vpnType), -1) << vpnType;
    EXPECT_EQ(m.record.connState, session::kConnLoggedIn) << vpnType;
    EXPECT_TRUE(m.journal.empty()) << vpnType;
    EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf)) << vpnType;
    EXPECT_EQ(m.window.boxes().size(), 1u) << vpnType;
  }
}

TEST(Reconnect, ADroppedLinkIsDialledAgainByTheReconnectTick) {
  Dial m;
  m.dlg->reconnect().enabled = 1;
  m.dlg->reconnect().attempts = 3;
  m.window.SetTimer(app::kTimerReconnect, 10000);
  m.record.authMode = "vpn";
  m.StartDial();
  m.ReportConnected();
  m.dlg->OnTimer(app::kTimerReconnect);  // up: nothing
  EXPECT_EQ(m.dlg->reconnect().count, 0);

  m.ras.DropLink();
  m.dlg->OnTimer(app::kTimerSupervise);  // CODE-022, idle
  ASSERT_EQ(m.record.connState, session::kConnIdle);
  m.internet.ScriptEncoded("/ClientLogin/user_check_v1.php", "server_ip=192.0.2.10|xxxdate=2099-01-01 00:00:00");
  m.journal.clear();
  m.dlg->OnTimer(app::kTimerReconnect);
  EXPECT_EQ(m.dlg->reconnect().count, 1);
  EXPECT_EQ(m.journal, (Journal{"disable " + m.record.tapAdapterName, "stop openvpn", "remove openvpn files",
                                "request /ClientLogin/user_check_v1.php", "hook IN_STOP",
                                "dial Vexo_Conn 192.0.2.10 gamer"}));
  EXPECT_EQ(m.record.connState, session::kConnConnecting);

  m.journal.clear();
  m.dlg->OnTimer(app::kTimerReconnect);  // the dial is still running: counted, no second start
  EXPECT_EQ(m.dlg->reconnect().count, 2);
  EXPECT_TRUE(m.journal.empty());
  m.ReportConnected();
  EXPECT_EQ(m.dlg->reconnect().count, 0);  // back up: a fresh count for the next drop
}

TEST(Reconnect, ALinkTheUserEndedIsNotBroughtBack) {
  Dial m;
  m.dlg->reconnect().attempts = 3;
  m.window.SetTimer(app::kTimerReconnect, 10000);
  m.StartDial();
  m.ReportConnected();
  m.dlg->SendLogout("vpn");  // the user's disconnect
  m.dlg->TeardownRas();
  m.journal.clear();
  m.dlg->OnTimer(app::kTimerReconnect);
  EXPECT_EQ(m.dlg->reconnect().count, 1);  // counted as before, nothing started
  EXPECT_TRUE(m.journal.empty());
}

}  // namespace

namespace {

TEST(TunnelStart, ADoubleClickOnThePoolDialsTheChosenIp) {
  Dial m;
  m.record.vpnType = session::kVpnPptp;
  m.record.userId = "gamer";
  m.record.password = "secret";
  m.record.connState = session::kConnLoggedIn;
  m.record.ipPoolList = "c1^198.51.100.1|c2^198.51.100.2";
  m.dlg->ipMgmtTab5().LoadList();
  ASSERT_EQ(m.host.ipMgmtTab5.ListCount(IDC_IP_AVAILABLE), 2);
  m.internet.ScriptEncoded("/ClientLogin/user_check_v1.php", "server_ip=192.0.2.10|xxxdate=2099-01-01 00:00:00");
  m.host.ipMgmtTab5.ListSelect(IDC_IP_AVAILABLE, 1);
  m.journal.clear();
  m.dlg->ipMgmtTab5().OnDoubleClick(IDC_IP_AVAILABLE);
  EXPECT_EQ(m.record.ipCode, "c2");
  EXPECT_EQ(m.record.authMode, "vpn");
  EXPECT_EQ(m.journal, (Journal{"disable " + m.record.tapAdapterName, "stop openvpn", "remove openvpn files",
                                "request /ClientLogin/user_check_v1.php", "hook IN_STOP",
                                "dial Vexo_Conn 192.0.2.10 gamer"}));
  EXPECT_NE(m.internet.requests().back().Params().find("ip_code=c2"), std::string::npos);
  m.ReportConnected();
  EXPECT_EQ(m.record.connState, session::kConnConnected);
}

}  // namespace
