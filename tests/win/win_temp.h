// A fresh folder under the temporary folder and a fresh registry key path for one
// test, both removed afterwards.
#pragma once

#include <string>

#include "platform/win32/windows_include.h"

namespace wintest {

inline std::string UniqueSuffix() {
  static unsigned counter = 0;
  return std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(::GetTickCount()) + "_" +
         std::to_string(++counter);
}

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, base);
    const std::string suffix = UniqueSuffix();
    wide_ = std::wstring(base, n) + L"tunra_win_" + std::wstring(suffix.begin(), suffix.end());
    ::CreateDirectoryW(wide_.c_str(), nullptr);
    path_ = std::string(wide_.begin(), wide_.end());  // ASCII temp path
  }
  ~TempFolder() {
    std::wstring pattern = wide_ + L"\\*";
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") ::DeleteFileW((wide_ + L"\\" + name).c_str());
      } while (::FindNextFileW(h, &fd));
      ::FindClose(h);
    }
    ::RemoveDirectoryW(wide_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // With backslashes, as the system gives it.
  const std::string& path() const { return path_; }

 private:
  std::wstring wide_;
  std::string path_;
};

}  // namespace wintest
