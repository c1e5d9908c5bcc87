// The OpenVPN tunnel in the main window: the start's steps and its certificate, and
// the supervision of the program's log against the time allowed.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "unit/app/main_window_rig.h"

namespace {

using maintest::Journal;
using maintest::MainWindow;
using maintest::OpenVpnTeardown;
using maintest::Then;
using platform::kSelf;

constexpr const char* kCertUrl = "http://127.0.0.1/certs/tunra_ca.crt";

struct OpenVpn : MainWindow {
  OpenVpn() {
    Init();
    record.vpnType = session::kVpnOpenVpn;
    record.serverIp = "192.0.2.10";
    record.userId = "gamer";
    record.password = "secret";
    record.certUrl = kCertUrl;
    record.certFileName = "tunra_ca.crt";
    record.certVersion = 1002;
    record.connState = session::kConnIpChosen;
    journal.clear();
  }
  std::string CertPath() { return record.programDir + "/tunra_ca.crt"; }
  std::string VersionPath() { return record.programDir + "/crtver.ini"; }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& box : window.boxes()) texts.push_back(box.caption + ": " + box.text.substr(0, 10));
    return texts;
  }
  // Timer 1's ticks, each with the next status of the log.
  void Ticks(int n) {
    for (int i = 0; i < n && window.timers().count(app::kTimerSupervise); ++i) dlg->OnTimer(app::kTimerSupervise);
  }
};

const Journal kStartSteps = {"hook IN_STOP",      "unbind",     "write config", "write credentials",
                             "adapter mac",       "launch openvpn"};

TEST(OpenVpnStart, TheStepsInOrderAndTheCertificateOnlyWhenNewer) {
  struct Row {
    const char* name;
    const char* installedVersion;  // nullptr: no version file
    bool certPresent;
    bool downloads;
  };
  const Row rows[] = {
      {"no version file", nullptr, true, true},
      {"newer version", "1001\r\n", true, true},
      {"same version", "1002\r\n", true, false},
      {"same version, file gone", "1002\r\n", false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OpenVpn m;
    if (row.installedVersion) m.files.Put(m.VersionPath(), row.installedVersion);
    if (row.certPresent) m.files.Put(m.CertPath(), "old certificate");
    m.internet.Script("/certs/tunra_ca.crt", {200, "new certificate", true, false});
    EXPECT_EQ(m.dlg->StartTunnel(), 1);
    Journal expected = kStartSteps;
    if (row.downloads) expected.insert(expected.begin() + 2, "request /certs/tunra_ca.crt");
    EXPECT_EQ(m.journal, expected);
    EXPECT_EQ(m.record.connState, session::kConnConnecting);
    EXPECT_EQ(m.window.timers().at(app::kTimerSupervise), 1000u);
    EXPECT_EQ(m.files.Get(m.CertPath()), row.downloads ? "new certificate" : "old certificate");
    EXPECT_EQ(m.files.Get(m.VersionPath()), row.downloads ? "1002\r\n" : row.installedVersion);
    EXPECT_TRUE(m.window.boxes().empty());
  }
}

TEST(OpenVpnStart, AFailedCertificateDownload) {
  for (bool certPresent : {true, false}) {
    SCOPED_TRACE(certPresent);
    OpenVpn m;
    if (certPresent) m.files.Put(m.CertPath(), "old certificate");
    m.internet.Script("/certs/tunra_ca.crt", {404, "<html>not found</html>", true, false});
    EXPECT_EQ(m.dlg->StartTunnel(), certPresent ? 1 : -1);
    EXPECT_EQ(m.Boxes(), std::vector<std::string>{"업데이트오류: CODE-020 :"});
    // The version is not written: the next start tries again. No error page as a file.
    EXPECT_FALSE(m.files.Exists(m.VersionPath()));
    EXPECT_EQ(m.files.Exists(m.CertPath()), certPresent);
    if (certPresent) {
      EXPECT_EQ(m.journal.back(), "launch openvpn");
    } else {
      EXPECT_EQ(m.journal.back(), "remove openvpn files");
      EXPECT_EQ(m.record.connState, session::kConnIdle);
    }
  }
}

TEST(OpenVpnStart, AFailedStepRemovesTheFiles) {
  struct Row {
    const char* name;
    int config, credentials, launch;
    Journal tail;
  };
  const Row rows[] = {
      {"config", -1, 0, 1, {"write config", "remove openvpn files"}},
      {"credentials", 1, -1, 1, {"write credentials", "remove openvpn files"}},
      {"launch", 1, 0, -1,
       Then({"launch openvpn", "stop openvpn", "event report", "remove openvpn files", "hook OUT_START",
             "hook OUT_STOP"},
            {"remove openvpn files"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OpenVpn m;
    m.files.Put(m.VersionPath(), "1002\r\n");
    m.files.Put(m.CertPath(), "certificate");
    m.tunnel.configResult = row.config;
    m.tunnel.credentialsResult = row.credentials;
    m.tunnel.launchResult = row.launch;
    EXPECT_EQ(m.dlg->StartTunnel(), -1);
    const Journal tail(m.journal.end() - static_cast<long>(row.tail.size()), m.journal.end());
    EXPECT_EQ(tail, row.tail);
    // No tunnel: a later start must not be refused as "connecting".
    EXPECT_EQ(m.record.connState, session::kConnIdle);
  }
}

struct Started : OpenVpn {
  Started() {
    files.Put(VersionPath(), "1002\r\n");
    files.Put(CertPath(), "certificate");
    record.loginDelay = 30;
    dlg->StartTunnel();
    journal.clear();
  }
};

TEST(OpenVpnSupervision, ComesUpWhenTheLogSaysSoAndTheAdapterHasAnAddress) {
  Started m;
  m.tunnel.statuses = {-14, -14, 1};
  m.tunnel.adapterAddress = "0.0.0.0";  // not yet assigned: waits
  m.Ticks(3);
  EXPECT_EQ(m.record.connState, session::kConnConnecting);
  m.tunnel.adapterAddress = "10.8.0.6";
  m.Ticks(1);
  EXPECT_EQ(m.record.connState, session::kConnConnected);
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_STATUS), "10.8.0.6");
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_TIME), "0:00:00");
  EXPECT_EQ(m.window.timers().count(app::kTimerServiceTime), 1u);
  EXPECT_TRUE(m.host.account.IsVisible(IDC_ACCOUNT_CONNECT));
  EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf));
  EXPECT_TRUE(m.window.boxes().empty());
  EXPECT_EQ(m.dlg->state().superviseTicks, 31);
}

TEST(OpenVpnSupervision, FailuresByCodeAndTime) {
  struct Row {
    const char* name;
    int ticksBefore;  // ticks with status -100 (running, nothing decided) first
    int status;
    const char* box;
    bool installer;
  };
  const Row rows[] = {
      {"almost no log within the time", 8, -14, "방화벽 설정 오류: CODE-002 :", false},
      {"no adapter after the time", 31, -13, "네트워크 장치 생성 오류: CODE-003 :", true},
      {"netsh failed after the time", 31, -9, "네트워크 장치 생성 오류: CODE-003 :", true},
      {"program gone after the time", 31, -10, "접속 오류: CODE-004 :", false},
      {"almost no log after the time", 31, -14, "접속 오류: CODE-005 :", false},
      {"closed socket after the time", 31, -1, "접속 오류: CODE-005 :", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Started m;
    m.tunnel.statuses = std::vector<int>(static_cast<std::size_t>(row.ticksBefore), -100);
    m.tunnel.statuses.push_back(row.status);
    m.Ticks(row.ticksBefore);
    EXPECT_TRUE(m.window.boxes().empty());
    m.Ticks(1);
    EXPECT_EQ(m.Boxes(), std::vector<std::string>{row.box});
    Journal expected = Then({"logout vpn"}, {"stop openvpn", "event report", "remove openvpn files",
                                             "hook OUT_START", "hook OUT_STOP"});
    if (row.installer) expected.push_back("adapter installer");
    EXPECT_EQ(m.journal, expected);
    EXPECT_EQ(m.record.connState, session::kConnIdle);
    EXPECT_TRUE(m.window.timers().empty());
  }
}

TEST(OpenVpnSupervision, UpWithoutAnAddressFailsOnceTheTimeIsOver) {
  Started m;
  m.tunnel.statuses = {1};
  m.tunnel.adapterAddress = "0.0.0.0";
  m.Ticks(31);
  EXPECT_TRUE(m.window.boxes().empty());
  m.Ticks(1);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"접속 오류: CODE-005 :"});
  EXPECT_EQ(m.record.connState, session::kConnIdle);
}

TEST(OpenVpnSupervision, ATunnelThatWasUpFailsAtOnceAndMayBeBroughtBack) {
  Started m;
  m.tunnel.statuses = {1, 1, -1};
  m.Ticks(2);
  ASSERT_EQ(m.record.connState, session::kConnConnected);
  m.Ticks(1);
  EXPECT_EQ(m.Boxes(), std::vector<std::string>{"접속 오류: CODE-005 :"});
  EXPECT_TRUE(m.dlg->state().relinkWanted);
}

}  // namespace
