#include "app/account/logout_dlg.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main/not_available.h"
#include "fakes/fake_window.h"
#include "unit/app/peer_fakes.h"

namespace {

using apptest::FakeBanner;
using apptest::Journal;
using platform::kSelf;

// The main window as the panel sees it; the teardown notes what the reconnect timers
// looked like when it ran.
class FakeOwner : public app::IAccountPanelOwner {
 public:
  FakeOwner(Journal& journal, app::ReconnectSettings& reconnect, fakes::FakeWindow& main)
      : journal_(journal), reconnect_(reconnect), main_(main) {}
  void ShowLayout(bool narrow) override { journal_.push_back(narrow ? "narrow" : "wide"); }
  void OpenHelpPage() override { journal_.push_back("help page"); }
  void SendLogout(const std::string& mode) override { journal_.push_back("logout " + mode); }
  void TeardownByKind() override {
    journal_.push_back("teardown" + std::string(reconnect_.enabled || !main_.timers().empty()
                                                    ? " (reconnect still on)" : ""));
  }

 private:
  Journal& journal_;
  app::ReconnectSettings& reconnect_;
  fakes::FakeWindow& main_;
};

class AccountPanelTest : public ::testing::Test {
 protected:
  AccountPanelTest() {
    record_.webHost = "203.0.113.5";
    record_.connState = session::kConnLoggedIn;
    panel_.SetText(IDC_ACCOUNT_TIME, "1:02:03");
    panel_.SetText(IDC_ACCOUNT_STATUS, "203.0.113.77");
  }
  app::CLogoutDlg& Panel() {
    dlg_ = std::make_unique<app::CLogoutDlg>(
        app::CLogoutDlg::Context{record_, panel_, login_, main_, reconnect_, owner_, pool_, classes_, banner_});
    dlg_->OnInitDialog();
    return *dlg_;
  }
  void ReconnectRunning() {
    reconnect_.enabled = 1;
    main_.SetTimer(app::kTimerReconnect, 30000);
    main_.SetTimer(app::kTimerReconnectWait, 20000);
  }

  Journal journal_;
  session::SessionRecord record_;
  fakes::FakeWindow panel_, login_, main_;
  app::ReconnectSettings reconnect_;
  apptest::JournalIpPanel pool_{journal_, "pool"}, classes_{journal_, "classes"};
  FakeOwner owner_{journal_, reconnect_, main_};
  FakeBanner banner_;
  std::unique_ptr<app::CLogoutDlg> dlg_;
};

TEST_F(AccountPanelTest, LogoutByStateAndTunnelKind) {
  const Journal reset = {"pool clear history", "pool row -1", "classes clear history", "classes row -1",
                         "logout user"};
  struct Row { int connState; int vpnType; bool reconnect; const char* teardown; };
  const Row rows[] = {
      {session::kConnConnected, session::kVpnPptp, false, "teardown"},
      {session::kConnConnected, session::kVpnOpenVpn, true, "teardown"},  // reconnect off first
      {session::kConnLoggedIn, session::kVpnOpenVpn, true, nullptr},
      {session::kConnConnecting, session::kVpnPptp, true, "teardown"},  // a starting tunnel ends too
      {session::kConnIdle, session::kVpnOpenVpn, false, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.connState) + " " + std::to_string(row.vpnType));
    journal_.clear();
    reconnect_ = {};
    for (unsigned id : {app::kTimerReconnect, app::kTimerReconnectWait}) main_.KillTimer(id);
    if (row.reconnect) ReconnectRunning();
    record_.connState = row.connState;
    record_.vpnType = row.vpnType;
    panel_.Show(kSelf, true);
    login_.Show(kSelf, false);

    Panel().OnCommand(IDC_ACCOUNT_LOGOUT);

    Journal expected = reset;
    if (row.teardown) expected.push_back(row.teardown);
    expected.push_back("narrow");
    EXPECT_EQ(journal_, expected);
    // The reconnect timers stop only with a tunnel the logout ended.
    EXPECT_EQ(reconnect_.enabled, row.reconnect && row.teardown == nullptr ? 1 : 0);
    EXPECT_EQ(main_.timers().size(), row.reconnect && row.teardown == nullptr ? 2u : 0u);
    EXPECT_EQ(record_.connState, row.connState);  // only a teardown changes it
    EXPECT_FALSE(panel_.IsVisible(kSelf));
    EXPECT_TRUE(login_.IsVisible(kSelf));
  }
}

TEST_F(AccountPanelTest, IdleLookAfterALogoutNotice) {
  app::CLogoutDlg& dlg = Panel();
  dlg.ShowDisconnectButton();
  dlg.ShowIdleLook();
  EXPECT_EQ(panel_.GetText(IDC_ACCOUNT_TIME), "0:00:00");
  EXPECT_EQ(panel_.GetText(IDC_ACCOUNT_STATUS), "사용하실 아이피를 선택후 더블클릭 해주세요");
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_TIME).redraws, 1);
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_STATUS).redraws, 1);
  EXPECT_FALSE(panel_.IsVisible(IDC_ACCOUNT_CONNECT));
}

TEST_F(AccountPanelTest, DisconnectButtonOnlyWhileConnected) {
  app::CLogoutDlg& dlg = Panel();
  dlg.ShowDisconnectButton();
  EXPECT_TRUE(panel_.IsVisible(IDC_ACCOUNT_CONNECT));
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_CONNECT).bitmapNormal, 179);
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_CONNECT).bitmapPressed, 180);
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_CONNECT).redraws, 1);

  for (int state : {session::kConnIdle, session::kConnLoggedIn, session::kConnIpChosen, session::kConnConnecting}) {
    record_.connState = state;
    ReconnectRunning();
    dlg.OnCommand(IDC_ACCOUNT_CONNECT);
    EXPECT_TRUE(journal_.empty()) << state;
    EXPECT_EQ(reconnect_.enabled, 1) << state;
    EXPECT_TRUE(panel_.IsVisible(IDC_ACCOUNT_CONNECT)) << state;
  }

  record_.connState = session::kConnConnected;
  dlg.OnCommand(IDC_ACCOUNT_CONNECT);
  const Journal expected = {"pool stop for ip change", "pool row -1", "pool repaint", "classes row -1",
                            "classes repaint"};
  EXPECT_EQ(journal_, expected);  // no logout notice: the IP panel sends its own
  EXPECT_EQ(reconnect_.enabled, 0);
  EXPECT_TRUE(main_.timers().empty());
  EXPECT_FALSE(panel_.IsVisible(IDC_ACCOUNT_CONNECT));
}

TEST_F(AccountPanelTest, InitialisationAndTheOtherButtons) {
  record_.webHost = "0.0.0.0";  // no check of the login host, unlike the login panel
  app::CLogoutDlg& dlg = Panel();
  EXPECT_EQ(banner_.urls, std::vector<std::string>{std::string("http://") + TUNRA_WEB_HOST + "/vpn_program/banner.php"});
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_LOGOUT).bitmapNormal, 175);
  EXPECT_EQ(panel_.control(IDC_ACCOUNT_CONNECT).bitmapNormal, 177);
  for (int id : {IDC_ACCOUNT_IP_SETTINGS, IDC_ACCOUNT_IP_HISTORY, IDC_ACCOUNT_EXPAND,
                 IDC_ACCOUNT_CONNECT})
    EXPECT_FALSE(panel_.IsVisible(id)) << id;
  EXPECT_TRUE(panel_.IsVisible(IDC_ACCOUNT_LOGOUT));

  for (int id : {IDC_ACCOUNT_EXPAND, IDC_ACCOUNT_IP_HISTORY, IDC_ACCOUNT_EXTEND,
                 IDC_ACCOUNT_IP_SETTINGS})
    dlg.OnCommand(id);
  EXPECT_EQ(journal_, (Journal{"help page", "wide"}));
}

// The subsystems not in the program yet answer "not available", never success.
TEST(NotAvailable, NullPeersNeverReportSuccess) {
  EXPECT_EQ(app::UpdateNotAvailable().ApplyUpdateAtLogin(), app::UpdateOutcome::kNoUpdate);
}

}  // namespace
