// URL moniker downloads from the scripted server under Wine: the file's bytes, the
// progress notifications, stopping from the callback, and a CP949 path.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/win32_url_download.h"
#include "win_temp.h"

namespace {

using platform::IUrlDownloader;

constexpr std::uint32_t kConnecting = 2;  // BINDSTATUS_CONNECTING
constexpr std::uint32_t kEndDownload = 6;  // BINDSTATUS_ENDDOWNLOADDATA

std::string Url(const std::string& path) { return std::string("http://") + TUNRA_HTTP_SPLIT_ADDRESS + path; }

// The file's bytes, read through its UTF-16 name; empty when it does not exist.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  const std::wstring wide = platform::win32::Cp949ToWide(path);
  const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
  ::CloseHandle(h);
  return true;
}

struct Notification {
  std::uint32_t progress, progressMax, statusCode;
};

TEST(WinUrlDownload, WritesTheBodyAndReportsProgressToTheEnd) {
  wintest::TempFolder folder;
  // A Korean file name (CP949 "한글.txt"): the file must appear under that UTF-16 name.
  const std::string path = folder.path() + "\\\xC7\xD1\xB1\xDB.txt";
  std::vector<Notification> seen;
  platform::win32::Win32UrlDownloader downloader;
  const long hr = downloader.DownloadToFile(Url("/nolength"), path,
                                            [&](std::uint32_t p, std::uint32_t max, std::uint32_t code, const std::string&) {
                                              seen.push_back({p, max, code});
                                              return IUrlDownloader::kSOk;
                                            });
  EXPECT_EQ(hr, 0);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes.size(), 3000u);
  EXPECT_EQ(bytes.substr(0, 9), "line0000|");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().statusCode, kEndDownload);
  EXPECT_EQ(seen.back().progress, 3000u);
  ::DeleteFileW(platform::win32::Cp949ToWide(path).c_str());
}

TEST(WinUrlDownload, StoppingFromTheCallbackAbortsTheCall) {
  wintest::TempFolder folder;
  const std::string path = folder.path() + "\\stopped.bin";
  std::vector<std::uint32_t> codes;
  platform::win32::Win32UrlDownloader downloader;
  const long hr = downloader.DownloadToFile(Url("/nolength"), path,
                                            [&](std::uint32_t, std::uint32_t, std::uint32_t code, const std::string&) {
                                              codes.push_back(code);
                                              return code == kConnecting ? IUrlDownloader::kEAbort : IUrlDownloader::kSOk;
                                            });
  EXPECT_EQ(hr, IUrlDownloader::kEAbort);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes, std::vector<std::uint32_t>{kConnecting});  // no notification after the stop
  std::string bytes;
  EXPECT_FALSE(ReadWholeFile(path, bytes) && bytes.size() == 3000u) << "the whole file was written";
  ::DeleteFileA(path.c_str());
}

}  // namespace
