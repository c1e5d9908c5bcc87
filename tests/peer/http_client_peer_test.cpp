// The HTTP client over real sockets against a scripted server on loopback port 80.
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/session_record.h"
#include "peer/http_edge_cases.h"
#include "peer/loopback_server.h"
#include "platform/posix/posix_internet.h"
#include "protocol/payload_codec.h"
#include "protocol/web_mgmt.h"

namespace {

constexpr const char* kAddress = "127.0.0.61";
constexpr const char* kDeadAddress = "127.0.0.62";       // nothing listens here
constexpr const char* kFullQueueAddress = "127.0.0.63";  // listens, never accepts

// The scripted server, and the same program listening with a full backlog.
class RawServers {
 public:
  bool Start() {
    const std::string script = TUNRA_SOURCE_DIR "/tests/peer/raw_http_server.py";
    if (!server_.Start({TUNRA_PYTHON, script, kAddress, "80"}, kAddress)) {
      error_ = server_.error();
      return false;
    }
    if (!full_queue_.Start({TUNRA_PYTHON, script, kFullQueueAddress, "80", "--full-queue"}, kFullQueueAddress)) {
      error_ = full_queue_.error();
      return false;
    }
    return true;
  }
  const std::string& error() const { return error_; }

 private:
  peer::LoopbackServer server_, full_queue_;
  std::string error_;
};

class HttpClientPeer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!peer::CanListenOnPort80()) return;
    servers_ = new RawServers;
    if (!servers_->Start()) start_error_ = servers_->error();
  }
  static void TearDownTestSuite() {
    delete servers_;
    servers_ = nullptr;
  }
  void SetUp() override {
    if (!peer::CanListenOnPort80())
      GTEST_SKIP() << "this user may not listen on port 80 (scripts/setup says how to allow it)";
    ASSERT_TRUE(start_error_.empty()) << "the scripted server did not start: " << start_error_;
  }

  std::string Url(const std::string& path, const char* address = kAddress) {
    return std::string("http://") + address + path;
  }

  platform::PosixInternet internet_{peer::kTestTimeouts};
  std::vector<std::string> messages_;
  protocol::CWebMgmt web_{internet_, session::kRequestHeaders, "tunra",
                          [this](const std::string& text, const std::string& caption) {
                            messages_.push_back(caption + ": " + text);
                          }};
  static RawServers* servers_;
  static std::string start_error_;
};

RawServers* HttpClientPeer::servers_ = nullptr;
std::string HttpClientPeer::start_error_;

TEST_F(HttpClientPeer, QueryFormEdgeCases) {
  peer::ExpectQueryFormEdgeCases(web_, kAddress);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientPeer, FormFormLineReading) {
  peer::ExpectFormFormLineReading(web_, kAddress);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientPeer, StalledServersGiveUpWithinTheLimits) {
  peer::ExpectStalledServersGiveUp(web_, kAddress, kFullQueueAddress, messages_);
  // The socket transport reports a time-out as WinINet does.
  EXPECT_EQ(web_.SendQueryRequest(Url("/silent")), "");
  EXPECT_EQ(web_.last_error(), platform::kInternetErrorTimeout);
  EXPECT_EQ(web_.SendQueryRequest(Url("/ok", kFullQueueAddress)), "");
  EXPECT_EQ(web_.last_error(), platform::kInternetErrorTimeout);
}

TEST_F(HttpClientPeer, RequestsCarryTheEncodedTextRawAndTheHeaderBlock) {
  const std::string encoded = protocol::EncodePayload("id=kim|pw=a,b");
  const std::string query = web_.SendQueryRequest(Url("/echo?bin=" + encoded));
  EXPECT_EQ(query.substr(0, query.find("\r\n")), "POST /echo?bin=" + encoded + " HTTP/1.0");
  EXPECT_NE(query.find(std::string(session::kRequestHeaders) + "\r\n"), std::string::npos);

  const std::string form = web_.SendFormRequest(Url("/echo"), "bin=" + encoded);
  EXPECT_EQ(form.substr(0, form.find('\n')), "POST /echo HTTP/1.0\r");  // CR kept by line reading
  EXPECT_NE(form.find("Content-Length: " + std::to_string(4 + encoded.size())), std::string::npos);
  // The blank line of the echoed head is "\r" (CR kept), so the body is read too.
  EXPECT_EQ(form.substr(form.size() - encoded.size() - 6), "bin=" + encoded + "\n\n");
}

TEST_F(HttpClientPeer, RefusedConnection) {
  EXPECT_EQ(web_.SendQueryRequest(Url("/ok", kDeadAddress)), "");
  EXPECT_TRUE(messages_.empty());  // the query form shows nothing
  EXPECT_EQ(web_.SendFormRequest(Url("/ok", kDeadAddress), "bin=x"), "");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "tunra: Web Send Error");
  EXPECT_EQ(web_.last_error(), platform::kInternetErrorCannotConnect);
}

// The production limits: a login over a slow mobile link still gets through, a silent
// server holds the window for 20 s, not for ever (reasons in platform/internet.h).
TEST(InternetTimeouts, ProductionLimits) {
  const platform::InternetTimeouts& limits = platform::kDefaultInternetTimeouts;
  EXPECT_EQ(limits.connectMs, 15000u);
  EXPECT_EQ(limits.sendMs, 20000u);
  EXPECT_EQ(limits.receiveMs, 20000u);
  EXPECT_EQ(limits.requestMs, 60000u);
  const platform::PosixInternet transport;
  EXPECT_EQ(transport.timeouts().connectMs, limits.connectMs);
  EXPECT_EQ(transport.timeouts().sendMs, limits.sendMs);
  EXPECT_EQ(transport.timeouts().receiveMs, limits.receiveMs);
  EXPECT_EQ(transport.timeouts().requestMs, limits.requestMs);
}

TEST(HttpUrl, SplitLikeCrackUrl) {
  struct Row { const char* url; bool ok; const char* server; const char* object; };
  const Row rows[] = {
      {"http://1.2.3.4/a/b.php?bin=x", true, "1.2.3.4", "/a/b.php?bin=x"},
      {"http://host:8080/x", true, "host", "/x"},
      {"HTTP://host", true, "host", "/"},
      {"http://host?bin=1", true, "host", "/?bin=1"},
      {"ftp://host/x", false, "", ""},
      {"http:///x", false, "", ""},
  };
  for (const Row& r : rows) {
    std::string server, object;
    EXPECT_EQ(protocol::SplitHttpUrl(r.url, server, object), r.ok) << r.url;
    if (r.ok) {
      EXPECT_EQ(server, r.server) << r.url;
      EXPECT_EQ(object, r.object) << r.url;
    }
  }
}

}  // namespace
