// The back-end exchanges against a scripted HTTP fake: request texts byte for byte,
// the order of the reply markers, messages, results and what each path leaves in the
// session record.
#include <gtest/gtest.h>

#include "exchange_fixture.h"
#include "net/ipv4_text.h"
#include "protocol/account_info.h"
#include "protocol/event_report.h"
#include "protocol/ip_change.h"
#include "protocol/ip_pool.h"
#include "protocol/logout.h"
#include "protocol/payload_codec.h"
#include "protocol/user_check.h"

namespace {

using testing_support::ExchangeTest;
using Strings = std::vector<std::string>;

constexpr const char* kUserCheckPath = "/ClientLogin/user_check_v1.php";
constexpr const char* kSysInfo = "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n#1. LAN (10.0.0.2)\r\n";

class UserCheckTest : public ExchangeTest {
 protected:
  UserCheckTest() {
    tables_.bestRoute.ifIndex = 11;
    tables_.bestRoute.nextHop = net::Ipv4FromText("10.0.0.1");
    platform::AdapterInfo lan;
    lan.index = 11;
    lan.description = "LAN";
    lan.address = std::string("\x00\x1a\x2b\x3c\x4d\x5e", 6);
    lan.ipAddresses = {"10.0.0.2"};
    tables_.adapters = {lan};
    registry_.SetText(platform::kHkeyCurrentUser, "SOFTWARE\\Orvak", "VSvrCode", "s2");
    record_.routeList = "old^route";
    record_.gameList = "old=game";
    record_.userCheckReply = "earlier";
  }
  void Reply(const std::string& plain) { internet_.ScriptEncoded(kUserCheckPath, plain); }
};

TEST_F(UserCheckTest, RequestCarriesTheParametersInOrderOnTheQueryForm) {
  record_.ipCode = "101";
  record_.vpnType = 4;
  record_.ipChangeType = 1;
  Reply("login_auth=no");
  protocol::UserCheck(ctx_);

  const auto& req = OnlyRequest();
  EXPECT_EQ(req.server, "203.0.113.5");
  EXPECT_EQ(req.port, 80);
  EXPECT_EQ(req.verb, "POST");
  EXPECT_EQ(req.flags, protocol::kQueryRequestFlags);
  EXPECT_EQ(req.object, std::string(kUserCheckPath) + "?bin=" +
                            protocol::EncodePayload(protocol::UserCheckParams(record_, "001A2B3C4D5E", kSysInfo)));
  EXPECT_EQ(req.Params(),
            std::string("client_code=tunra|id=kim|password=pw1|ccver=1185|ip_code=101|client_mac=001A2B3C4D5E"
                        "|client_sysInfo=") +
                kSysInfo +
                "|ping_check=0|session_key=12345|vpn_type=4|auth_mode=user|vpn_conn_server_code=s2"
                "|ip_change_type=1");
  EXPECT_TRUE(req.body.empty());
  EXPECT_EQ(req.addedHeaders, session::kRequestHeaders);
  // Emptied and re-read before sending, whatever the answer.
  EXPECT_EQ(record_.routeList, "");
  EXPECT_EQ(record_.gameList, "");
  EXPECT_EQ(record_.vpnConnServerCode, "s2");
}

TEST_F(UserCheckTest, WithoutRouteOrSavedServerTheMacAndCodeAreEmpty) {
  tables_.bestRouteResult = 1232;
  fakes::FakeRegistry empty_registry;  // no saved server
  record_.vpnConnServerCode = "stale";
  protocol::ExchangeContext other{record_, web_,  main_,  empty_registry, system_, facts_,
                                  tables_, shell_, files_, clock_,         hooks_};
  Reply("login_auth=no");
  protocol::UserCheck(other);
  const std::string params = OnlyRequest().Params();
  EXPECT_NE(params.find("|client_mac=|client_sysInfo="), std::string::npos) << params;
  EXPECT_NE(params.find("|vpn_conn_server_code=|"), std::string::npos) << params;
  EXPECT_EQ(record_.vpnConnServerCode, "");
}

TEST_F(UserCheckTest, TestCertificateBoxSendsTheSamePayloadToTheTestScript) {
  hooks_.testCertificate = true;
  internet_.ScriptEncoded("/ClientLogin/user_check_v0.php", "login_auth=no");
  protocol::UserCheck(ctx_);
  EXPECT_EQ(OnlyRequest().Path(), "/ClientLogin/user_check_v0.php");
  EXPECT_EQ(OnlyRequest().Params(), protocol::UserCheckParams(record_, "001A2B3C4D5E", kSysInfo));
}

TEST_F(UserCheckTest, FailureMarkersInTheirOrder) {
  struct Case {
    const char* reply;  // nullptr: status 500
    int result;
    Strings boxes;
    Strings opened;
    int retryCount;
    Strings hooks;
  };
  const std::string code8 = "접속오류: CODE-008 :고객님 서비스는 일시 정지 상태입니다.  \n\n고객 센터로 문의 바랍니다.";
  const Case cases[] = {
      {nullptr, -1, {"접속오류: CODE-006 : 인증서버와 통신 오류"}, {}, 5, {}},
      {"", -1, {"접속오류: CODE-006 : 인증서버와 통신 오류"}, {}, 5, {}},
      {"login_auth=no|server_error=x", -2, {"접속오류: CODE-007 : 인증 실패"}, {}, 5, {}},
      {"server_error=x|login_auth=stop", -3, {code8}, {}, 5, {}},
      {"login_retry_count=3|server_error=first^http://host/page", -1, {"접속오류: first"}, {"http://host/page"}, 3,
       {"StopProgress"}},
      // Only a web address goes to the shell; a piece that merely holds one is text.
      {"server_error=HTTPS://host/p^ms-settings:x http://y^file://c http://z", -1,
       {"접속오류: ms-settings:x http://y", "접속오류: file://c http://z"}, {"HTTPS://host/p"}, 5, {"StopProgress"}},
      {"server_error=a=b|x=y", -1, {"접속오류: a"}, {}, 5, {"StopProgress"}},
      {"login_retry_count=|server_error=only", -1, {"접속오류: only"}, {}, 5, {"StopProgress"}},
      {"xxxdate=|xxxtime=|name=x", -1, {}, {"http://" TUNRA_WEB_HOST "/customer/faq.php"}, 5, {}},
      // Markers are case-sensitive: an upper-case refusal is an ordinary reply.
      {"LOGIN_AUTH=NO|vpntype=2", 1, {}, {}, 5, {}},
      // A page answered with 200 holds no field of an account: no answer, not an
      // empty account.
      {"<html><meta charset=utf-8>Please sign in to the network</html>", -1,
       {"접속오류: CODE-006 : 인증서버와 통신 오류"}, {}, 5, {}},
      {"result=ok|color=blue", -1, {"접속오류: CODE-006 : 인증서버와 통신 오류"}, {}, 5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply ? c.reply : "(status 500)");
    fakes::FakeWindow main;
    fakes::FakeShell shell;
    fakes::RecordingSessionHooks hooks;
    record_.loginRetryCount = 5;
    record_.userCheckReply = "earlier";
    if (c.reply) Reply(c.reply); else internet_.Script(kUserCheckPath, {500, "", true, false});
    main.handle = 0x77;  // the owner of the pages opened
    protocol::ExchangeContext ctx{record_, web_,  main,   registry_, system_, facts_,
                                  tables_, shell, files_, clock_,    hooks};
    EXPECT_EQ(protocol::UserCheck(ctx), c.result);
    EXPECT_EQ(BoxTexts(main), c.boxes);
    Strings opened;
    for (const auto& e : shell.executed) {
      opened.push_back(e.file);
      EXPECT_EQ(e.verb, "open");
      EXPECT_EQ(e.owner, 0x77u);
      EXPECT_EQ(e.show, 10);
    }
    EXPECT_EQ(opened, c.opened);
    EXPECT_EQ(record_.loginRetryCount, c.retryCount);
    EXPECT_EQ(hooks.calls, c.hooks);
    if (c.result < 0) {
      EXPECT_EQ(record_.userCheckReply, "earlier");  // not stored, not parsed
    }
  }
}

TEST_F(UserCheckTest, MessagesAndPagesFollowTheListOrder) {
  Reply("server_error=one^http://a/p1^two");
  Strings order;
  main_.onMessageBox = [&](const fakes::FakeWindow::Box& b) {
    order.push_back("box " + b.text + " after " + std::to_string(shell_.executed.size()) + " pages");
  };
  protocol::UserCheck(ctx_);
  EXPECT_EQ(order, (Strings{"box one after 0 pages", "box two after 1 pages"}));
}

TEST_F(UserCheckTest, SuccessStoresParsesAndPreparesTheTunnel) {
  Reply("Server_IP=1.2.3.4|VPNTYPE=1|route_list=10.0.0.0==8\r\n|gateway_ip=0.0.0.0|"
        "server_time=2014-03-09 10:11:12|user_long_id=L77");
  EXPECT_EQ(protocol::UserCheck(ctx_), 1);
  EXPECT_EQ(record_.userCheckReply,
            "Server_IP=1.2.3.4|VPNTYPE=1|route_list=10.0.0.0==8|gateway_ip=0.0.0.0|"
            "server_time=2014-03-09 10:11:12|user_long_id=L77");
  EXPECT_EQ(record_.replyHasZeroIp, 1);
  EXPECT_EQ(record_.serverIp, "1.2.3.4");
  EXPECT_EQ(record_.routeList, "10.0.0.0/8");
  EXPECT_EQ(record_.userLongId, "l77");
  EXPECT_EQ(hooks_.calls, (Strings{"WritePhonebook 1 1"}));
  ASSERT_EQ(clock_.setTimes.size(), 1u);
  EXPECT_EQ(clock_.setTimes[0].year, 2014);
  EXPECT_EQ(clock_.setTimes[0].second, 12);
  EXPECT_TRUE(main_.boxes().empty());
}

TEST_F(UserCheckTest, TunnelPreparationByKindAndMode) {
  struct Case { int vpnType; const char* mode; Strings hooks; };
  const Case cases[] = {
      {1, "user", {"WritePhonebook 1 0"}}, {3, "vpn", {"WritePhonebook 3 0"}},
      {4, "vpn", {"CheckTapAdapter"}},    {4, "user", {}},
      {2, "vpn", {}},
  };
  for (const Case& c : cases) {
    fakes::RecordingSessionHooks hooks;
    protocol::ExchangeContext ctx{record_, web_,   main_,  registry_, system_, facts_,
                                  tables_, shell_, files_, clock_,    hooks};
    record_.authMode = c.mode;
    Reply("vpntype=" + std::to_string(c.vpnType) + "|server_ip=1.2.3.4");
    EXPECT_EQ(protocol::UserCheck(ctx), 1);
    EXPECT_EQ(record_.replyHasZeroIp, 0);
    EXPECT_EQ(hooks.calls, c.hooks) << c.vpnType << " " << c.mode;
  }
}

// A body that ends before its Content-Length (the connection closed, a wait ran out)
// is no reply: half a login lost its first fields and still logged in, half a pool or
// an address cut short was shown.
TEST_F(ExchangeTest, ACutReplyIsNoReply) {
  const auto cut = [&](const char* path, const std::string& plain) {
    fakes::FakeInternet::Reply reply;
    const std::string whole = protocol::EncodePayload(plain);
    reply.body = whole.substr(0, whole.size() / 2);
    reply.announced = static_cast<long long>(whole.size());
    internet_.Script(path, reply);
  };
  const std::string account = "name=kim|xxxdate=2030-01-01 00:00:00|xxxtime=60|vpntype=4|server_ip=1.2.3.4";

  cut(kUserCheckPath, account);
  record_.userCheckReply = "earlier";
  EXPECT_EQ(protocol::UserCheck(ctx_), protocol::kUserCheckFailed);
  EXPECT_EQ(record_.userCheckReply, "earlier");

  cut("/ClientLogin/get_info.php", "xxxdate=2030-01-01 00:00:00|xxxtime=60");
  record_.remainingMinutes = 7;
  EXPECT_EQ(protocol::AccountInfo(ctx_), -1);
  EXPECT_EQ(record_.remainingMinutes, 7);

  cut("/Info/ip_pool_list.php", "101^203.0.113.11|102^203.0.113.12|103^203.0.113.13|");
  fakes::FakeWindow tab;
  EXPECT_EQ(protocol::FetchIpPool(ctx_, tab), 0);
  EXPECT_EQ(record_.ipPoolList, "");

  cut("/ClientLogin/socket_change.php", "select_ip=203.0.113.17");
  record_.selectedIp = "before";
  std::string assigned;
  EXPECT_EQ(protocol::RequestIpChange(ctx_, "107", assigned), 0);
  EXPECT_EQ(record_.selectedIp, "before");

  EXPECT_EQ(BoxTexts(main_),
            (Strings{"접속오류: CODE-006 : 인증서버와 통신 오류",
                     "접속오류: CODE-011 : 시스템상에 예기지 않은 일이 발생하였습니다. \n\n잠시 후 다시 이용해 주세요."}));
  EXPECT_TRUE(tab.boxes().empty());
}

// --- Account information.

TEST_F(ExchangeTest, AccountInfoRequestAndReplies) {
  record_.remainingMinutes = 100;
  internet_.ScriptEncoded("/ClientLogin/get_info.php", "xxxdate=2015-01-31 10:00:00|XXXTIME=60");
  EXPECT_EQ(protocol::AccountInfo(ctx_), 1);
  const auto& req = OnlyRequest();
  EXPECT_EQ(req.flags, protocol::kQueryRequestFlags);
  EXPECT_EQ(req.Params(), "client_code=tunra|user_id=kim");
  EXPECT_EQ(record_.serviceEndDate, "2015-01-31 10:00:00");
  EXPECT_EQ(record_.remainingMinutes, 160);
  EXPECT_EQ(record_.accountInfoReply, "xxxdate=2015-01-31 10:00:00|xxxtime=60");

  internet_.ScriptEncoded("/ClientLogin/get_info.php", "xxxtime=10");
  protocol::AccountInfo(ctx_);
  protocol::AccountInfo(ctx_);
  EXPECT_EQ(record_.remainingMinutes, 180);

  internet_.ScriptEncoded("/ClientLogin/get_info.php", "Name=X|vpntype=3");
  EXPECT_EQ(protocol::AccountInfo(ctx_), 1);
  EXPECT_EQ(record_.accountInfoReply, "name=x|vpntype=3");
  EXPECT_EQ(record_.vpnType, 4);
  EXPECT_EQ(record_.serviceEndDate, "2015-01-31 10:00:00");
  EXPECT_TRUE(main_.boxes().empty());
}

TEST_F(ExchangeTest, AccountInfoWithoutReplyShowsCode011AndKeepsTheFields) {
  record_.accountInfoReply = "before";
  record_.remainingMinutes = 7;
  internet_.Script("/ClientLogin/get_info.php", {200, "", true, false});
  EXPECT_EQ(protocol::AccountInfo(ctx_), -1);
  EXPECT_EQ(BoxTexts(main_),
            (Strings{"접속오류: CODE-011 : 시스템상에 예기지 않은 일이 발생하였습니다. \n\n잠시 후 다시 이용해 주세요."}));
  EXPECT_EQ(record_.accountInfoReply, "before");
  EXPECT_EQ(record_.remainingMinutes, 7);
}

// --- IP pool and IP change.

TEST_F(ExchangeTest, IpPoolRequestIsAFormWithEmptyMacAndSystemText) {
  record_.ipCode = "0";
  record_.vpnConnServerCode = "s1";
  record_.classCode = "서울a";
  internet_.ScriptEncoded("/Info/ip_pool_list.php", "101^1.2.3.4|");
  fakes::FakeWindow tab;
  protocol::FetchIpPool(ctx_, tab);
  const auto& req = OnlyRequest();
  EXPECT_EQ(req.object, "/Info/ip_pool_list.php");
  EXPECT_EQ(req.flags, protocol::kFormRequestFlags);
  EXPECT_EQ(req.sentHeaders, session::kRequestHeaders);
  EXPECT_EQ(req.body.substr(0, 4), "bin=");
  EXPECT_EQ(req.Params(),
            "client_code=tunra|id=kim|password=pw1|ccver=1185|ip_code=0|client_mac=|client_sysInfo="
            "|ping_check=0|session_key=12345|vpn_type=4|auth_mode=user|vpn_conn_server_code=s1"
            "|class_code=서울a");
}

TEST_F(ExchangeTest, IpPoolReplies) {
  struct Case { const char* reply; int result; std::string pool; Strings boxes; };
  const Case cases[] = {
      {"101^1.2.3.4|102^1.2.3.5|", 0, "101^1.2.3.4|102^1.2.3.5", {}},
      {"101 ^ 1.2.3.4|", 0, "101^1.2.3.4", {}},
      {"server_error=오류 발생", -1, "", {"아이피 정보 오류: 오류발생"}},
      {"x=1|server_error=busy|server_error=second", -1, "", {"아이피 정보 오류: busy"}},
      {nullptr, 0, "", {}},        // no reply: the list is emptied
      {"101^서울", 0, "101^서", {}},  // the last character goes whole
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply ? c.reply : "(status 500)");
    record_.ipPoolList = "old";
    fakes::FakeWindow tab;
    if (c.reply) internet_.ScriptEncoded("/Info/ip_pool_list.php", c.reply);
    else internet_.Script("/Info/ip_pool_list.php", {500, "", true, false});
    EXPECT_EQ(protocol::FetchIpPool(ctx_, tab), c.result);
    EXPECT_EQ(record_.ipPoolList, c.pool);
    EXPECT_EQ(BoxTexts(tab), c.boxes);  // owned by the calling window
    EXPECT_TRUE(main_.boxes().empty());
  }
}

TEST_F(ExchangeTest, IpChangeRequest) {
  internet_.ScriptEncoded("/ClientLogin/socket_change.php", "select_ip=1.2.3.4");
  std::string assigned;
  protocol::RequestIpChange(ctx_, "205", assigned);
  EXPECT_EQ(OnlyRequest().flags, protocol::kFormRequestFlags);
  EXPECT_EQ(OnlyRequest().Params(), "client_code=tunra|id=kim|password=pw1|ip_code=205");
}

TEST_F(ExchangeTest, IpChangeReplies) {
  // The exchange reports the assigned address; showing it is the caller's.
  struct Case { const char* reply; int result; std::string selected; std::string assigned; std::string pool; Strings boxes; };
  const Case cases[] = {
      {"select_ip=1.2.3.4", -1, "1.2.3.4", "1.2.3.4", "101^x", {}},
      {"result=ok|select_ip= 5.6.7.8 |", -1, "5.6.7.8", "5.6.7.8", "101^x", {}},
      {"select_ip=", 0, "before", "", "101^x", {}},
      {"select_ip=1.2.3.4|server_error=막힘", -1, "before", "", "", {"아이피 정보 오류: 막힘"}},
      {"result=ok", 0, "before", "", "101^x", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    fakes::FakeWindow main;
    protocol::ExchangeContext ctx{record_, web_,   main,   registry_, system_, facts_,
                                  tables_, shell_, files_, clock_,    hooks_};
    record_.selectedIp = "before";
    record_.ipPoolList = "101^x";
    internet_.ScriptEncoded("/ClientLogin/socket_change.php", c.reply);
    std::string assigned = "stale";
    EXPECT_EQ(protocol::RequestIpChange(ctx, "101", assigned), c.result);
    EXPECT_EQ(record_.selectedIp, c.selected);
    EXPECT_EQ(assigned, c.assigned);
    EXPECT_EQ(record_.ipPoolList, c.pool);
    EXPECT_EQ(BoxTexts(main), c.boxes);
  }
}

// --- Logout notice and event report.

TEST_F(ExchangeTest, LogoutSendsFourParameters) {
  record_.userLongId = "long-kim";
  internet_.ScriptEncoded("/ClientLogin/client_logout.php", "result=ok");
  protocol::SendLogout(ctx_, protocol::kLogoutByUser);
  EXPECT_EQ(OnlyRequest().flags, protocol::kFormRequestFlags);
  EXPECT_EQ(OnlyRequest().Params(), "ccver=1185|longid=kim|cccode=tunra|auth_mode=user");
  EXPECT_TRUE(main_.boxes().empty());
}

TEST_F(ExchangeTest, LogoutThatCannotBeSentSaysSo) {
  internet_.Script("/ClientLogin/client_logout.php", {200, "", true, true});
  protocol::SendLogout(ctx_, protocol::kLogoutByTunnel);
  EXPECT_EQ(OnlyRequest().body, "bin=" + protocol::EncodePayload("ccver=1185|longid=kim|cccode=tunra|auth_mode=vpn"));
  EXPECT_EQ(BoxTexts(main_), (Strings{"tunra: Web Send Error"}));
}

class EventReportTest : public ExchangeTest {
 protected:
  EventReportTest() {
    record_.userLongId = "l77";
    record_.programDir = "C:\\Program Files\\TUNRA";
    record_.openVpnLogName = "openvpn.log";
    internet_.ScriptEncoded("/ClientLogin/client_event_v1.php", "result=ok");
  }
  const std::string sys_ = "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n";
};

TEST_F(EventReportTest, CarriesReasonSystemReportAndTheWholeLog) {
  files_.Put("C:/Program Files/TUNRA/openvpn.log", "Initialization Sequence Completed\nroute a=b|c\r\nlast");
  protocol::SendEventReport(ctx_, protocol::kReasonServerForce);
  EXPECT_EQ(OnlyRequest().flags, protocol::kFormRequestFlags);
  EXPECT_EQ(OnlyRequest().object, "/ClientLogin/client_event_v1.php");
  EXPECT_EQ(OnlyRequest().Params(),
            "client_code=tunra|client_id=l77|event=<<<<<<  Version =  1185  OPEN_STATUS : VPN SERVER FORCE ERROR "
            " >>>>>>\r\n" + sys_ + "\r\nInitialization Sequence Completed\r\nroute a=b|c\r\nlast\r\n");
}

TEST_F(EventReportTest, WithoutALogTheEventEndsAfterTheSystemReport) {
  protocol::SendEventReport(ctx_, protocol::kReasonConnectError);
  EXPECT_EQ(OnlyRequest().Params(),
            "client_code=tunra|client_id=l77|event=<<<<<<  Version =  1185  OPEN VPN CONNECT ERROR >>>>>>\r\n" +
                sys_ + "\r\n");
}

}  // namespace
