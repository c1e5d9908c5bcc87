// A stand-in for a program the user registers to be started or ended around the
// tunnel, for tests only (never shipped). It journals how it was started, starts one
// child of itself (so ending the program's tree has a child to end), and then waits
// until it is ended, ending by itself after 100 seconds at the latest.
//
// The journal is the file TUNRA_HOOK_JOURNAL names, else hook-journal.txt in the
// current directory (a program the client starts inherits the client's, its program
// folder). One line per event, fields separated by tabs, code page 949:
//   start   name=<file name as started>   command=<command line>
//   end     name=<file name>              (only when it ended by itself)
#include <windows.h>

#include <string>

#include "../common/standin_support.h"

namespace {

using standin_support::Environment;
using standin_support::ToCodePage;

constexpr DWORD kLifetimeMs = 100000;

// One line appended with the file opened for it: the program and its child write the
// same journal, and a test may read it at any time.
void Journal(const std::wstring& path, const std::string& line) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string bytes = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t modulePath[MAX_PATH * 4];
  const DWORD moduleLength = GetModuleFileNameW(nullptr, modulePath, MAX_PATH * 4);
  const std::wstring self(modulePath, moduleLength);
  const std::size_t slash = self.find_last_of(L"\\/");
  const std::string name = ToCodePage(slash == std::wstring::npos ? self : self.substr(slash + 1), 949);

  std::wstring journal = Environment(L"TUNRA_HOOK_JOURNAL");
  if (journal.empty()) journal = L"hook-journal.txt";
  Journal(journal, "start\tname=" + name + "\tcommand=" + ToCodePage(GetCommandLineW(), 949));

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool child = argv != nullptr && argc > 1 && std::wstring(argv[1]) == L"child";
  if (!child) {
    std::wstring line = L"\"" + self + L"\" child";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(self.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  Sleep(kLifetimeMs);
  Journal(journal, "end\tname=" + name);
  return 0;
}
