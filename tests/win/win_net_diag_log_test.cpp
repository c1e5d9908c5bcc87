// The diagnostics log on the real file system: lines appended to a file others may
// read meanwhile, the full file moved aside, Korean text in the folder's name.
#include <string>

#include <gtest/gtest.h>

#include "net/diag_log_file.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_system.h"
#include "win_temp.h"

namespace {

TEST(WinDiagLog, LinesAppendAndTheFullFileMovesAside) {
  wintest::TempFolder folder;
  platform::win32::Win32Files files;
  platform::win32::Win32Clock clock;
  const std::string path = folder.path() + "\\" + net::kDiagLogFileName;
  net::CDiagLogFile log(files, clock, path, 200);

  // A reader holding the file open (support staff's editor) does not stop the log.
  log.Write("route peer -> none");
  HANDLE reader = ::CreateFileW(std::wstring(path.begin(), path.end()).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  log.Write("route undo -> 0");
  std::string bytes;
  ASSERT_TRUE(files.ReadAllShared(path, bytes));
  ASSERT_EQ(bytes.size(), 2 * 20 + 18 + 15 + 4);
  EXPECT_EQ(bytes.substr(4, 1), "-");
  EXPECT_EQ(bytes.substr(19, 21), " route peer -> none\r\n");
  EXPECT_EQ(bytes.substr(bytes.size() - 17), "route undo -> 0\r\n");

  for (int i = 0; i < 4; ++i) log.Write("adapter find \"TAP-Win32 Adapter V9\" -> 12");
  ::CloseHandle(reader);
  std::string old, now;
  const std::string oldPath = log.OldPath();
  ASSERT_TRUE(files.ReadAllShared(oldPath, old));
  ASSERT_TRUE(files.ReadAllShared(path, now));
  EXPECT_LE(old.size(), 200u);
  EXPECT_LE(now.size(), 200u);
  EXPECT_EQ(old.substr(19, 21), " route peer -> none\r\n");
  EXPECT_NE(now.find("adapter find"), std::string::npos);
}

TEST(WinDiagLog, AppendCreatesAFileUnderAKoreanName) {
  wintest::TempFolder folder;
  platform::win32::Win32Files files;
  const std::string path = folder.path() + "\\\xC1\xA2\xBC\xD3.log";  // "접속" in CP949
  EXPECT_TRUE(files.Append(path, "a\r\n"));
  EXPECT_TRUE(files.Append(path, "b\r\n"));
  std::string bytes;
  ASSERT_TRUE(files.ReadAllShared(path, bytes));
  EXPECT_EQ(bytes, "a\r\nb\r\n");
  EXPECT_TRUE(files.Delete(path));
  EXPECT_FALSE(files.Append(folder.path() + "\\no such folder\\x.log", "a"));
}

}  // namespace
