// A file only its owner may read, on real POSIX files: mode 0600 whatever the umask and
// whatever was at the path before, and nothing opened earlier sees the new bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/posix/posix_files.h"

namespace {

class PosixOwnerOnlyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tunra_owner_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    path = dir + "/vrs.inf";
  }
  void TearDown() override {
    std::remove(path.c_str());
    std::remove((dir + "/target").c_str());
    ::rmdir(dir.c_str());
  }
  unsigned Mode() {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
  }
  std::string Read(int fd) {
    char buffer[64];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
  }

  std::string dir, path;
  platform::PosixFiles files;
};

TEST_F(PosixOwnerOnlyTest, ReplacesAWorldReadableFileAndItsReaders) {
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("old", f);
    std::fclose(f);
  }
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  const int earlier = ::open(path.c_str(), O_RDONLY);  // another reader, opened before
  ASSERT_GE(earlier, 0);
  const mode_t oldMask = ::umask(0);  // a umask that would leave the file open to all

  auto file = files.Open(path, platform::FileMode::kReplaceOwnerOnly);
  ::umask(oldMask);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("user\r\npassword\r\n"));
  file.reset();

  EXPECT_EQ(Mode(), 0600u);
  std::string bytes;
  ASSERT_TRUE(files.ReadAllShared(path, bytes));
  EXPECT_EQ(bytes, "user\r\npassword\r\n");
  EXPECT_EQ(Read(earlier), "old");  // the old file, not the new bytes
  ::close(earlier);
}

// A link planted at the path is replaced, never followed to its target.
TEST_F(PosixOwnerOnlyTest, ASymbolicLinkIsNotFollowed) {
  const std::string target = dir + "/target";
  ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
  auto file = files.Open(path, platform::FileMode::kReplaceOwnerOnly);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("secret"));
  file.reset();
  EXPECT_FALSE(files.Exists(target));
  EXPECT_EQ(Mode(), 0600u);
}

TEST_F(PosixOwnerOnlyTest, MissingFolderIsAFailure) {
  EXPECT_EQ(files.Open(dir + "/none/vrs.inf", platform::FileMode::kReplaceOwnerOnly), nullptr);
}

}  // namespace
