// The session login over the real user check, against the scripted HTTP fake.
#include <gtest/gtest.h>

#include "app/session/login_session.h"
#include "fakes/exchange_rig.h"
#include "fakes/fake_internet.h"
#include "login_fakes.h"
#include "net/ipv4_text.h"

namespace {

using logintest::CallLog;
using platform::kSelf;

constexpr const char* kUserCheckPath = "/ClientLogin/user_check_v1.php";

class LoginExchangeTest : public ::testing::Test, protected fakes::ExchangeRig<fakes::FakeInternet> {
 protected:
  LoginExchangeTest() {
    record_.clientCode = "tunra";
    record_.userId = "demo";
    record_.password = "demo1234";
    record_.authMode = "user";
    record_.webHost = "203.0.113.10";
    record_.settingsRoot = platform::kHkeyCurrentUser;
    record_.settingsKeyPath = "SOFTWARE\\Orvak";
    tables_.bestRoute.ifIndex = 11;
    tables_.bestRoute.nextHop = net::Ipv4FromText("192.168.0.1");
    login_.Show(kSelf, true);
    progressWindow_.Show(kSelf, false);
  }

  // The parameter text of the one request sent.
  std::string SentParams() {
    EXPECT_EQ(internet_.requests().size(), 1u);
    return internet_.requests().empty() ? "" : internet_.requests().back().Params();
  }

  CallLog log_;
  app::MainWindowState state_;
  fakes::FakeWindow progressWindow_, login_, account_;
  app::ProtocolLoginExchanges exchanges_{ctx_};
  logintest::FakeProgress progress_{log_};
  logintest::FakeTunnel tunnel_{log_};
  logintest::FakeUpdate update_{log_};
  net::NullDiagLog noLog_;
  app::CLoginSession session_{{record_, state_, clock_, registry_, tables_, exchanges_, progress_, progressWindow_,
                               login_, account_, tunnel_, update_, noLog_}};
};

TEST_F(LoginExchangeTest, ReplyFillsTheAccountPanelAndTheRequestCarriesTheDrawnKey) {
  internet_.ScriptEncoded(kUserCheckPath, "server_ip=198.51.100.20|xxxdate=2024-03-05 23:59:59|mygame=raid");
  ASSERT_EQ(session_.LoginSession(), 0);
  const std::string params = SentParams();
  EXPECT_NE(params.find("|id=demo|password=demo1234|"), std::string::npos) << params;
  EXPECT_NE(params.find("|session_key=" + app::DrawSessionKey(clock_.Now()) + "|"), std::string::npos) << params;
  EXPECT_EQ(account_.GetText(IDC_ACCOUNT_GAME), "raid");
  EXPECT_EQ(account_.GetText(IDC_ACCOUNT_END_DATE), "2024년 03월 05일");
  ASSERT_EQ(tables_.created.size(), 2u);
  EXPECT_EQ(tables_.created[0].dest, net::Ipv4FromText("198.51.100.20"));
  EXPECT_TRUE(main_.boxes().empty());
}

TEST_F(LoginExchangeTest, RefusedAccountShowsTheExchangesMessageAndStops) {
  internet_.ScriptEncoded(kUserCheckPath, "login_auth=no");
  EXPECT_EQ(session_.LoginSession(), -1);
  ASSERT_EQ(main_.boxes().size(), 1u);
  EXPECT_EQ(main_.boxes()[0].text, "CODE-007 : 인증 실패");
  EXPECT_EQ(main_.boxes()[0].caption, "접속오류");
  EXPECT_EQ(log_.back(), "StopProgress");
  EXPECT_FALSE(progressWindow_.IsVisible(kSelf));
  EXPECT_TRUE(login_.IsVisible(kSelf));
  EXPECT_TRUE(tables_.created.empty());
}

}  // namespace
