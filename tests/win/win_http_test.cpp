// The HTTP client over the WinINet transport against the scripted server of the peer
// tests, under Wine. http_server_wrapper.py runs this program while the server listens
// on three loopback addresses: one sends each answer's head and body in separate writes,
// one in one write (one packet), one never accepts (its backlog is full).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/session_record.h"
#include "peer/http_edge_cases.h"
#include "platform/win32/win32_internet.h"
#include "protocol/payload_codec.h"
#include "protocol/web_mgmt.h"

namespace {

constexpr const char* kSplitAddress = TUNRA_HTTP_SPLIT_ADDRESS;
constexpr const char* kOnePacketAddress = TUNRA_HTTP_ONE_PACKET_ADDRESS;
constexpr const char* kDeadAddress = TUNRA_HTTP_DEAD_ADDRESS;  // nothing listens here
constexpr const char* kFullQueueAddress = TUNRA_HTTP_FULL_QUEUE_ADDRESS;

class WinHttpClient : public ::testing::TestWithParam<const char*> {
 protected:
  platform::win32::Win32Internet internet_{peer::kTestTimeouts};
  std::vector<std::string> messages_;
  protocol::CWebMgmt web_{internet_, session::kRequestHeaders, "tunra",
                          [this](const std::string& text, const std::string& caption) {
                            messages_.push_back(caption + ": " + text);
                          }};
};

TEST_P(WinHttpClient, QueryFormEdgeCases) {
  peer::ExpectQueryFormEdgeCases(web_, GetParam());
  EXPECT_TRUE(messages_.empty());
}

TEST_P(WinHttpClient, FormFormLineReading) {
  peer::ExpectFormFormLineReading(web_, GetParam());
  EXPECT_TRUE(messages_.empty());
}

INSTANTIATE_TEST_SUITE_P(HeadAndBody, WinHttpClient, ::testing::Values(kSplitAddress, kOnePacketAddress),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "SeparateWrites" : "OnePacket");
                         });

// Wine honours the receive limit only when it is set on the connection or the request,
// and ignores the connect limit: the transport sets the limits on every handle and, under
// Wine, opens a connection of its own first to bound the connect.
TEST(WinHttpLimits, StalledServersGiveUpWithinTheLimits) {
  platform::win32::Win32Internet internet(peer::kTestTimeouts);
  std::vector<std::string> messages;
  protocol::CWebMgmt web(internet, session::kRequestHeaders, "tunra",
                         [&](const std::string& text, const std::string& caption) {
                           messages.push_back(caption + ": " + text);
                         });
  peer::ExpectStalledServersGiveUp(web, kSplitAddress, kFullQueueAddress, messages);
  EXPECT_EQ(web.SendQueryRequest(peer::Url(kFullQueueAddress, "/ok")), "");
  EXPECT_EQ(web.last_error(), platform::kInternetErrorTimeout);
}

// Without the connect probe, Wine's own connect to a server that never answers the SYN
// would block for minutes: the probe alone bounds it.
TEST(WinHttpLimits, ConnectProbe) {
  EXPECT_FALSE(platform::win32::ConnectsWithin(kFullQueueAddress, 80, 500));
  EXPECT_TRUE(platform::win32::ConnectsWithin(kSplitAddress, 80, 500));
  EXPECT_TRUE(platform::win32::ConnectsWithin(kDeadAddress, 80, 500));  // refused: WinINet says so itself
}

TEST(WinHttpLimits, ProductionLimits) {
  const platform::win32::Win32Internet internet;
  EXPECT_EQ(internet.timeouts().connectMs, platform::kDefaultInternetTimeouts.connectMs);
  EXPECT_EQ(internet.timeouts().sendMs, platform::kDefaultInternetTimeouts.sendMs);
  EXPECT_EQ(internet.timeouts().receiveMs, platform::kDefaultInternetTimeouts.receiveMs);
  EXPECT_EQ(internet.timeouts().requestMs, platform::kDefaultInternetTimeouts.requestMs);
}

// The request line of an echoed request, without its CR LF.
std::string RequestLine(const std::string& echo) { return echo.substr(0, echo.find("\r\n")); }

TEST(WinHttpRequest, CarriesTheEncodedTextRawAndTheHeaderBlock) {
  platform::win32::Win32Internet internet;
  protocol::CWebMgmt web(internet, session::kRequestHeaders, "tunra", nullptr);
  const std::string encoded = protocol::EncodePayload("id=kim|pw=a,b");

  const std::string query = web.SendQueryRequest(peer::Url(kSplitAddress, "/echo?bin=" + encoded));
  EXPECT_EQ(RequestLine(query), "POST /echo?bin=" + encoded + " HTTP/1.0");
  // Both lines of the header block are sent (WinINet may order and add headers itself).
  const std::string headers = session::kRequestHeaders;
  const std::size_t split = headers.find("\r\n");
  EXPECT_NE(query.find(headers.substr(0, split + 2)), std::string::npos);
  EXPECT_NE(query.find(headers.substr(split + 2) + "\r\n"), std::string::npos);

  const std::string form = web.SendFormRequest(peer::Url(kSplitAddress, "/echo"), "bin=" + encoded);
  EXPECT_EQ(form.substr(0, form.find('\n')), "POST /echo HTTP/1.0\r");
  EXPECT_NE(form.find("Content-Length: " + std::to_string(4 + encoded.size())), std::string::npos);
  EXPECT_NE(form.find(headers.substr(split + 2) + "\r\n"), std::string::npos);
  EXPECT_EQ(form.substr(form.size() - encoded.size() - 6), "bin=" + encoded + "\n\n");
}

// Control bytes inside the object reach the wire raw. A trailing run of them would be
// dropped when the request is opened; it is sent escaped instead, so its bytes survive
// for a server that decodes the query.
TEST(WinHttpRequest, TrailingControlBytesOfTheObjectSurviveEscaped) {
  // The last encoded character comes from the text's first byte: a text that starts
  // with a Hanja character (lead byte 0xF8 and above) ends in 0x10 or 0x04.
  const std::string encoded = protocol::EncodePayload("\xFA\xA1|id=kim");
  ASSERT_LT(static_cast<unsigned char>(encoded.back()), 0x20);

  const struct {
    std::string object;
    std::string onWire;
  } rows[] = {
      {"/echo?bin=AB\x14\x10\x04" "CD", "/echo?bin=AB\x14\x10\x04" "CD"},
      {"/echo?bin=AB\x14\x10\x04", "/echo?bin=AB%14%10%04"},
      {"/echo?bin=\xB0\xA1z\x7F\x80\xFF", "/echo?bin=\xB0\xA1z\x7F\x80\xFF"},  // bytes outside ASCII stay raw
      {"/echo?bin=" + encoded, platform::win32::EscapeTrailingControls("/echo?bin=" + encoded)},
  };
  platform::win32::Win32Internet escaping(true);
  protocol::CWebMgmt web(escaping, session::kRequestHeaders, "tunra", nullptr);
  for (const auto& r : rows)
    EXPECT_EQ(RequestLine(web.SendQueryRequest(peer::Url(kSplitAddress, r.object))), "POST " + r.onWire + " HTTP/1.0")
        << r.object;
  EXPECT_EQ(platform::win32::EscapeTrailingControls("/a?b=\x14 \x01"), "/a?b=%14%20%01");
  EXPECT_EQ(platform::win32::EscapeTrailingControls("/a?b=x"), "/a?b=x");
}

TEST(WinHttpRequest, RefusedConnectionIsASendFailure) {
  platform::win32::Win32Internet internet;
  std::vector<std::string> messages;
  protocol::CWebMgmt web(internet, session::kRequestHeaders, "tunra",
                         [&](const std::string& text, const std::string& caption) {
                           messages.push_back(caption + ": " + text);
                         });
  EXPECT_EQ(web.SendQueryRequest(peer::Url(kDeadAddress, "/ok")), "");
  EXPECT_TRUE(messages.empty());  // the query form shows nothing
  EXPECT_EQ(web.last_error(), platform::kInternetErrorCannotConnect);
  EXPECT_EQ(web.SendFormRequest(peer::Url(kDeadAddress, "/ok"), "bin=x"), "");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "tunra: Web Send Error");
  EXPECT_EQ(web.last_error(), platform::kInternetErrorCannotConnect);
}

TEST(WinHttpRequest, MissingHeaderAndClosedHandleErrors) {
  platform::win32::Win32Internet internet;
  const auto session = internet.Open("tunra", platform::kInternetOpenTypePreconfig, 0);
  ASSERT_NE(session, 0u);
  const auto connection = internet.Connect(session, kSplitAddress, 80, platform::kInternetServiceHttp);
  ASSERT_NE(connection, 0u);
  const auto request = internet.OpenRequest(connection, "POST", "/nolength", "HTTP/1.0", protocol::kQueryRequestFlags);
  ASSERT_NE(request, 0u);
  ASSERT_TRUE(internet.SendRequest(request, "", ""));
  std::string value;
  ASSERT_TRUE(internet.QueryInfo(request, platform::kHttpQueryStatusCode, value));
  EXPECT_EQ(value, "200");
  EXPECT_FALSE(internet.QueryInfo(request, platform::kHttpQueryContentLength, value));
  EXPECT_EQ(internet.LastError(), platform::kHttpErrorHeaderNotFound);
  // One read fills its buffer across the server's writes.
  std::string body;
  std::uint32_t read = 0;
  ASSERT_TRUE(internet.ReadFile(request, 2500, body, read));
  EXPECT_EQ(read, 2500u);
  EXPECT_EQ(body.size(), 2500u);
  EXPECT_TRUE(internet.CloseHandle(request));
  EXPECT_TRUE(internet.CloseHandle(connection));
  EXPECT_TRUE(internet.CloseHandle(session));
  EXPECT_FALSE(internet.CloseHandle(session));
  EXPECT_EQ(internet.LastError(), 6);  // ERROR_INVALID_HANDLE
}

}  // namespace
