// Test-only: start_hidden.exe "COMMAND LINE" starts a program the way the client's
// update starts the installer (WinExec with show state 0 passes STARTF_USESHOWWINDOW and
// SW_HIDE), then waits for it, at most 60 s. Exit code: the program's, 124 when it
// still runs at the limit (it is left running), 125 when it cannot be started.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: start_hidden.exe \"COMMAND LINE\"\n");
    return 125;
  }
  std::string command = argv[1];
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", command.c_str(), GetLastError());
    return 125;
  }
  CloseHandle(process.hThread);
  DWORD code = 124;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
