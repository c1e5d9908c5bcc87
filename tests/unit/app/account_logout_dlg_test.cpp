#include "app/account/logout_dlg.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main/exchange_logout_notice.h"
#include "fakes/exchange_rig.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_window.h"

namespace {

using Journal = std::vector<std::string>;
using platform::kSelf;

class FakeIpPanel : public app::IIpClassPanel {
 public:
  FakeIpPanel(Journal& journal, std::string name) : journal_(journal), name_(std::move(name)) {}
  void ClearUsedHistory() override { journal_.push_back(name_ + " history cleared"); }
  void SetCurrentRow(int row) override { journal_.push_back(name_ + " row " + std::to_string(row)); }
  void RepaintList() override { journal_.push_back(name_ + " repainted"); }
  void StopForIpChange() override { journal_.push_back(name_ + " stop for ip change"); }

 private:
  Journal& journal_;
  std::string name_;
};

// Notes each teardown with what the reconnect timers looked like when it ran.
class FakeTeardown : public app::ITunnelTeardown {
 public:
  FakeTeardown(Journal& journal, app::ReconnectSettings& reconnect, fakes::FakeWindow& main)
      : journal_(journal), reconnect_(reconnect), main_(main) {}
  int TeardownRas() override {
    journal_.push_back("ras teardown" + Reconnect());
    return 1;
  }
  void TeardownOpenVpn(int code, const std::string& reason) override {
    journal_.push_back("openvpn teardown " + std::to_string(code) + " '" + reason + "'" + Reconnect());
  }

 private:
  std::string Reconnect() {
    return reconnect_.enabled || !main_.timers().empty() ? " (reconnect still on)" : "";
  }
  Journal& journal_;
  app::ReconnectSettings& reconnect_;
  fakes::FakeWindow& main_;
};

class JournalledLogout : public app::ILogoutNotice {
 public:
  JournalledLogout(Journal& journal, app::ILogoutNotice& real) : journal_(journal), real_(real) {}
  void SendLogout(const std::string& mode) override {
    journal_.push_back("logout " + mode);
    real_.SendLogout(mode);
  }

 private:
  Journal& journal_;
  app::ILogoutNotice& real_;
};

class FakeOwner : public app::IAccountPanelOwner {
 public:
  explicit FakeOwner(Journal& journal) : journal_(journal) {}
  void ShowLayout(bool narrow) override { journal_.push_back(narrow ? "narrow" : "wide"); }
  void OpenHelpPage() override { journal_.push_back("help page"); }

 private:
  Journal& journal_;
};

class FakeBanner : public app::IBanner {
 public:
  void Navigate(const std::string& url) override { urls.push_back(url); }
  std::vector<std::string> urls;
};

// The account panel over the exchange fakes: the logout notice is the real exchange,
// writing to the rig's panel window, which is this panel.
class AccountPanelTest : public ::testing::Test, protected fakes::ExchangeRig<fakes::FakeInternet> {
 protected:
  AccountPanelTest() {
    record_.clientCode = "tunra";
    record_.userId = "kim";
    record_.webHost = "203.0.113.5";
    record_.connState = session::kConnLoggedIn;
    panel_.SetText(app::kIdAccountElapsed, "1:02:03");
    panel_.SetText(app::kIdAccountStatus, "203.0.113.77");
  }
  app::CLogoutDlg& Panel() {
    app::MainWindowPeers peers{&logout_, &teardown_, &classes_, &pool_, &banner_};
    dlg_ = std::make_unique<app::CLogoutDlg>(
        app::CLogoutDlg::Context{record_, panel_, login_, main_, reconnect_, owner_, peers});
    dlg_->OnInitDialog();
    return *dlg_;
  }
  void ReconnectRunning() {
    reconnect_.enabled = 1;
    main_.SetTimer(app::kTimerReconnect, 30000);
    main_.SetTimer(app::kTimerReconnectWait, 20000);
  }

  Journal journal_;
  fakes::FakeWindow login_;
  app::ReconnectSettings reconnect_;
  app::ExchangeLogoutNotice exchange_{ctx_};
  JournalledLogout logout_{journal_, exchange_};
  FakeTeardown teardown_{journal_, reconnect_, main_};
  FakeIpPanel classes_{journal_, "classes"}, pool_{journal_, "pool"};
  FakeOwner owner_{journal_};
  FakeBanner banner_;
  std::unique_ptr<app::CLogoutDlg> dlg_;
};

TEST_F(AccountPanelTest, LogoutByStateAndTunnelKind) {
  const Journal reset = {"classes history cleared", "classes row -1", "pool history cleared", "pool row -1",
                         "logout user"};
  struct Row { int connState; int vpnType; bool reconnect; const char* teardown; };
  const Row rows[] = {
      {session::kConnConnected, session::kVpnPptp, false, "ras teardown"},
      {session::kConnConnected, session::kVpnL2tp, true, "ras teardown"},
      {session::kConnConnected, session::kVpnOpenVpn, true, "openvpn teardown 4 ''"},  // reconnect off first
      {session::kConnConnected, 2, false, "ras teardown"},  // any other kind is not OpenVPN
      {session::kConnLoggedIn, session::kVpnOpenVpn, true, nullptr},
      {session::kConnConnecting, session::kVpnPptp, true, nullptr},  // only a running tunnel is ended here
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

    Panel().OnCommand(app::kIdAccountLogout);

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

TEST_F(AccountPanelTest, LogoutNoticeReachesTheBackEndAndResetsTheLabels) {
  login_.SetText(1005, "kim");
  Panel().OnLogout();
  ASSERT_EQ(internet_.requests().size(), 1u);
  EXPECT_EQ(internet_.requests()[0].Path(), "/ClientLogin/client_logout.php");
  EXPECT_EQ(internet_.requests()[0].Params(), "ccver=1185|longid=kim|cccode=tunra|auth_mode=user");
  EXPECT_EQ(panel_.GetText(app::kIdAccountElapsed), "0:00:00");
  EXPECT_EQ(panel_.GetText(app::kIdAccountStatus), "사용하실 아이피를 선택후 더블클릭 해주세요");
  EXPECT_FALSE(panel_.IsVisible(app::kIdAccountDisconnect));
  EXPECT_EQ(login_.GetText(1005), "kim");  // the login fields as they were typed
}

TEST_F(AccountPanelTest, LogoutGoesOnWhenTheNoticeIsLost) {
  fakes::FakeInternet::Reply refused;
  refused.failSend = true;
  internet_.Script("/ClientLogin/client_logout.php", refused);
  record_.connState = session::kConnConnected;
  record_.vpnType = session::kVpnPptp;
  Panel().OnLogout();
  EXPECT_EQ(journal_.back(), "narrow");
  EXPECT_NE(std::find(journal_.begin(), journal_.end(), "ras teardown"), journal_.end());
  EXPECT_TRUE(login_.IsVisible(kSelf));
}

TEST_F(AccountPanelTest, DisconnectButtonOnlyWhileConnected) {
  app::CLogoutDlg& dlg = Panel();
  dlg.ShowDisconnectButton();
  EXPECT_TRUE(panel_.IsVisible(app::kIdAccountDisconnect));
  EXPECT_EQ(panel_.control(app::kIdAccountDisconnect).bitmapNormal, 179);
  EXPECT_EQ(panel_.control(app::kIdAccountDisconnect).bitmapPressed, 180);
  EXPECT_EQ(panel_.control(app::kIdAccountDisconnect).redraws, 1);

  for (int state : {session::kConnIdle, session::kConnLoggedIn, session::kConnIpChosen, session::kConnConnecting}) {
    record_.connState = state;
    ReconnectRunning();
    dlg.OnCommand(app::kIdAccountDisconnect);
    EXPECT_TRUE(journal_.empty()) << state;
    EXPECT_EQ(reconnect_.enabled, 1) << state;
    EXPECT_TRUE(panel_.IsVisible(app::kIdAccountDisconnect)) << state;
  }

  record_.connState = session::kConnConnected;
  dlg.OnCommand(app::kIdAccountDisconnect);
  const Journal expected = {"classes stop for ip change", "classes row -1", "classes repainted", "pool row -1",
                            "pool repainted"};
  EXPECT_EQ(journal_, expected);
  EXPECT_EQ(reconnect_.enabled, 0);
  EXPECT_TRUE(main_.timers().empty());
  EXPECT_FALSE(panel_.IsVisible(app::kIdAccountDisconnect));
  EXPECT_TRUE(internet_.requests().empty());  // the IP panel sends its own notice
}

TEST_F(AccountPanelTest, InitialisationAndTheOtherButtons) {
  record_.webHost = "0.0.0.0";  // no check of the host, unlike the login panel
  app::CLogoutDlg& dlg = Panel();
  EXPECT_EQ(banner_.urls, std::vector<std::string>{"http://0.0.0.0/vpn_program/banner.php"});
  EXPECT_EQ(panel_.control(app::kIdAccountLogout).bitmapNormal, 175);
  EXPECT_EQ(panel_.control(app::kIdAccountDisconnect).bitmapNormal, 177);
  for (int id : {app::kIdAccountIpSettings, app::kIdAccountIpHistory, app::kIdAccountExpandButton,
                 app::kIdAccountDisconnect})
    EXPECT_FALSE(panel_.IsVisible(id)) << id;
  EXPECT_TRUE(panel_.IsVisible(app::kIdAccountLogout));

  for (int id : {app::kIdAccountExpandButton, app::kIdAccountIpHistory, app::kIdAccountExtend,
                 app::kIdAccountIpSettings})
    dlg.OnCommand(id);
  EXPECT_EQ(journal_, (Journal{"help page", "wide"}));
}

TEST(AccountPanel, WorksWithoutThePeersItCannotReach) {
  session::SessionRecord record;
  record.connState = session::kConnConnected;
  fakes::FakeWindow panel, login, main;
  app::ReconnectSettings reconnect;
  Journal journal;
  FakeOwner owner(journal);
  app::CLogoutDlg dlg({record, panel, login, main, reconnect, owner, {}});
  EXPECT_TRUE(dlg.OnInitDialog());
  dlg.OnLogout();
  dlg.OnConnectButton();
  EXPECT_EQ(journal, Journal{"narrow"});
  EXPECT_TRUE(login.IsVisible(kSelf));
  EXPECT_FALSE(panel.IsVisible(kSelf));
}

}  // namespace
