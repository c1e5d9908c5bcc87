// The file store on real POSIX files: the same bytes as on Windows.
#include "platform/posix/posix_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "settings/file_mgmt.h"

namespace {

class PosixFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tunra_files_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    for (const char* name : {"vrs.inf", "event.log"}) std::remove((dir + "/" + name).c_str());
    ::rmdir(dir.c_str());
  }

  std::string dir;
  platform::PosixFiles files;
  settings::CFileMgmt file{files};
};

TEST_F(PosixFilesTest, LinesWrittenAndReadBackWithCrLfOnDisk) {
  ASSERT_EQ(file.OpenForWrite(dir, "vrs.inf"), 0);
  EXPECT_EQ(file.AppendLine("user"), 0);
  EXPECT_EQ(file.AppendLine("\xBA\xF1\xB9\xD0"), 0);
  file.Close();

  std::string bytes;
  ASSERT_TRUE(files.ReadAllShared(dir + "/vrs.inf", bytes));
  EXPECT_EQ(bytes, "user\r\n\xBA\xF1\xB9\xD0\r\n");

  ASSERT_EQ(file.OpenForRead(dir, "vrs.inf"), 0);
  EXPECT_EQ(file.ReadLine(), "user");
  EXPECT_EQ(file.ReadLine(), "\xBA\xF1\xB9\xD0");
  EXPECT_EQ(file.ReadLine(), "-1");
  file.Close();

  std::string out = "held\r\n";
  EXPECT_EQ(file.ReadAll(dir + "/vrs.inf", out), 1);
  EXPECT_EQ(out, "held\r\nuser\r\n\xBA\xF1\xB9\xD0\r\n");
  EXPECT_EQ(file.ReadAll(dir + "/missing", out), -11);
}

TEST_F(PosixFilesTest, ReadingAfterAppendingContinuesWhereReadingStopped) {
  ASSERT_EQ(file.OpenForWrite(dir, "event.log"), 0);
  EXPECT_EQ(file.AppendLine("one"), 0);
  EXPECT_EQ(file.AppendLine("two"), 0);
  EXPECT_EQ(file.ReadLine(), "-1");  // the position is at the end after writing
  file.Close();
  EXPECT_TRUE(files.Exists(dir + "/event.log"));
  EXPECT_TRUE(files.Delete(dir + "/event.log"));
  EXPECT_FALSE(files.Exists(dir + "/event.log"));
  EXPECT_FALSE(files.Delete(dir + "/event.log"));
}

}  // namespace
