#include "settings/file_mgmt.h"

#include <gtest/gtest.h>

#include "settings/ini_mgmt.h"
#include "fakes/fake_files.h"
#include "fakes/fake_profile.h"

namespace {

class FileMgmtTest : public ::testing::Test {
 protected:
  fakes::FakeFiles files;
  settings::CFileMgmt file{files};
};

TEST_F(FileMgmtTest, BackslashesOfDirectoriesBecomeSlashesExceptWhenOpeningForWrite) {
  files.Put("C:/prog dir/vexoen.opc", "x");
  files.Put("C:/prog dir/event.log", "x");
  EXPECT_EQ(file.OpenForWrite("C:\\prog dir", "vrs.inf"), 0);
  EXPECT_EQ(file.OpenForRead("C:\\prog dir", "vexoen.opc"), 0);
  EXPECT_EQ(file.OpenForRead("C:\\prog dir\\event.log"), 0);
  std::string out;
  EXPECT_EQ(file.ReadAll("C:\\prog dir\\event.log", out), 1);
  EXPECT_EQ(files.opened(),
            (std::vector<std::string>{"C:\\prog dir/vrs.inf", "C:/prog dir/vexoen.opc",
                                      "C:/prog dir/event.log", "C:/prog dir/event.log"}));
}

TEST_F(FileMgmtTest, AppendedLinesEndInCrLfAndReadBackWithoutThem) {
  files.Put("d/f", "old");
  ASSERT_EQ(file.OpenForWrite("d", "f"), 0);
  EXPECT_EQ(files.Get("d/f"), "");  // truncated
  EXPECT_EQ(file.AppendLine("client"), 0);
  EXPECT_EQ(file.AppendLine(""), 0);
  EXPECT_EQ(file.AppendLine("\xC1\xA2\xBC\xD3 a\nb"), 0);
  file.Close();
  EXPECT_EQ(files.Get("d/f"), "client\r\n\r\n\xC1\xA2\xBC\xD3 a\r\nb\r\n");

  ASSERT_EQ(file.OpenForRead("d", "f"), 0);
  for (const char* expected : {"client", "", "\xC1\xA2\xBC\xD3 a", "b", "-1", "-1"})
    EXPECT_EQ(file.ReadLine(), expected);
}

TEST_F(FileMgmtTest, ReadLineFollowsTextModeLineEnds) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a\r\nb\nc", {"a", "b", "c"}},
      {"x\r\r\n", {"x\r"}},
      {"lone\rcr\n", {"lone\rcr"}},
      {"-1\r\nz\r\n", {"-1", "z"}},  // a "-1" line reads like the end
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    files.Put("f", c.bytes);
    ASSERT_EQ(file.OpenForRead("f"), 0);
    for (const std::string& line : c.lines) EXPECT_EQ(file.ReadLine(), line);
    EXPECT_EQ(file.ReadLine(), "-1");
  }
}

TEST_F(FileMgmtTest, ReadAllAppendsEveryLineWithCrLfToWhatOutHeld) {
  struct Case {
    std::string bytes;
    std::string appended;
  };
  const Case cases[] = {
      {"first\r\nsecond\r\n", "first\r\nsecond\r\n"},
      {"first\nsecond", "first\r\nsecond\r\n"},
      {"\r\n\r\n", "\r\n\r\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    files.Put("C:/dir/event.log", c.bytes);
    std::string out = "held|";
    EXPECT_EQ(file.ReadAll("C:\\dir\\event.log", out), 1);
    EXPECT_EQ(out, "held|" + c.appended);
  }
  EXPECT_EQ(files.OpenFiles(), 0);
}

TEST_F(FileMgmtTest, FailedOpensReportTheirCodesAndChangeNothing) {
  std::string out = "held";
  EXPECT_EQ(file.ReadAll("C:\\missing.log", out), -11);
  EXPECT_EQ(out, "held");
  files.Put("locked", "x");
  files.Deny("locked");
  EXPECT_EQ(file.ReadAll("locked", out), -11);
  EXPECT_EQ(out, "held");

  EXPECT_EQ(file.OpenForRead("C:\\missing.log"), -1);
  EXPECT_EQ(file.ReadLine(), "-1");
  files.Deny("ro/f");
  EXPECT_EQ(file.OpenForWrite("ro", "f"), -1);
  EXPECT_EQ(file.AppendLine("lost"), -1);  // no file open: not reported as written
}

TEST_F(FileMgmtTest, OneFileOpenAtATimeAndNoneLeftOpen) {
  files.Put("a", "1\n");
  files.Put("b", "2\n");
  {
    settings::CFileMgmt local(files);
    ASSERT_EQ(local.OpenForRead("a"), 0);
    ASSERT_EQ(local.OpenForRead("b"), 0);
    EXPECT_EQ(files.OpenFiles(), 1);
    EXPECT_EQ(local.ReadLine(), "2");
  }
  EXPECT_EQ(files.OpenFiles(), 0);
}

TEST(IniMgmtTest, WritesKeysOfItsFileInTheWritersLayout) {
  fakes::FakeProfile profile;
  settings::CIniMgmt ini(profile);
  ini.path = "C:/prog/sobrel.ini";
  ini.WriteKey("Vexo_Conn", "PhoneNumber", "10.0.0.1");
  ini.WriteKey("Vexo_Conn", "Device", "");
  ini.WriteKey("vexo_conn", "phonenumber", "10.0.0.2");
  EXPECT_EQ(profile.calls().size(), 3u);
  EXPECT_EQ(profile.calls()[0],
            (fakes::FakeProfile::Call{"Vexo_Conn", "PhoneNumber", "10.0.0.1", "C:/prog/sobrel.ini"}));
  EXPECT_EQ(profile.Render("C:/prog/sobrel.ini"),
            "[Vexo_Conn]\r\nPhoneNumber=10.0.0.2\r\nDevice=\r\n");
}

}  // namespace
