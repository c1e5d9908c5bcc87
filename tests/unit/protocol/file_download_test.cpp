// Downloads into a file: only a whole 2xx body makes a file; a server error page, a
// cut body, a late download or an unwritable place leave none.
#include "protocol/file_download.h"

#include <string>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"

namespace {

constexpr const char* kUrl = "http://127.0.0.1/certs/ca.crt";
constexpr const char* kPath = "C:/TUNRA/ca.crt";

// The server's answer as a test shapes it: a Content-Length that may lie, and a clock
// that moves on with every read.
class ShapedInternet : public fakes::FakeInternet {
 public:
  bool QueryInfo(platform::InternetHandle request, std::uint32_t level, std::string& out) override {
    if (level == platform::kHttpQueryContentLength && !claimedLength.empty()) {
      out = claimedLength;
      return true;
    }
    return FakeInternet::QueryInfo(request, level, out);
  }
  bool ReadFile(platform::InternetHandle request, std::uint32_t maxBytes, std::string& out,
                std::uint32_t& read) override {
    if (clock) clock->Set(clock->Now() + secondsPerRead);
    return FakeInternet::ReadFile(request, maxBytes, out, read);
  }
  std::string claimedLength;
  fakes::FakeClock* clock = nullptr;
  int secondsPerRead = 0;
};

TEST(FileDownload, OnlyAWholeSuccessfulBodyMakesAFile) {
  const std::string big(40000, 'x');  // several reads
  struct Row {
    const char* name;
    int status;
    std::string body;
    std::string claimedLength;
    int secondsPerRead;
    bool ok;
  };
  const Row rows[] = {
      {"whole body", 200, "-----BEGIN CERTIFICATE-----\n", "", 0, true},
      {"several reads", 200, big, "", 0, true},
      {"no length given", 200, "abc", "-", 0, true},
      {"error page", 404, "<html>not found</html>", "", 0, false},
      {"server error", 500, "oops", "", 0, false},
      {"cut short", 200, "abc", "10", 0, false},
      {"too long for its length", 200, "abcdef", "3", 0, false},
      {"past the deadline", 200, big, "", 11, false},
      {"just in time", 200, big, "", 9, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fakes::FakeClock clock(1700000000);
    ShapedInternet internet;
    internet.clock = &clock;
    internet.secondsPerRead = row.secondsPerRead;
    fakes::FakeInternet::Reply reply;
    reply.status = row.status;
    reply.body = row.body;
    reply.withLength = row.claimedLength != "-";
    if (row.claimedLength != "-") internet.claimedLength = row.claimedLength;
    internet.Script("/certs/ca.crt", reply);
    fakes::FakeFiles files;
    const protocol::DownloadResult result = protocol::DownloadFile(internet, files, clock, kUrl, kPath);
    EXPECT_EQ(result.ok, row.ok) << result.why;
    EXPECT_EQ(files.Exists(kPath), row.ok);
    if (row.ok) {
      EXPECT_EQ(files.Get(kPath), row.body);
    }
    EXPECT_EQ(internet.OpenHandles(), 0);
    ASSERT_EQ(internet.requests().size(), 1u);
    EXPECT_EQ(internet.requests()[0].verb, "GET");
    EXPECT_EQ(internet.requests()[0].server, "127.0.0.1");
  }
}

TEST(FileDownload, AFailureKeepsTheFileThatWasThere) {
  fakes::FakeClock clock(1700000000);
  fakes::FakeInternet internet;
  internet.Script("/certs/ca.crt", {404, "not found", true, false});
  fakes::FakeFiles files;
  files.Put(kPath, "the certificate in use");
  EXPECT_FALSE(protocol::DownloadFile(internet, files, clock, kUrl, kPath).ok);
  EXPECT_EQ(files.Get(kPath), "the certificate in use");
}

TEST(FileDownload, RefusesWhatIsNotAnHttpAddressOrCannotBeWritten) {
  fakes::FakeClock clock(1700000000);
  fakes::FakeInternet internet;
  internet.Script("/certs/ca.crt", {200, "abc", true, false});
  fakes::FakeFiles files;
  for (const char* url : {"file:///C:/Windows/win.ini", "ftp://127.0.0.1/ca.crt", ""})
    EXPECT_FALSE(protocol::DownloadFile(internet, files, clock, url, kPath).ok) << url;
  EXPECT_TRUE(internet.requests().empty());
  files.Deny(kPath);
  EXPECT_FALSE(protocol::DownloadFile(internet, files, clock, kUrl, kPath).ok);
  EXPECT_FALSE(files.Exists(kPath));
}

}  // namespace
