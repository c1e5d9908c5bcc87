// System facts and folders on the real system.
#include <gtest/gtest.h>

#include "platform/win32/win32_system.h"
#include "win_temp.h"

namespace {

TEST(WinSystemTest, FoldersAndProgramPathAreSystemPaths) {
  platform::win32::Win32System system;
  const std::string windows = system.WindowsDirectory();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_EQ(windows.substr(1, 2), ":\\");
  EXPECT_NE(windows.back(), '\\');

  const std::string module = system.ModuleFileName();
  ASSERT_GT(module.size(), 4u);
  EXPECT_EQ(module.substr(module.size() - 4), ".exe");
  EXPECT_NE(module.find('\\'), std::string::npos);
}

TEST(WinSystemTest, CurrentDirectoryAndCreateDirectory) {
  platform::win32::Win32System system;
  wintest::TempFolder folder;
  const std::string before = system.CurrentDirectory();
  ASSERT_TRUE(system.SetCurrentDirectory(folder.path()));
  EXPECT_EQ(system.CurrentDirectory(), folder.path());
  EXPECT_FALSE(system.SetCurrentDirectory(folder.path() + "\\missing"));
  ASSERT_TRUE(system.SetCurrentDirectory(before));

  const std::string sub = folder.path() + "\\Temp";
  EXPECT_EQ(system.CreateDirectory(sub), 0);
  EXPECT_EQ(system.CreateDirectory(sub), platform::kErrorAlreadyExists);
  ::RemoveDirectoryA(sub.c_str());
}

// A folder name code page 949 cannot write is answered as a failure, not with "?" in
// place of the character (which would name another folder); a Korean name comes back
// as its code page 949 bytes whatever the system's ANSI code page.
TEST(WinSystemTest, PathsAreCodePage949OrNothing) {
  platform::win32::Win32System system;
  wintest::TempFolder folder;
  const std::wstring base(folder.path().begin(), folder.path().end());
  const std::wstring korean = base + L"\\\uC811\uC18D";  // "접속"
  const std::wstring thai = base + L"\\\u0E01";           // no code page 949 form
  ASSERT_TRUE(::CreateDirectoryW(korean.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(thai.c_str(), nullptr));
  const std::string before = system.CurrentDirectory();

  ASSERT_TRUE(::SetCurrentDirectoryW(korean.c_str()));
  EXPECT_EQ(system.CurrentDirectory(), folder.path() + "\\\xC1\xA2\xBC\xD3");
  ASSERT_TRUE(::SetCurrentDirectoryW(thai.c_str()));
  EXPECT_EQ(system.CurrentDirectory(), "");

  ASSERT_TRUE(system.SetCurrentDirectory(before));
  ::RemoveDirectoryW(korean.c_str());
  ::RemoveDirectoryW(thai.c_str());
}

TEST(WinSystemTest, VersionAndWow64Answer) {
  platform::win32::Win32System system;
  platform::OsVersion version;
  ASSERT_TRUE(system.GetVersionEx(version));
  EXPECT_GE(version.major, 5u);
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_TRUE(system.HasIsWow64Process());
  EXPECT_FALSE(system.IsWow64Process());  // a 64-bit program never runs under WOW64
}

TEST(WinSystemTest, ReportFactsOfA64BitSystem) {
  platform::win32::Win32SystemFacts facts;
  EXPECT_EQ(facts.ProcessorArchitecture(), 9);  // AMD64: the client only runs on 64-bit Windows
  platform::win32::Win32System system;
  platform::OsVersion version;
  ASSERT_TRUE(system.GetVersionEx(version));
  std::uint32_t product = 0;
  if (version.major >= 6) {
    EXPECT_TRUE(facts.GetProductInfo(version.major, version.minor, product));
    EXPECT_NE(product, 0u);
  }
  EXPECT_GE(facts.ServerR2Metric(), 0);
}

TEST(WinClockTest, LocalTimeOfNowIsPlausible) {
  platform::win32::Win32Clock clock;
  const std::time_t now = clock.Now();
  EXPECT_GT(now, 1600000000);
  std::tm tm{};
  ASSERT_TRUE(clock.LocalTime(now, tm));
  EXPECT_GE(tm.tm_year + 1900, 2020);
  // Back from local time to the instant: the service end's conversion.
  std::time_t back = 0;
  ASSERT_TRUE(clock.MakeLocalTime(tm, back));
  EXPECT_EQ(back, now);
  std::tm before_1970{};
  before_1970.tm_year = 60;
  before_1970.tm_mday = 1;
  EXPECT_FALSE(clock.MakeLocalTime(before_1970, back));  // the runtime's mktime refuses it
}

}  // namespace
