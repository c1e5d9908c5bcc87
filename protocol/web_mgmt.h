// The HTTP client of every back-end exchange, over the WinINet-level interface.
//
// Two request forms, both POST over HTTP/1.0 to port 80 whatever the URL says:
//   query form  - parameters in the URL after "?bin="; no body; the answer is read by
//                 its Content-Length in chunks of at most 1024 bytes;
//   form form   - parameters in the body after "bin="; the answer is read line by line
//                 up to the first empty line, each line given back with one LF.
// Neither retries; every failure gives the empty reply. A body that could not be read to
// its end (a failed read, or an end before its Content-Length) is such a failure: half
// a reply parses as another one (a login without its first fields, a pool without its
// last records, an address cut short). Neither form follows a redirect (a forged reply
// must not send the request's body, a password among it, to another host) or leaves
// its reply in the user's web cache.
#pragma once

#include <functional>
#include <string>

#include "platform/internet.h"

namespace protocol {

class CWebMgmt {
 public:
  // Shows a message box (text, caption) owned by the main window.
  using ShowMessage = std::function<void(const std::string& text, const std::string& caption)>;

  // `app_name` is the session's agent name and the caption of the one message.
  CWebMgmt(platform::IInternet& internet, std::string request_headers, std::string app_name,
           ShowMessage show_message);
  virtual ~CWebMgmt() = default;

  std::string SendQueryRequest(const std::string& url);
  std::string SendFormRequest(const std::string& url, const std::string& body);

  // The error code of the last platform failure, kept for diagnosis only.
  long last_error() const { return last_error_; }

 private:
  class Exchange;

  platform::IInternet& internet_;
  std::string request_headers_;
  std::string app_name_;
  ShowMessage show_message_;
  long last_error_ = 0;
};

// Splits an http URL into the server name (without a port) and the object (path and
// query, "/" when empty), as InternetCrackUrlA does. Nothing is escaped or unescaped.
bool SplitHttpUrl(const std::string& url, std::string& server, std::string& object);

inline constexpr std::uint32_t kQueryRequestFlags = 0x04200002;  // no cache write, no redirect, binary
inline constexpr std::uint32_t kFormRequestFlags = 0x24200000;   // existing connect, no cache write, no redirect
inline constexpr int kUnknownLength = 100000000;

}  // namespace protocol
