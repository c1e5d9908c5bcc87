// The HTTP client's edge cases against the scripted server (raw_http_server.py), shared
// by the socket transport's peer test and the WinINet transport's test under Wine.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/internet.h"
#include "protocol/web_mgmt.h"

namespace peer {

// The limits the tests give both transports: a stalled server then costs a second, and
// a test that would hang on a missing limit gives up as soon.
inline constexpr platform::InternetTimeouts kTestTimeouts{1000, 1000, 1000, 4000};

inline std::string Url(const std::string& address, const std::string& path) { return "http://" + address + path; }

// Query form: read by Content-Length in chunks, no redirect, port 80 whatever the URL; a
// body that ends before its Content-Length is no reply.
inline void ExpectQueryFormEdgeCases(protocol::CWebMgmt& web, const std::string& address) {
  EXPECT_EQ(web.SendQueryRequest(Url(address, "/nolength")).size(), 3000u);  // no Content-Length: to the end
  struct Row { const char* path; std::string reply; };
  const Row rows[] = {
      {"/ok", "a=1|b"},
      {"/short", "abcd"},        // Content-Length smaller than the body
      {"/zerolength", ""},
      {"/empty", ""},
      {"/redirect", ""},         // a 302 is not followed
      {"/status500", ""},
      {"/zerobyte", "abtail"},   // a zero byte drops the rest of its 1024-byte chunk
      {"/close-early", ""},       // 10 of 100 bytes, then the connection closes
  };
  for (const Row& r : rows) EXPECT_EQ(web.SendQueryRequest(Url(address, r.path)), r.reply) << r.path;
  EXPECT_EQ(web.SendQueryRequest(Url(address + ":8080", "/ok")), "a=1|b");  // port 80 regardless
}

// Form form: lines up to the first empty one, CRs kept, one LF per line; no redirect, and
// a body that ends before its Content-Length is no reply.
inline void ExpectFormFormLineReading(protocol::CWebMgmt& web, const std::string& address) {
  struct Row { const char* path; std::string reply; };
  const Row rows[] = {
      {"/form-crlf", "a=1\r\nb=2\r\n\n"},  // CRs kept, one LF added at the end
      {"/form-blank", "a=1\n\n"},          // cut at the blank line
      {"/form-nolf", "a=1\nb=2\n\n"},
      {"/empty", "\n"},
      {"/status500", ""},
      {"/redirect", ""},
      {"/close-early", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(web.SendFormRequest(Url(address, r.path), "bin=x"), r.reply) << r.path;
}

// Servers that stop answering. Each exchange gives up within the limits (kTestTimeouts)
// and yields what any failed exchange yields: the empty text, also when part of the
// body came before it stalled; the form form shows its one message when the request
// itself fails. Each row's time shows that its limit ended it: at least that
// limit, and less than the limit of the whole request.
// `fullQueueAddress` never accepts (its backlog is full), so a connection there hangs.
inline void ExpectStalledServersGiveUp(protocol::CWebMgmt& web, const std::string& address,
                                       const std::string& fullQueueAddress, std::vector<std::string>& messages) {
  using Clock = std::chrono::steady_clock;
  const auto elapsedMs = [](Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  };
  struct Row {
    bool form;
    std::string url;
    std::string reply;
    std::uint32_t limitMs;  // the limit that ends it
    bool sendError;         // the form form's "Web Send Error"
  };
  const std::string full = fullQueueAddress;
  const Row rows[] = {
      {false, Url(address, "/silent"), "", kTestTimeouts.receiveMs, false},
      {true, Url(address, "/silent"), "", kTestTimeouts.receiveMs, true},
      {false, Url(address, "/silent-body"), "", kTestTimeouts.receiveMs, false},
      {true, Url(address, "/silent-body"), "", kTestTimeouts.receiveMs, false},
      {false, Url(full, "/ok"), "", kTestTimeouts.connectMs, false},
      {true, Url(full, "/ok"), "", kTestTimeouts.connectMs, true},
  };
  for (const Row& r : rows) {
    messages.clear();
    const Clock::time_point start = Clock::now();
    const std::string reply = r.form ? web.SendFormRequest(r.url, "bin=x") : web.SendQueryRequest(r.url);
    const auto tookMs = elapsedMs(start);
    const std::string name = std::string(r.form ? "form " : "query ") + r.url;
    EXPECT_EQ(reply, r.reply) << name;
    EXPECT_GE(tookMs, r.limitMs * 9 / 10) << name;
    EXPECT_LT(tookMs, kTestTimeouts.requestMs) << name;
    EXPECT_EQ(messages, r.sendError ? std::vector<std::string>{"tunra: Web Send Error"} : std::vector<std::string>{})
        << name;
  }

  // A body that trickles in, one byte at a time, never lets a single wait reach the
  // receive limit: the limit of the whole request ends it, and the part that came is
  // no reply.
  const Clock::time_point start = Clock::now();
  const std::string reply = web.SendQueryRequest(Url(address, "/trickle"));
  const auto tookMs = elapsedMs(start);
  EXPECT_GE(tookMs, kTestTimeouts.requestMs * 9 / 10);
  EXPECT_LT(tookMs, kTestTimeouts.requestMs + kTestTimeouts.receiveMs + 1000);
  EXPECT_EQ(reply, "");
}

}  // namespace peer
