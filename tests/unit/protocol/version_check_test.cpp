// The version file: its lines, what a failed fetch keeps, and the installer names that
// may become a path in the temporary folder.
#include "protocol/version_check.h"

#include <string>

#include <gtest/gtest.h>

#include "fakes/fake_internet.h"

namespace {

constexpr const char* kDigest = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

session::SessionRecord Before() {
  session::SessionRecord r;
  r.updateVersion = 1185;
  r.updateUrl = "http://old/download/old.exe";
  r.updateFileName = "old.exe";
  r.updateSha256 = "old digest";
  return r;
}

TEST(VersionFile, Lines) {
  const std::string upper = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";
  struct Row {
    const char* name;
    std::string text;
    int version;
    const char* url;
    const char* file;
    std::string sha256;
  };
  const Row rows[] = {
      {"blanks and CRs go first", "version = 1200\r\ndownload = http://host/x/setup_1200.exe\r\n", 1200,
       "http://host/x/setup_1200.exe", "setup_1200.exe", ""},
      {"tabs too", "\tversion\t=\t1201\n", 1201, "http://old/download/old.exe", "old.exe", "old digest"},
      {"empty version ignored", "version=\n", 1185, "http://old/download/old.exe", "old.exe", "old digest"},
      {"download of 5 characters ignored", "download=a/b.e\n", 1185, "http://old/download/old.exe", "old.exe",
       "old digest"},
      {"download of 6 characters taken", "download=a/b.ex\n", 1185, "a/b.ex", "b.ex", ""},
      {"no slash: the whole value", "download=setup.exe\n", 1185, "setup.exe", "setup.exe", ""},
      {"a value ends at its next '='", "download=http://h/get?f=x.exe\n", 1185, "http://h/get?f", "get?f", ""},
      {"Korean file name", "download=http://h/d/업데이트.exe\n", 1185, "http://h/d/업데이트.exe", "업데이트.exe", ""},
      {"other lines ignored, last one wins", "name=x\nversion=1190\nversion=1191\n", 1191,
       "http://old/download/old.exe", "old.exe", "old digest"},
      {"digest before its download, lower-cased", "sha256=" + upper + "\ndownload=http://h/d/s.exe\n", 1185,
       "http://h/d/s.exe", "s.exe", kDigest},
      {"digest of 63 digits is none", "download=http://h/d/s.exe\nsha256=" + std::string(kDigest).substr(1) + "\n",
       1185, "http://h/d/s.exe", "s.exe", ""},
      {"digest with a non-hex digit is none",
       "download=http://h/d/s.exe\nsha256=" + std::string(kDigest).substr(1) + "g\n", 1185, "http://h/d/s.exe",
       "s.exe", ""},
      {"a digest without a download changes nothing", std::string("sha256=") + kDigest + "\n", 1185,
       "http://old/download/old.exe", "old.exe", "old digest"},
      {"an HTML page is no version file", "<html><body>not found</body></html>", 1185,
       "http://old/download/old.exe", "old.exe", "old digest"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    session::SessionRecord r = Before();
    protocol::ReadVersionFile(row.text, r);
    EXPECT_EQ(r.updateVersion, row.version);
    EXPECT_EQ(r.updateUrl, row.url);
    EXPECT_EQ(r.updateFileName, row.file);
    EXPECT_EQ(r.updateSha256, row.sha256);
  }
}

TEST(VersionCheck, FetchesTheFileOfTheClientCodeWithTheQueryForm) {
  fakes::FakeInternet internet;
  internet.Script("/ClientVersion/acme/acme_setup.php", {200, "version=1186\ndownload=http://h/d/a.exe\n", true, false});
  protocol::CWebMgmt web(internet, session::kRequestHeaders, "tunra", nullptr);
  session::SessionRecord r = Before();
  r.webHost = "203.0.113.10";
  r.clientCode = "acme";
  r.setupPageName = "acme_setup.php";
  EXPECT_EQ(protocol::VersionCheck(r, web), 1);
  EXPECT_EQ(r.updateVersion, 1186);
  EXPECT_EQ(r.updateFileName, "a.exe");
  ASSERT_EQ(internet.requests().size(), 1u);
  EXPECT_EQ(internet.requests()[0].server, "203.0.113.10");
  EXPECT_EQ(internet.requests()[0].object, "/ClientVersion/acme/acme_setup.php");
}

TEST(VersionCheck, AFailedFetchKeepsTheFields) {
  for (int status : {404, 500}) {
    fakes::FakeInternet internet;
    internet.Script("/ClientVersion/tunra/tunra_setup.php", {status, "version=1300\ndownload=http://h/d/x.exe\n", true, false});
    protocol::CWebMgmt web(internet, session::kRequestHeaders, "tunra", nullptr);
    session::SessionRecord r = Before();
    r.webHost = "203.0.113.10";
    r.clientCode = "tunra";
    r.setupPageName = "tunra_setup.php";
    EXPECT_EQ(protocol::VersionCheck(r, web), 1);
    EXPECT_EQ(r.updateVersion, 1185) << status;
    EXPECT_EQ(r.updateFileName, "old.exe") << status;
    EXPECT_EQ(r.updateSha256, "old digest") << status;
  }
}

TEST(InstallerName, OnlyAPlainFileNameIsUsable) {
  const struct {
    std::string name;
    bool usable;
  } rows[] = {
      {"tunra_setup_1186.exe", true},
      {"setup", true},
      {"업데이트.exe", true},  // trail bytes are never the characters refused
      {"a.b-c_d(1).exe", true},
      {std::string(protocol::kMaxInstallerNameLength, 'a'), true},
      {std::string(protocol::kMaxInstallerNameLength + 1, 'a'), false},
      {"", false},
      {"..\\x.exe", false},
      {"..", false},
      {"a..exe", false},
      {std::string("a\x92..exe"), false},  // a lead byte before the dots: found by a fuzzer
      {"sub\\x.exe", false},
      {"sub/x.exe", false},
      {"C:x.exe", false},
      {"x.exe:stream", false},
      {"x\".exe", false},  // would end the quoted path on the command line
      {"x.exe\" /D=C:\\evil", false},
      {"x<1>.exe", false},
      {"x|y.exe", false},
      {"x?.exe", false},
      {"x*.exe", false},
      {std::string("x\x01.exe"), false},
      {std::string("x\n.exe"), false},
      {std::string("x\x7f.exe"), false},
      {"x.exe.", false},
      {"x.exe ", false},
      {"CON", false},
      {"nul.exe", false},
      {"com1.exe", false},
      {"LPT9", false},
      {"com0.exe", true},
      {"console.exe", true},
  };
  for (const auto& row : rows) EXPECT_EQ(protocol::IsUsableInstallerName(row.name), row.usable) << row.name;
}

}  // namespace
