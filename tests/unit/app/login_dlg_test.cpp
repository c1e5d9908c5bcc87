#include "app/login/login_dlg.h"

#include <gtest/gtest.h>

#include "app/main/window_rules.h"
#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_window.h"
#include "login_fakes.h"
#include "net/ipv4_text.h"
#include "protocol/payload_codec.h"
#include "protocol/user_field.h"

namespace {

using settings::Setting;
using logintest::CallLog;
using platform::kSelf;

std::uint32_t Ip(const char* text) { return net::Ipv4FromText(text); }

constexpr platform::WindowHandle kPanelHandle = 0x133;

class LoginDlgTest : public ::testing::Test {
 protected:
  LoginDlgTest() {
    record_.settingsRoot = settings::kSettingsRoot;
    record_.settingsKeyPath = settings::kSettingsKeyPath;
    record_.windowsDir = "C:\\WINDOWS";
    record_.webHost = "203.0.113.10";
    poolPanel_.Show(kSelf, false);
    classPanel_.Show(kSelf, false);
    panel_.handle = kPanelHandle;  // the owner of the pages the panel opens
    panel_.Show(IDC_LOGIN_TEST_CERT, false);  // hidden in the template
  }

  void Save(Setting s, const std::string& text) {
    settings::CRegCtrl reg(registry_);
    settings::WriteSetting(reg, settings::SettingsKey{}, s, text);
  }
  std::string Saved(Setting s) {
    settings::CRegCtrl reg(registry_);
    return settings::ReadSetting(reg, settings::SettingsKey{}, s);
  }
  bool HasSaved(const char* name) {
    return registry_.Find(settings::kSettingsRoot, settings::kSettingsKeyPath, name) != nullptr;
  }
  void Type(const std::string& id, const std::string& password) {
    panel_.SetText(IDC_LOGIN_USER, id);
    panel_.SetText(IDC_LOGIN_PASSWORD, password);
  }
  std::vector<platform::RouteRow> CreatedWithMetric(std::uint32_t metric) {
    std::vector<platform::RouteRow> rows;
    for (const platform::RouteRow& row : tables_.created)
      if (row.metric1 == metric) rows.push_back(row);
    return rows;
  }

  CallLog log_;
  session::SessionRecord record_;
  app::MainWindowState state_;
  fakes::FakeWindow panel_, poolPanel_, classPanel_;
  fakes::FakeRegistry registry_;
  fakes::FakeFiles files_;
  fakes::FakeShell shell_;
  fakes::FakeNetTables tables_;
  logintest::FakeSession session_{log_, record_};
  logintest::FakeExchanges exchanges_{log_};
  logintest::JournalIpPanel poolList_{log_, "pool"}, classList_{log_, "classes"};
  logintest::FakeMainWindow mainWindow_{log_};
  logintest::FakeBanner banner_;
  net::NullDiagLog noLog_;
  app::LoginDlgParts Parts(app::ISessionLogin& session) {
    return {record_,     state_,      panel_,    registry_, files_,      shell_,  tables_, session,
            exchanges_, poolPanel_, classPanel_, poolList_, classList_, mainWindow_, banner_, noLog_};
  }
  app::CLoginDlg dlg_{Parts(session_)};
};

// --- Start sequence --------------------------------------------------------------

TEST_F(LoginDlgTest, StartLoadsTheButtonBitmaps) {
  EXPECT_TRUE(dlg_.OnInitDialog());
  const std::tuple<int, int, int> bitmaps[] = {{1007, 153, 154}, {1014, 155, 156}, {1015, 151, 151}};
  for (const auto& [id, normal, pressed] : bitmaps) {
    EXPECT_EQ(panel_.control(id).bitmapNormal, normal) << id;
    EXPECT_EQ(panel_.control(id).bitmapPressed, pressed) << id;
  }
}

TEST_F(LoginDlgTest, RememberedAccountFillsTheFieldsOnlyWhenTheBoxWasSaved) {
  struct Case {
    const char* remember;  // nullptr: no uipchk value
    bool savedAccount;
    bool filled;
  };
  const Case cases[] = {
      {"1", true, true},
      {nullptr, true, false},
      {"0", true, false},
      {"1", false, true},  // nothing saved: the fields are filled with empty texts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.remember ? c.remember : "(none)") + (c.savedAccount ? " saved" : ""));
    fakes::FakeRegistry fresh;
    registry_ = fresh;
    if (c.remember) Save(Setting::kRememberAccount, c.remember);
    if (c.savedAccount) {
      Save(Setting::kAccountId, protocol::EncodePayload("demo"));
      Save(Setting::kPassword, protocol::EncodePayload("demo1234"));
    }
    record_.userId = "before";
    record_.password = "before";
    panel_.SetText(IDC_LOGIN_USER, "typed");
    panel_.SetCheck(IDC_LOGIN_REMEMBER, 0);
    dlg_.OnInitDialog();

    EXPECT_EQ(panel_.GetCheck(IDC_LOGIN_REMEMBER), c.filled ? 1 : 0);
    const std::string id = c.filled ? (c.savedAccount ? "demo" : "") : "before";
    const std::string password = c.filled ? (c.savedAccount ? "demo1234" : "") : "before";
    EXPECT_EQ(record_.userId, id);
    EXPECT_EQ(record_.password, password);
    EXPECT_EQ(panel_.GetText(IDC_LOGIN_USER), c.filled ? id : "typed");
    if (c.filled) {
      EXPECT_EQ(panel_.GetText(IDC_LOGIN_PASSWORD), password);
    }
  }
}

TEST_F(LoginDlgTest, DebugMarkerInTheWindowsFolderShowsTheTestBoxUnchecked) {
  dlg_.OnInitDialog();
  EXPECT_FALSE(panel_.IsVisible(IDC_LOGIN_TEST_CERT));

  files_.Put("c:\\windows\\mesh_trace", "");  // the whole path is looked up in lower case
  panel_.SetCheck(IDC_LOGIN_TEST_CERT, 1);
  dlg_.OnInitDialog();
  EXPECT_TRUE(panel_.IsVisible(IDC_LOGIN_TEST_CERT));
  EXPECT_EQ(panel_.GetCheck(IDC_LOGIN_TEST_CERT), 0);
  EXPECT_FALSE(dlg_.TestCertificateChecked());
  panel_.SetCheck(IDC_LOGIN_TEST_CERT, 1);
  EXPECT_TRUE(dlg_.TestCertificateChecked());
}

TEST_F(LoginDlgTest, BannerLoadsOnlyWhenTheLoginHostResolved) {
  dlg_.OnInitDialog();
  EXPECT_EQ(banner_.urls, (std::vector<std::string>{"http://" TUNRA_WEB_HOST "/vpn_program/banner.php"}));

  banner_.urls.clear();
  record_.webHost = "0.0.0.0";
  dlg_.OnInitDialog();
  EXPECT_TRUE(banner_.urls.empty());
}

// --- Keys, remember box, pages -------------------------------------------------

TEST_F(LoginDlgTest, KeysNeverCloseThePanelAndEnterWalksToTheLogin) {
  Type("demo", "pw");
  struct Case {
    std::uint32_t message;
    std::uintptr_t key;
    int focus;
    bool swallowed;
    int focusAfter;   // -1: unchanged
    bool logsIn;
  };
  const Case cases[] = {
      {app::kWmSysKeyDown, app::kVkF4, IDC_LOGIN_PASSWORD, true, -1, false},
      {app::kWmKeyDown, app::kVkEscape, IDC_LOGIN_PASSWORD, true, -1, false},
      {app::kWmKeyDown, app::kVkReturn, IDC_LOGIN_USER, true, IDC_LOGIN_PASSWORD, false},
      {app::kWmKeyDown, app::kVkReturn, IDC_LOGIN_PASSWORD, true, -1, true},
      {app::kWmKeyDown, app::kVkReturn, IDC_LOGIN_REMEMBER, true, -1, false},
      {app::kWmKeyDown, 'A', IDC_LOGIN_USER, false, -1, false},
      {app::kWmKeyDown, app::kVkF4, IDC_LOGIN_USER, false, -1, false},  // F4 without Alt
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.message) + " " + std::to_string(c.key) + " " + std::to_string(c.focus));
    log_.clear();
    const int focusBefore = panel_.focus();
    EXPECT_EQ(dlg_.PreTranslateMessage(c.message, c.key, c.focus), c.swallowed);
    EXPECT_EQ(panel_.focus(), c.focusAfter == -1 ? focusBefore : c.focusAfter);
    EXPECT_EQ(!log_.empty() && log_[0].rfind("LoginSession", 0) == 0, c.logsIn);
  }
  EXPECT_TRUE(panel_.boxes().empty());
}

TEST_F(LoginDlgTest, RememberBoxWritesOrDeletesTheSavedChoice) {
  panel_.SetCheck(IDC_LOGIN_REMEMBER, 1);
  dlg_.OnCommand(IDC_LOGIN_REMEMBER);
  EXPECT_EQ(Saved(Setting::kRememberAccount), "1");

  panel_.SetCheck(IDC_LOGIN_REMEMBER, 0);
  dlg_.OnCommand(IDC_LOGIN_REMEMBER);
  EXPECT_FALSE(HasSaved("uipchk"));
  dlg_.OnCommand(IDC_LOGIN_REMEMBER);  // deleting a missing value is harmless
  EXPECT_FALSE(HasSaved("uipchk"));
}

TEST_F(LoginDlgTest, PageButtonsOpenTheirPagesInTheBrowser) {
  dlg_.OnCommand(IDC_LOGIN_SIGNUP);
  dlg_.OnCommand(IDC_LOGIN_FIND_PASSWORD);
  ASSERT_EQ(shell_.executed.size(), 2u);
  EXPECT_EQ(shell_.executed[0].file, "http://" TUNRA_WEB_HOST "/member/join1.php");
  EXPECT_EQ(shell_.executed[1].file, "http://" TUNRA_WEB_HOST "/member/idpw.php");
  for (const fakes::FakeShell::ExecuteCall& call : shell_.executed) {
    EXPECT_EQ(call.owner, kPanelHandle);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, "");
    EXPECT_EQ(call.show, 10);  // SW_SHOWDEFAULT
  }
  EXPECT_TRUE(log_.empty());
}

// --- The login button ------------------------------------------------------------

TEST_F(LoginDlgTest, InputThatCannotBeSentIsRefusedBeforeAnythingChanges) {
  struct Case {
    const char *id, *password, *text;
    int focus;
  };
  const Case cases[] = {
      {"", "pw", " 아이디를 입력 해주세요. ", IDC_LOGIN_USER},
      {"", "", " 아이디를 입력 해주세요. ", IDC_LOGIN_USER},
      {"demo", "", " 패스워드를 입력 해주세요. ", IDC_LOGIN_PASSWORD},
      {"abc|auth_mode=vpn", "pw", protocol::kUserFieldRefused, IDC_LOGIN_USER},
      {"a^b", "pw", protocol::kUserFieldRefused, IDC_LOGIN_USER},
      {"demo", "pw=1", protocol::kUserFieldRefused, IDC_LOGIN_PASSWORD},
      {"demo", "p\tw", protocol::kUserFieldRefused, IDC_LOGIN_PASSWORD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " / " + c.password);
    Type(c.id, c.password);
    panel_.Enable(IDC_LOGIN_BUTTON, false);
    record_.userId = "before";
    record_.ipCode = "101";
    const std::size_t boxes = panel_.boxes().size();
    dlg_.OnCommand(IDC_LOGIN_BUTTON);
    ASSERT_EQ(panel_.boxes().size(), boxes + 1);
    EXPECT_EQ(panel_.boxes().back().text, c.text);
    EXPECT_EQ(panel_.boxes().back().caption, "계정정보");
    EXPECT_EQ(panel_.boxes().back().style, platform::kMbOk);
    EXPECT_EQ(panel_.focus(), c.focus);
    EXPECT_TRUE(panel_.IsEnabled(IDC_LOGIN_BUTTON));
    EXPECT_EQ(record_.userId, "before");
    EXPECT_EQ(record_.ipCode, "101");
  }
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(registry_.Calls(), 0);
}

TEST_F(LoginDlgTest, TypedAccountIsSentWithoutBlanksAndInLowerCase) {
  const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
      {{" De Mo ", "PassWORD"}, "LoginSession demo password user 0"},
      // A double-byte character whose trail byte is a capital letter stays whole.
      {{"\x81\x41User", "\x81\x41Pw"}, "LoginSession \x81\x41user \x81\x41pw user 0"},
      // Only blanks: empty after the blanks go, and the login is still attempted.
      {{"   ", "pw"}, "LoginSession  pw user 0"},
  };
  for (const auto& [typed, seen] : cases) {
    log_.clear();
    Type(typed.first, typed.second);
    record_.ipCode = "101";
    record_.authMode = "vpn";
    state_.dayNoticeShown = 1;
    dlg_.OnLogin();
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(log_[0], seen);
    EXPECT_EQ(state_.dayNoticeShown, 0);
  }
  EXPECT_TRUE(panel_.boxes().empty());
}

TEST_F(LoginDlgTest, PoolAccountFetchesThePoolAndShowsThePoolPanel) {
  Type("demo", "pw");
  record_.useSelect = 1;
  record_.classCode = "7";
  state_.localIfIndex = 11;
  state_.localGateway = "192.168.0.1";
  record_.defaultRoute = "1.1.1.1^2.2.2.2";
  dlg_.OnLogin();

  EXPECT_EQ(log_, (CallLog{"LoginSession demo pw user 0", "FetchIpPool", "pool load", "ShowWideLayout"}));
  EXPECT_EQ(exchanges_.poolOwner, &panel_);
  EXPECT_EQ(record_.classCode, "");
  EXPECT_TRUE(poolPanel_.IsVisible(kSelf));
  EXPECT_FALSE(classPanel_.IsVisible(kSelf));
  EXPECT_EQ(record_.connState, session::kConnLoggedIn);
  const auto bypass = CreatedWithMetric(77);
  ASSERT_EQ(bypass.size(), 2u);
  EXPECT_EQ(bypass[0].dest, Ip("1.1.1.1"));
  EXPECT_EQ(bypass[1].dest, Ip("2.2.2.2"));
  EXPECT_EQ(bypass[0].ifIndex, 11u);
  EXPECT_EQ(bypass[0].nextHop, Ip("192.168.0.1"));
}

TEST_F(LoginDlgTest, ClassAccountEmptiesThePoolAndShowsTheClassPanel) {
  Type("demo", "pw");
  record_.useSelect = 0;
  record_.ipPoolList = "101^1.2.3.4";
  record_.classCode = "7";
  poolPanel_.Show(kSelf, true);
  dlg_.OnLogin();

  EXPECT_EQ(log_, (CallLog{"LoginSession demo pw user 0", "classes load", "ShowWideLayout"}));
  EXPECT_EQ(record_.ipPoolList, "");
  EXPECT_EQ(record_.classCode, "7");
  EXPECT_FALSE(poolPanel_.IsVisible(kSelf));
  EXPECT_TRUE(classPanel_.IsVisible(kSelf));
  EXPECT_EQ(record_.connState, session::kConnLoggedIn);
}

TEST_F(LoginDlgTest, RemoteSupportPeerGetsAHostRouteOnlyWhileItIsConnected) {
  Type("demo", "pw");
  state_.localIfIndex = 11;
  state_.localGateway = "192.168.0.1";
  tables_.tcpRows = {{5, Ip("192.168.0.5"), 50000, Ip("198.51.100.9"), 5938, 10}};
  dlg_.OnLogin();
  auto support = CreatedWithMetric(45);
  ASSERT_EQ(support.size(), 1u);
  EXPECT_EQ(support[0].dest, Ip("198.51.100.9"));
  EXPECT_EQ(support[0].mask, 0xFFFFFFFFu);
  EXPECT_EQ(support[0].ifIndex, 11u);
  EXPECT_EQ(support[0].nextHop, Ip("192.168.0.1"));
  EXPECT_EQ(state_.remoteSupportPeer, "198.51.100.9");

  // The session ended before the next login: no route for the old peer.
  tables_.tcpRows.clear();
  tables_.created.clear();
  dlg_.OnLogin();
  EXPECT_TRUE(CreatedWithMetric(45).empty());
  EXPECT_EQ(state_.remoteSupportPeer, "");
}

TEST_F(LoginDlgTest, FailedSessionLoginLeavesTheLoggedOutState) {
  for (int result : {-1, -2}) {
    log_.clear();
    Type("demo", "pw");
    record_.connState = session::kConnIdle;
    record_.useSelect = 1;
    record_.defaultRoute = "1.1.1.1";
    state_.localIfIndex = 11;
    state_.localGateway = "192.168.0.1";
    tables_.tcpRows = {{5, 0, 50000, Ip("198.51.100.9"), 5938, 10}};
    session_.result = result;
    dlg_.OnLogin();
    EXPECT_EQ(log_, (CallLog{"LoginSession demo pw user 0"}));
    EXPECT_EQ(record_.connState, session::kConnIdle);
    EXPECT_FALSE(poolPanel_.IsVisible(kSelf));
    EXPECT_FALSE(classPanel_.IsVisible(kSelf));
    EXPECT_TRUE(tables_.created.empty());
  }
}

// With the real session login: what the registry receives.
TEST_F(LoginDlgTest, SavedAccountIsTheFormTheSessionUses) {
  fakes::FakeClock clock;
  fakes::FakeWindow progress, account;
  logintest::FakeProgress progressOps{log_};
  logintest::FakeTunnel tunnel{log_};
  logintest::FakeUpdate update{log_};
  app::CLoginSession session({record_, state_, clock, registry_, tables_, exchanges_, progressOps, progress, panel_,
                              account, tunnel, update, noLog_});
  app::CLoginDlg dlg(Parts(session));

  Type("demo|x", "pw");
  dlg.OnLogin();
  EXPECT_FALSE(HasSaved("ui1"));  // refused input is never saved

  Type(" De Mo ", "PassWORD");
  dlg.OnLogin();
  EXPECT_EQ(protocol::DecodePayload(Saved(Setting::kAccountId)), "demo");
  EXPECT_EQ(protocol::DecodePayload(Saved(Setting::kPassword)), "password");
  EXPECT_EQ(account.GetText(IDC_ACCOUNT_USER), "demo");
  EXPECT_FALSE(panel_.IsVisible(kSelf));
  EXPECT_EQ(record_.connState, session::kConnLoggedIn);
}

}  // namespace
