#include "protocol/web_mgmt.h"

#include <algorithm>
#include <utility>

#include "text/cp949.h"

namespace protocol {

// One exchange's session, connection and request, closed in that reverse order.
class CWebMgmt::Exchange {
 public:
  Exchange(CWebMgmt& owner) : owner_(owner), net_(owner.internet_) {}
  ~Exchange() {
    if (request_) net_.CloseHandle(request_);
    if (connection_) net_.CloseHandle(connection_);
    if (session_) net_.CloseHandle(session_);
  }

  // Opens the session, splits the URL, connects (port 80) and opens a POST request.
  bool Open(const std::string& url, std::uint32_t flags) {
    session_ = net_.Open(owner_.app_name_, platform::kInternetOpenTypePreconfig, 0);
    if (!session_) return Fail();
    std::string server, object;
    if (!SplitHttpUrl(url, server, object)) return Fail();
    connection_ = net_.Connect(session_, server, platform::kInternetDefaultHttpPort,
                               platform::kInternetServiceHttp);
    if (!connection_) return Fail();
    request_ = net_.OpenRequest(connection_, "POST", object, "HTTP/1.0", flags);
    if (!request_) return Fail();
    return true;
  }

  bool StatusIs200() {
    std::string status;
    if (!net_.QueryInfo(request_, platform::kHttpQueryStatusCode, status)) return Fail();
    return text::AtoI(status) == 200;
  }

  bool Fail() {
    owner_.last_error_ = net_.LastError();
    return false;
  }

  platform::InternetHandle request() const { return request_; }

 private:
  CWebMgmt& owner_;
  platform::IInternet& net_;
  platform::InternetHandle session_ = 0, connection_ = 0, request_ = 0;
};

CWebMgmt::CWebMgmt(platform::IInternet& internet, std::string request_headers, std::string app_name,
                   ShowMessage show_message)
    : internet_(internet),
      request_headers_(std::move(request_headers)),
      app_name_(std::move(app_name)),
      show_message_(std::move(show_message)) {}

std::string CWebMgmt::SendQueryRequest(const std::string& url) {
  std::string reply;
  Exchange ex(*this);
  if (!ex.Open(url, kQueryRequestFlags)) return reply;
  if (!internet_.AddRequestHeaders(ex.request(), request_headers_, platform::kHttpAddreqFlagAddIfNew) ||
      !internet_.SendRequest(ex.request(), "", "")) {
    ex.Fail();
    return reply;
  }
  if (!ex.StatusIs200()) return reply;

  std::string length_text;
  const bool length_known = internet_.QueryInfo(ex.request(), platform::kHttpQueryContentLength, length_text);
  const int expected = length_known ? text::AtoI(length_text) : kUnknownLength;
  long long got = 0;
  int chunk = std::min(1024, expected);
  std::string piece;
  while (got < expected) {
    piece.clear();
    std::uint32_t read = 0;
    if (!internet_.ReadFile(ex.request(), static_cast<std::uint32_t>(chunk), piece, read)) {
      ex.Fail();
      return std::string();
    }
    if (read == 0) break;
    // A zero byte ends what this chunk contributes.
    reply.append(piece.data(), std::min<std::size_t>(piece.find('\0'), piece.size()));
    got += read;
    chunk = static_cast<int>(std::min<long long>(1024, expected - got));
  }
  if (length_known && got < expected) return std::string();
  return reply;
}

std::string CWebMgmt::SendFormRequest(const std::string& url, const std::string& body) {
  std::string reply;
  Exchange ex(*this);
  if (!ex.Open(url, kFormRequestFlags)) return reply;
  if (!internet_.SendRequest(ex.request(), request_headers_, body)) {
    ex.Fail();
    if (show_message_) show_message_("Web Send Error", app_name_);
    return reply;
  }
  if (!ex.StatusIs200()) return reply;
  std::string length_text;
  const long long expected = internet_.QueryInfo(ex.request(), platform::kHttpQueryContentLength, length_text)
                                 ? text::AtoI(length_text)
                                 : -1;

  // Lines up to and including LF; the end of data reads as an empty line.
  std::string buffer;
  std::size_t start = 0;
  bool at_end = false;
  for (;;) {
    std::size_t lf = buffer.find('\n', start);
    while (lf == std::string::npos && !at_end) {
      // Only the new bytes can hold the LF: rescanning the line on every read would
      // make a long line without LF quadratic.
      const std::size_t searched = buffer.size();
      std::uint32_t read = 0;
      if (!internet_.ReadFile(ex.request(), 1024, buffer, read)) {
        ex.Fail();
        return std::string();
      }
      if (read == 0) {
        at_end = true;
        if (static_cast<long long>(buffer.size()) < expected) return std::string();
      }
      lf = buffer.find('\n', searched);
    }
    const std::size_t end = lf == std::string::npos ? buffer.size() : lf;
    const std::string_view line(buffer.data() + start, end - start);
    reply.append(line);
    reply += '\n';
    if (line.empty()) break;
    start = lf == std::string::npos ? buffer.size() : lf + 1;
  }
  return reply;
}

bool SplitHttpUrl(const std::string& url, std::string& server, std::string& object) {
  constexpr std::string_view kScheme = "http://";
  if (url.size() < kScheme.size() || text::ToLowerAscii(url.substr(0, kScheme.size())) != kScheme) return false;
  const std::size_t host_start = kScheme.size();
  std::size_t host_end = url.find_first_of("/?", host_start);
  if (host_end == std::string::npos) host_end = url.size();
  std::string authority = url.substr(host_start, host_end - host_start);
  const std::size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  server = authority.substr(0, authority.find(':'));
  if (server.empty()) return false;
  object = url.substr(host_end);
  if (object.empty() || object[0] == '?') object.insert(0, "/");
  return true;
}

}  // namespace protocol
