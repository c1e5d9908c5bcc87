#include "protocol/file_download.h"

#include "protocol/web_mgmt.h"
#include "text/cp949.h"

namespace protocol {

namespace {

constexpr std::uint32_t kChunkBytes = 16 * 1024;
// No cache (a reused file name must never serve an old file), no redirect (the back
// end names the file's place itself), binary.
constexpr std::uint32_t kDownloadFlags = 0x80000000u | 0x04000000u | 0x00200000u | 0x00000100u | 0x00000002u;

class Handles {
 public:
  explicit Handles(platform::IInternet& net) : net_(net) {}
  ~Handles() {
    if (request) net_.CloseHandle(request);
    if (connection) net_.CloseHandle(connection);
    if (session) net_.CloseHandle(session);
  }
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;
  platform::InternetHandle session = 0, connection = 0, request = 0;

 private:
  platform::IInternet& net_;
};

FetchResult Fail(std::string why) {
  FetchResult result;
  result.why = std::move(why);
  return result;
}

}  // namespace

FetchResult FetchFile(platform::IInternet& internet, const std::string& url, const std::function<bool()>& stop) {
  std::string server, object;
  if (!SplitHttpUrl(url, server, object)) return Fail("not an http address");

  Handles h(internet);
  h.session = internet.Open("tunra", platform::kInternetOpenTypePreconfig, 0);
  if (!h.session) return Fail("no internet session");
  h.connection = internet.Connect(h.session, server, platform::kInternetDefaultHttpPort,
                                  platform::kInternetServiceHttp);
  if (!h.connection) return Fail("no connection to " + server);
  h.request = internet.OpenRequest(h.connection, "GET", object, "HTTP/1.0", kDownloadFlags);
  if (!h.request) return Fail("no request");
  if (!internet.SendRequest(h.request, "", "")) return Fail("not sent (" + std::to_string(internet.LastError()) + ")");

  std::string status;
  if (!internet.QueryInfo(h.request, platform::kHttpQueryStatusCode, status)) return Fail("no status");
  const int code = text::AtoI(status);
  if (code < 200 || code > 299) return Fail("status " + status);

  std::string lengthText;
  const bool lengthKnown = internet.QueryInfo(h.request, platform::kHttpQueryContentLength, lengthText);
  const long long expected = lengthKnown ? text::AtoI(lengthText) : -1;
  if (expected > static_cast<long long>(kDownloadMaxBytes)) return Fail("too large: " + lengthText);

  FetchResult result;
  std::string& body = result.body;
  for (;;) {
    if (stop()) return Fail("stopped at " + std::to_string(body.size()) + " bytes");
    std::uint32_t read = 0;
    if (!internet.ReadFile(h.request, kChunkBytes, body, read))
      return Fail("cut at " + std::to_string(body.size()) + " bytes (" + std::to_string(internet.LastError()) + ")");
    if (read == 0) break;
    if (body.size() > kDownloadMaxBytes) return Fail("too large");
  }
  if (expected >= 0 && static_cast<long long>(body.size()) != expected)
    return Fail("cut at " + std::to_string(body.size()) + " of " + std::to_string(expected) + " bytes");
  // An empty answer is no file: saved, an empty certificate with its version written
  // kept every later start from downloading the real one.
  if (body.empty()) return Fail("empty body");
  result.ok = true;
  result.why = std::to_string(body.size()) + " bytes";
  return result;
}

DownloadResult SaveFile(platform::IFiles& files, const std::string& path, const std::string& body) {
  std::unique_ptr<platform::IFile> file = files.Open(path, platform::FileMode::kReadWriteTruncate);
  if (!file) return {false, "cannot create " + path};
  const bool written = file->Write(body);
  file.reset();
  if (!written) {
    files.Delete(path);
    return {false, "cannot write " + path};
  }
  return {true, std::to_string(body.size()) + " bytes"};
}

}  // namespace protocol
