// The HTTP client's edge cases against the scripted server (raw_http_server.py), shared
// by the socket transport's peer test and the WinINet transport's test under Wine.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "protocol/web_mgmt.h"

namespace peer {

inline std::string Url(const std::string& address, const std::string& path) { return "http://" + address + path; }

// Query form: read by Content-Length in chunks, no redirect, port 80 whatever the URL.
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
      {"/close-early", "0123456789"},
  };
  for (const Row& r : rows) EXPECT_EQ(web.SendQueryRequest(Url(address, r.path)), r.reply) << r.path;
  EXPECT_EQ(web.SendQueryRequest(Url(address + ":8080", "/ok")), "a=1|b");  // port 80 regardless
}

// Form form: lines up to the first empty one, CRs kept, one LF per line.
inline void ExpectFormFormLineReading(protocol::CWebMgmt& web, const std::string& address) {
  struct Row { const char* path; std::string reply; };
  const Row rows[] = {
      {"/form-crlf", "a=1\r\nb=2\r\n\n"},  // CRs kept, one LF added at the end
      {"/form-blank", "a=1\n\n"},          // cut at the blank line
      {"/form-nolf", "a=1\nb=2\n\n"},
      {"/empty", "\n"},
      {"/status500", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(web.SendFormRequest(Url(address, r.path), "bin=x"), r.reply) << r.path;
}

}  // namespace peer
