// Downloads into a file: only a whole 2xx body counts; a server error page, a cut
// body, a stopped fetch or an unwritable place leave no file.
#include "protocol/file_download.h"

#include <string>

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"

namespace {

constexpr const char* kUrl = "http://127.0.0.1/certs/ca.crt";
constexpr const char* kPath = "C:/TUNRA/ca.crt";

// The server's answer as a test shapes it: a Content-Length that may lie; reads are
// counted.
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
    ++reads;
    return FakeInternet::ReadFile(request, maxBytes, out, read);
  }
  std::string claimedLength;
  int reads = 0;
};

TEST(FileDownload, OnlyAWholeSuccessfulBodyCounts) {
  const std::string big(40000, 'x');  // several reads
  struct Row {
    const char* name;
    int status;
    std::string body;
    std::string claimedLength;
    int stopAfterReads;  // the stop question answers true from this read on; -1 never
    bool ok;
  };
  const Row rows[] = {
      {"whole body", 200, "-----BEGIN CERTIFICATE-----\n", "", -1, true},
      {"several reads", 200, big, "", -1, true},
      {"no length given", 200, "abc", "-", -1, true},
      {"error page", 404, "<html>not found</html>", "", -1, false},
      {"server error", 500, "oops", "", -1, false},
      {"cut short", 200, "abc", "10", -1, false},
      {"empty", 200, "", "", -1, false},
      {"empty without a length", 200, "", "-", -1, false},
      {"too long for its length", 200, "abcdef", "3", -1, false},
      {"stopped between reads", 200, big, "", 1, false},
      {"stopped before the first read", 200, "abc", "", 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ShapedInternet internet;
    fakes::FakeInternet::Reply reply;
    reply.status = row.status;
    reply.body = row.body;
    reply.withLength = row.claimedLength != "-";
    if (row.claimedLength != "-") internet.claimedLength = row.claimedLength;
    internet.Script("/certs/ca.crt", reply);
    const protocol::FetchResult result = protocol::FetchFile(
        internet, kUrl, [&] { return row.stopAfterReads >= 0 && internet.reads >= row.stopAfterReads; });
    EXPECT_EQ(result.ok, row.ok) << result.why;
    if (row.ok) {
      EXPECT_EQ(result.body, row.body);
    }
    EXPECT_EQ(internet.OpenHandles(), 0);
    ASSERT_EQ(internet.requests().size(), 1u);
    EXPECT_EQ(internet.requests()[0].verb, "GET");
    EXPECT_EQ(internet.requests()[0].server, "127.0.0.1");
    // Never from the cache, never redirected.
    EXPECT_EQ(internet.requests()[0].flags & 0x84200000u, 0x84200000u);
  }
}

TEST(FileDownload, RefusesWhatIsNotAnHttpAddress) {
  fakes::FakeInternet internet;
  internet.Script("/certs/ca.crt", {200, "abc", true, false});
  for (const char* url : {"file:///C:/Windows/win.ini", "ftp://127.0.0.1/ca.crt", ""})
    EXPECT_FALSE(protocol::FetchFile(internet, url, [] { return false; }).ok) << url;
  EXPECT_TRUE(internet.requests().empty());
}

TEST(FileDownload, SavingWritesTheWholeBodyOrLeavesNoFile) {
  fakes::FakeFiles files;
  files.Put(kPath, "old");
  EXPECT_TRUE(protocol::SaveFile(files, kPath, "new certificate").ok);
  EXPECT_EQ(files.Get(kPath), "new certificate");

  fakes::FakeFiles denied;
  denied.Deny(kPath);
  EXPECT_FALSE(protocol::SaveFile(denied, kPath, "abc").ok);
  EXPECT_FALSE(denied.Exists(kPath));

  fakes::FakeFiles full;
  full.FailWrites(kPath);
  EXPECT_FALSE(protocol::SaveFile(full, kPath, "abc").ok);
  EXPECT_FALSE(full.Exists(kPath));
}

}  // namespace
