#include "app/session/login_session.h"

#include <gtest/gtest.h>

#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_window.h"
#include "login_fakes.h"
#include "net/ipv4_text.h"
#include "protocol/payload_codec.h"

namespace {

using settings::Setting;
using logintest::CallLog;
using platform::kSelf;

std::uint32_t Ip(const char* text) { return net::Ipv4FromText(text); }

class LoginSessionTest : public ::testing::Test {
 protected:
  LoginSessionTest() {
    record_.settingsRoot = settings::kSettingsRoot;
    record_.settingsKeyPath = settings::kSettingsKeyPath;
    record_.userId = "demo";
    record_.password = "demo1234";
    record_.authMode = "user";
    record_.webHost = "203.0.113.10";
    tables_.bestRoute.ifIndex = 11;
    tables_.bestRoute.nextHop = Ip("192.168.0.1");
    tables_.addresses = {{Ip("192.168.0.5"), 11}};
    // The reply of a successful user check.
    exchanges_.onUserCheck = [this] {
      record_.serverIp = "198.51.100.20";
      record_.myGame = "game";
      record_.serviceEndDate = "2024-03-05 23:59:59";
    };
    login_.Show(kSelf, true);
    account_.Show(kSelf, false);
    progressWindow_.Show(kSelf, false);
  }

  std::string Saved(Setting s) {
    settings::CRegCtrl reg(registry_);
    return settings::ReadSetting(reg, settings::SettingsKey{}, s);
  }

  CallLog log_;
  session::SessionRecord record_;
  app::MainWindowState state_;
  fakes::FakeClock clock_;
  fakes::FakeRegistry registry_;
  fakes::FakeNetTables tables_;
  fakes::FakeWindow progressWindow_, login_, account_;
  logintest::FakeExchanges exchanges_{log_};
  logintest::FakeProgress progress_{log_};
  logintest::FakeTunnel tunnel_{log_};
  logintest::FakeUpdate update_{log_};
  net::NullDiagLog noLog_;
  app::CLoginSession session_{{record_, state_, clock_, registry_, tables_, exchanges_, progress_,
                               progressWindow_, login_, account_, tunnel_, update_, noLog_}};
};

TEST_F(LoginSessionTest, UserLoginRunsEveryStepInOrderAndShowsTheAccountPanel) {
  record_.serviceEndDate = "2023-01-01 00:00:00";  // from an earlier session
  record_.remainingMinutes = 99;
  state_.elapsedSeconds = 1234;
  state_.superviseTicks = 56;
  bool checked = false;
  exchanges_.onUserCheck = [&] {
    // What is in place while the user check runs.
    checked = true;
    EXPECT_EQ(record_.serviceEndDate, session::kNoEndDate);
    EXPECT_EQ(record_.remainingMinutes, 0);
    EXPECT_EQ(state_.elapsedSeconds, 0);
    EXPECT_EQ(state_.superviseTicks, 0);
    EXPECT_FALSE(record_.sessionKey.empty());
    EXPECT_EQ(Saved(Setting::kAccountId), protocol::EncodePayload("demo"));
    EXPECT_EQ(Saved(Setting::kPassword), protocol::EncodePayload("demo1234"));
    EXPECT_TRUE(progressWindow_.IsVisible(kSelf));
    EXPECT_EQ(progressWindow_.control(kSelf).redraws, 1);
    record_.serverIp = "198.51.100.20";
    record_.myGame = "game";
    record_.serviceEndDate = "2024-03-05 23:59:59";
  };

  EXPECT_EQ(session_.LoginSession(), app::kLoginOk);

  EXPECT_TRUE(checked);
  EXPECT_EQ(log_, (CallLog{"stop openvpn", "remove openvpn files", "ResetProgress", "UserCheck",
                           "ApplyUpdateAtLogin", "StopProgress"}));
  EXPECT_FALSE(progressWindow_.IsVisible(kSelf));
  EXPECT_FALSE(login_.IsVisible(kSelf));
  EXPECT_TRUE(account_.IsVisible(kSelf));

  const std::pair<int, std::string> texts[] = {
      {1038, "demo"},
      {1037, "game"},
      {1036, "2024년 03월 05일"},
      {1034, "0:00:00"},
      {1035, "사용하실 아이피를 선택후 더블클릭 해주세요"}};
  for (const auto& [id, text] : texts) {
    EXPECT_EQ(account_.GetText(id), text) << id;
    EXPECT_EQ(account_.control(id).redraws, 1) << id;
  }

  // The VPN server and the back end stay on the physical path.
  EXPECT_EQ(state_.localIfIndex, 11u);
  EXPECT_EQ(state_.localGateway, "192.168.0.1");
  EXPECT_EQ(state_.localAddress, "192.168.0.5");
  ASSERT_EQ(tables_.created.size(), 2u);
  EXPECT_EQ(tables_.created[0].dest, Ip("198.51.100.20"));
  EXPECT_EQ(tables_.created[1].dest, Ip("203.0.113.10"));
  for (const platform::RouteRow& row : tables_.created) {
    EXPECT_EQ(row.mask, 0xFFFFFFFFu);
    EXPECT_EQ(row.nextHop, Ip("192.168.0.1"));
    EXPECT_EQ(row.ifIndex, 11u);
    EXPECT_EQ(row.metric1, 50u);
  }
}

TEST_F(LoginSessionTest, TunnelLoginKeepsTheProgressDialogUpForTheTunnelStart) {
  record_.authMode = "vpn";
  EXPECT_EQ(session_.LoginSession(), app::kLoginOk);
  EXPECT_EQ(log_.back(), "ApplyUpdateAtLogin");
  EXPECT_TRUE(progressWindow_.IsVisible(kSelf));
  EXPECT_FALSE(login_.IsVisible(kSelf));
  EXPECT_TRUE(account_.IsVisible(kSelf));
}

TEST_F(LoginSessionTest, ConnectingReturnsAtOnceAndChangesNothing) {
  record_.connState = session::kConnConnecting;
  record_.sessionKey = "777";
  record_.remainingMinutes = 42;
  state_.elapsedSeconds = 9;
  EXPECT_EQ(session_.LoginSession(), -1);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(record_.sessionKey, "777");
  EXPECT_EQ(record_.remainingMinutes, 42);
  EXPECT_EQ(state_.elapsedSeconds, 9);
  EXPECT_EQ(registry_.Calls(), 0);
  EXPECT_FALSE(progressWindow_.IsVisible(kSelf));
}

TEST_F(LoginSessionTest, FailedUserCheckStopsWithTheProgressHiddenAndTheLoginPanelUp) {
  for (int check : {-1, -2, -3}) {
    SCOPED_TRACE(check);
    log_.clear();
    exchanges_.userCheckResult = check;
    EXPECT_EQ(session_.LoginSession(), -1);
    EXPECT_EQ(log_, (CallLog{"stop openvpn", "remove openvpn files", "ResetProgress", "UserCheck",
                             "StopProgress"}));
    EXPECT_FALSE(progressWindow_.IsVisible(kSelf));
    EXPECT_TRUE(login_.IsVisible(kSelf));
    EXPECT_FALSE(account_.IsVisible(kSelf));
    EXPECT_EQ(account_.GetText(1038), "");
    EXPECT_TRUE(tables_.created.empty());
    EXPECT_TRUE(tables_.bestRouteQueries.empty());
    // The account was saved before the check.
    EXPECT_EQ(protocol::DecodePayload(Saved(Setting::kAccountId)), "demo");
  }
}

TEST_F(LoginSessionTest, UpdateOutcomesEndTheLoginWithTheirResults) {
  struct Case {
    app::UpdateOutcome outcome;
    int result;
  };
  for (const Case& c : {Case{app::UpdateOutcome::kStarted, -1}, Case{app::UpdateOutcome::kDownloadFailed, -2}}) {
    log_.clear();
    update_.outcome = c.outcome;
    EXPECT_EQ(session_.LoginSession(), c.result);
    EXPECT_EQ(log_.back(), "ApplyUpdateAtLogin");
    // The login panel stays and the progress dialog is left to the caller.
    EXPECT_TRUE(login_.IsVisible(kSelf));
    EXPECT_FALSE(account_.IsVisible(kSelf));
    EXPECT_TRUE(progressWindow_.IsVisible(kSelf));
  }
}

TEST_F(LoginSessionTest, ReplyWithoutEndDateLeavesTheDateTextEmpty) {
  account_.SetText(1036, "2023년 01월 01일");
  record_.serviceEndDate = "2023-01-01 00:00:00";
  exchanges_.onUserCheck = [this] { record_.serverIp = "198.51.100.20"; };
  EXPECT_EQ(session_.LoginSession(), 0);
  EXPECT_EQ(record_.serviceEndDate, session::kNoEndDate);
  EXPECT_EQ(account_.GetText(1036), "");
}

TEST(ServiceEndDateText, PartsAsWritten) {
  const std::pair<const char*, const char*> cases[] = {
      {"2024-03-05 23:59:59", "2024년 03월 05일"},  // leading zeros kept
      {"2024-3-5 1:02:03", "2024년 3월 5일"},
      {"2025-12-31", "2025년 12월 31일"},            // no time part
      {"1970-01-01 00:00:00", "1970년 01월 01일"},   // only the exact "none" value is empty
      {"1970-01-01 23:59:59", ""},
  };
  for (const auto& [date, shown] : cases) EXPECT_EQ(app::ServiceEndDateText(date), shown) << date;
}

TEST_F(LoginSessionTest, SessionKeyIsTheRuntimeGeneratorSeededWithTheSecond) {
  // srand(1); rand() is 41 in the Microsoft runtime.
  EXPECT_EQ(app::DrawSessionKey(1), "41");

  clock_.Set(1700000000);
  ASSERT_EQ(session_.LoginSession(), 0);
  const std::string first = record_.sessionKey;
  EXPECT_EQ(first, app::DrawSessionKey(1700000000));
  const int value = std::stoi(first);
  EXPECT_GE(value, 0);
  EXPECT_LE(value, 32767);

  clock_.Advance(999);  // the same second
  ASSERT_EQ(session_.LoginSession(), 0);
  EXPECT_EQ(record_.sessionKey, first);
  clock_.Advance(1);  // the next second
  ASSERT_EQ(session_.LoginSession(), 0);
  EXPECT_NE(record_.sessionKey, first);
}

TEST_F(LoginSessionTest, WithoutADefaultRouteNoRouteIsPinnedToAnEarlierGateway) {
  state_.localIfIndex = 7;  // from a login on another network
  state_.localGateway = "10.0.0.1";
  state_.localAddress = "10.0.0.5";
  tables_.bestRouteResult = 1232;  // no route to the probe
  EXPECT_EQ(session_.LoginSession(), 0);
  EXPECT_EQ(state_.localIfIndex, 0u);
  EXPECT_EQ(state_.localGateway, "");
  EXPECT_EQ(state_.localAddress, "");
  EXPECT_TRUE(tables_.created.empty());
}

}  // namespace
