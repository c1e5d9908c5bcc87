#include "standin_journal.h"

#include <windows.h>

namespace standin {

namespace {
SRWLOCK g_journal_lock = SRWLOCK_INIT;
}

void Journal(const std::wstring& path, const std::string& line) {
  const std::string bytes = line + "\r\n";
  AcquireSRWLockExclusive(&g_journal_lock);
  // Opened for each line, so a test may read or remove the file at any time.
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  ReleaseSRWLockExclusive(&g_journal_lock);
}

}  // namespace standin
