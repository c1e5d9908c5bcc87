// The exchanges over the socket transport against the reference back end on loopback
// port 80: what the back end decodes is compared byte for byte with the parameter
// texts, and the session record with what the demo account's replies carry.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "platform/posix/posix_internet.h"
#include "protocol/event_report.h"
#include "protocol/ip_change.h"
#include "protocol/ip_pool.h"
#include "fakes/exchange_rig.h"
#include "peer/loopback_server.h"
#include "protocol/logout.h"
#include "protocol/user_check.h"

namespace {

constexpr const char* kAddress = "127.0.0.71";

class Backend {
 public:
  explicit Backend(std::string record) : record_(std::move(record)) {}
  bool Start() {
    return server_.Start({TUNRA_PYTHON, TUNRA_SOURCE_DIR "/backend/tunra_backend.py", kAddress, "--record",
                          record_, "--time-limit", "300"},
                         kAddress);
  }
  ~Backend() {
    server_.Stop();
    std::remove(record_.c_str());
  }
  const std::string& error() const { return server_.error(); }

  // A string field of the last recorded request (the values the tests read hold no
  // escaped quotes).
  std::string LastField(const std::string& key) const {
    std::ifstream in(record_);
    std::string line, last;
    while (std::getline(in, line))
      if (!line.empty()) last = line;
    const std::string marker = "\"" + key + "\": \"";
    const std::size_t start = last.find(marker);
    if (start == std::string::npos) return "(no " + key + ")";
    const std::size_t from = start + marker.size();
    return last.substr(from, last.find('"', from) - from);
  }

 private:
  std::string record_;
  peer::LoopbackServer server_;
};

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

class ExchangesPeer : public ::testing::Test, protected fakes::ExchangeRig<platform::PosixInternet> {
 protected:
  static void SetUpTestSuite() {
    if (!peer::CanListenOnPort80()) return;
    backend_ = new Backend("/tmp/tunra_exchanges_peer_" + std::to_string(getpid()) + ".jsonl");
    if (!backend_->Start()) {
      start_error_ = backend_->error();
      delete backend_;
      backend_ = nullptr;
    }
  }
  static void TearDownTestSuite() {
    delete backend_;
    backend_ = nullptr;
  }
  void SetUp() override {
    if (!peer::CanListenOnPort80())
      GTEST_SKIP() << "this user may not listen on port 80 (scripts/setup says how to allow it)";
    ASSERT_NE(backend_, nullptr) << "the reference back end did not start: " << start_error_;
    record_.clientCode = "tunra";
    record_.userId = "demo";
    record_.password = "demo1234";
    record_.webHost = kAddress;
    record_.sessionKey = "4242";
    record_.authMode = "user";
    record_.programDir = "C:\\tunra";
    record_.openVpnLogName = "openvpn.log";
    facts_.productType = 48;  // Professional
    platform::AdapterInfo lan;
    lan.index = 3;
    lan.description = "LAN";
    lan.address = std::string("\x02\x00\x5e\x10\x20\x30", 6);
    lan.ipAddresses = {"192.0.2.10"};
    tables_.adapters = {lan};
    tables_.bestRoute.ifIndex = 3;
  }

  fakes::FakeWindow tab_;
  static Backend* backend_;
  static std::string start_error_;
};

Backend* ExchangesPeer::backend_ = nullptr;
std::string ExchangesPeer::start_error_;

TEST_F(ExchangesPeer, DemoSessionFromLoginToLogout) {
  const std::string sysInfo = protocol::SystemReport(system_, facts_, registry_, tables_);
  ASSERT_EQ(sysInfo, "Windows 7 , Professional, x64, Service Pack 1\r\n#1. LAN (192.0.2.10)\r\n");

  // Login.
  ASSERT_EQ(protocol::UserCheck(ctx_), protocol::kUserCheckOk);
  EXPECT_EQ(backend_->LastField("path"), "/clientlogin/user_check_v1.php");
  EXPECT_EQ(backend_->LastField("form"), "query");
  EXPECT_EQ(backend_->LastField("text_hex"),
            Hex("client_code=tunra|id=demo|password=demo1234|ccver=1185|ip_code=0|client_mac=02005E102030"
                "|client_sysInfo=" + sysInfo +
                "|ping_check=0|session_key=4242|vpn_type=4|auth_mode=user|vpn_conn_server_code=|ip_change_type=0"));
  EXPECT_EQ(record_.vpnType, 4);
  EXPECT_EQ(record_.serverIp, "127.0.0.1");
  EXPECT_EQ(record_.gatewayIp, "10.8.0.1");
  EXPECT_EQ(record_.vpnPort, "1194");
  EXPECT_EQ(record_.routeList, "10.8.0.0/255.255.255.0");
  EXPECT_EQ(record_.userLongId, "demo");
  EXPECT_EQ(record_.useSelect, 1);
  EXPECT_EQ(record_.vpnServerList.substr(0, 4), "서울");
  EXPECT_NE(record_.serviceEndDate, session::kNoEndDate);
  EXPECT_GT(record_.remainingMinutes, 29 * 24 * 60);
  EXPECT_EQ(record_.replyHasZeroIp, 0);
  EXPECT_TRUE(hooks_.calls.empty());  // OpenVPN with auth mode "user": no adapter check yet

  // The whole pool.
  EXPECT_EQ(protocol::FetchIpPool(ctx_, tab_), 0);
  EXPECT_EQ(backend_->LastField("path"), "/info/ip_pool_list.php");
  EXPECT_EQ(backend_->LastField("form"), "body");
  EXPECT_EQ(backend_->LastField("text_hex"),
            Hex("client_code=tunra|id=demo|password=demo1234|ccver=1185|ip_code=0|client_mac=|client_sysInfo="
                "|ping_check=0|session_key=4242|vpn_type=4|auth_mode=user|vpn_conn_server_code=|class_code="));
  EXPECT_EQ(record_.ipPoolList.substr(0, 34), "101^203.0.113.11|102^203.0.113.12|");
  EXPECT_NE(record_.ipPoolList.back(), '|');

  // An IP change.
  std::string assigned;
  EXPECT_EQ(protocol::RequestIpChange(ctx_, "102", assigned), -1);
  EXPECT_EQ(backend_->LastField("path"), "/clientlogin/socket_change.php");
  EXPECT_EQ(backend_->LastField("text_hex"), Hex("client_code=tunra|id=demo|password=demo1234|ip_code=102"));
  EXPECT_EQ(record_.selectedIp, "203.0.113.12");
  EXPECT_EQ(assigned, "203.0.113.12");

  // An event report with a log, then the logout notice.
  files_.Put("C:/tunra/openvpn.log", "line one\nkey=value|x\n");
  protocol::SendEventReport(ctx_, protocol::kReasonProcessKilled);
  EXPECT_EQ(backend_->LastField("path"), "/clientlogin/client_event_v1.php");
  EXPECT_EQ(backend_->LastField("text_hex"),
            Hex("client_code=tunra|client_id=demo|event=<<<<<<  Version =  1185  OPEN_STATUS : OPEN VPN Process "
                "Kill ERROR  >>>>>>\r\n" + sysInfo + "\r\nline one\r\nkey=value|x\r\n"));

  protocol::SendLogout(ctx_, protocol::kLogoutByUser);
  EXPECT_EQ(backend_->LastField("path"), "/clientlogin/client_logout.php");
  EXPECT_EQ(backend_->LastField("form"), "body");
  EXPECT_EQ(backend_->LastField("text_hex"), Hex("ccver=1185|longid=demo|cccode=tunra|auth_mode=user"));

  EXPECT_TRUE(main_.boxes().empty());
  EXPECT_TRUE(tab_.boxes().empty());
}

TEST_F(ExchangesPeer, RefusedAndSuspendedAccounts) {
  struct Case { const char* id; const char* password; int result; const char* box; };
  const Case cases[] = {
      {"demo", "wrong", protocol::kUserCheckRefused, "CODE-007 : 인증 실패"},
      {"stop", "stop1234", protocol::kUserCheckSuspended,
       "CODE-008 :고객님 서비스는 일시 정지 상태입니다.  \n\n고객 센터로 문의 바랍니다."},
  };
  for (const Case& c : cases) {
    fakes::FakeWindow main;
    protocol::ExchangeContext ctx{record_, web_,   main,   registry_, system_, facts_,
                                  tables_, shell_, files_, clock_,    hooks_};
    record_.userId = c.id;
    record_.password = c.password;
    EXPECT_EQ(protocol::UserCheck(ctx), c.result) << c.id;
    ASSERT_EQ(main.boxes().size(), 1u) << c.id;
    EXPECT_EQ(main.boxes()[0].text, c.box);
  }
}

TEST_F(ExchangesPeer, ServerMessagesAndAnExhaustedAccount) {
  record_.userId = "notice";
  record_.password = "notice1234";
  EXPECT_EQ(protocol::UserCheck(ctx_), protocol::kUserCheckFailed);
  EXPECT_EQ(record_.loginRetryCount, 3);
  EXPECT_EQ(main_.boxes().size(), 1u);
  ASSERT_EQ(shell_.executed.size(), 1u);
  EXPECT_EQ(shell_.executed[0].file, "http://127.0.0.71/customer/notice.php");
  EXPECT_EQ(hooks_.calls, std::vector<std::string>{"StopProgress"});

  record_.userId = "expired";
  record_.password = "expired1234";
  EXPECT_EQ(protocol::UserCheck(ctx_), protocol::kUserCheckFailed);
  ASSERT_EQ(shell_.executed.size(), 2u);
  EXPECT_EQ(shell_.executed[1].file, "http://" TUNRA_WEB_HOST "/customer/faq.php");
}

}  // namespace
