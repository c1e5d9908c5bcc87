// vexoop.exe for tests only (never shipped): plays the OpenVPN program the client
// starts, as far as the client can see it. It is a Windows program, so the process
// list shows it and the client can end it by name; it writes the log named by --log
// (truncated at the start, as OpenVPN does, shared with readers) on the schedule its
// script gives, and journals how it was started. The script's grammar is in
// vexoop_script.h.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "vexoop_script.h"

#include "../common/standin_support.h"

namespace {

using standin_support::Environment;
using standin_support::FromCodePage;
using standin_support::ReadBytes;
using standin_support::ToCodePage;
using standin_support::WindowsPath;

constexpr DWORD kAwaitLimitMs = 120000;

std::wstring ProgramFolder() {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  const std::wstring path(buffer, n);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
  return n == 0 || n >= MAX_PATH * 4 ? path : std::wstring(buffer, n);
}

bool Append(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

class Journal {
 public:
  void SetPath(const std::wstring& path) { path_ = path; }
  // One line, appended with the file opened for it (a test may read it at any time).
  void Write(const std::string& line) const {
    HANDLE file = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    Append(file, line + "\r\n");
    CloseHandle(file);
  }

 private:
  std::wstring path_;
};

// "Mon Mar 04 10:22:31 2024 ", the time stamp of the program's log lines.
std::string Stamp() {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[40];
  std::snprintf(text, sizeof text, "%s %s %02u %02u:%02u:%02u %04u ", days[t.wDayOfWeek % 7],
                months[(t.wMonth + 11) % 12], t.wDay, t.wHour, t.wMinute, t.wSecond, t.wYear);
  return text;
}

// ---- Under Wine: a Linux command that lives as long as this program.

using ToUnix = char*(CDECL*)(LPCWSTR);
using ToDos = WCHAR*(CDECL*)(LPCSTR);

template <typename F>
F WineFunction(const char* name) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

std::string UnixPath(const std::wstring& dos) {
  const ToUnix toUnix = WineFunction<ToUnix>("wine_get_unix_file_name");
  char* unix = toUnix ? toUnix(dos.c_str()) : nullptr;
  if (!unix) return std::string();
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = Append(file, bytes);
  CloseHandle(file);
  return ok;
}

// Runs the command in its own process group and ends that group when the stand-in
// stops touching its heartbeat file for 3 s (a Wine process cannot learn its Linux
// process id: /proc/self opened from it is the wineserver's); writes the exit code.
// Arguments: folder, heartbeat file, the file for the exit code, the command file.
const char* const kRunWrapper =
    "cd \"$1\" || { echo 127 > \"$3.part\"; mv \"$3.part\" \"$3\"; exit 0; }\n"
    "alive() { s=$(cat /proc/$1/stat 2>/dev/null) || return 1; s=${s##*) }; [ \"${s%% *}\" != Z ]; }\n"
    "fresh() { [ $(( $(date +%s) - $(stat -c %Y \"$1\" 2>/dev/null || echo 0) )) -lt 3 ]; }\n"
    "setsid sh \"$4\" &\n"
    "child=$!\n"
    "while alive \"$child\"; do\n"
    "  if ! fresh \"$2\"; then kill -TERM \"-$child\" 2>/dev/null; break; fi\n"
    "  sleep 0.2\n"
    "done\n"
    "wait \"$child\"\n"
    "echo $? > \"$3.part\"; mv \"$3.part\" \"$3\"\n";

// Starts `command` and waits until it ends; its exit code, or -1 (journalled) when it
// could not be started.
long RunUnixCommand(const std::string& command, const Journal& journal) {
  const std::string what = "run\t" + command + "\t";
  wchar_t temp[MAX_PATH + 1];
  const DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
  wchar_t directory[MAX_PATH * 4];
  const DWORD dirLength = GetCurrentDirectoryW(MAX_PATH * 4, directory);
  const std::wstring base = std::wstring(temp, tempLength) + L"vexoop-run-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(GetTickCount());
  const std::wstring wrapper = base + L".sh", commandFile = base + L".cmd", done = base + L".done",
                     heartbeat = base + L".beat";
  const std::string unixDir = UnixPath(std::wstring(directory, dirLength));
  const ToDos toDos = WineFunction<ToDos>("wine_get_dos_file_name");
  WCHAR* shell = toDos ? toDos("/bin/sh") : nullptr;
  if (unixDir.empty() || !shell) {
    journal.Write(what + "not-started not-under-wine");
    if (shell) HeapFree(GetProcessHeap(), 0, shell);
    return -1;
  }
  const std::wstring shellPath(shell);
  HeapFree(GetProcessHeap(), 0, shell);
  unsigned long beats = 0;
  if (!WriteFileBytes(wrapper, kRunWrapper) || !WriteFileBytes(commandFile, command + "\n") ||
      !WriteFileBytes(heartbeat, std::to_string(beats))) {
    journal.Write(what + "not-started no-temp-files");
    return -1;
  }
  std::wstring line = L"sh \"" + FromCodePage(UnixPath(wrapper), CP_UTF8) + L"\" \"" +
                      FromCodePage(unixDir, CP_UTF8) + L"\" \"" + FromCodePage(UnixPath(heartbeat), CP_UTF8) + L"\" \"" +
                      FromCodePage(UnixPath(done), CP_UTF8) + L"\" \"" + FromCodePage(UnixPath(commandFile), CP_UTF8) +
                      L"\"";
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(shellPath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    journal.Write(what + "not-started " + std::to_string(GetLastError()));
    return -1;
  }
  // A Linux process: its handle cannot be waited for under Wine, so the wrapper's
  // exit-code file says when it ended.
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  journal.Write(what + "started");
  std::string code;
  for (unsigned long round = 1; !ReadBytes(done, code); ++round) {
    Sleep(50);
    if (round % 5 == 0) WriteFileBytes(heartbeat, std::to_string(++beats));
  }
  DeleteFileW(done.c_str());
  DeleteFileW(heartbeat.c_str());
  DeleteFileW(wrapper.c_str());
  DeleteFileW(commandFile.c_str());
  const long exitCode = std::strtol(code.c_str(), nullptr, 10);
  journal.Write(what + "ended\t" + std::to_string(exitCode));
  return exitCode;
}

// The argument after `option` on the command line; empty when there is none.
std::wstring Argument(int argc, wchar_t** argv, const wchar_t* option) {
  for (int i = 1; i + 1 < argc; ++i)
    if (lstrcmpiW(argv[i], option) == 0) return argv[i + 1];
  return std::wstring();
}

}  // namespace

int main() {
  Journal journal;
  journal.SetPath(ProgramFolder() + L"vexoop-journal.txt");

  // The script: named by the environment, else beside the program, else the default.
  std::string text;
  std::vector<std::string> problems;
  const std::wstring named = Environment(L"TUNRA_VEXOOP_SCRIPT");
  if (!named.empty()) {
    if (!ReadBytes(named, text)) problems.push_back("0\tscript " + ToCodePage(named, 949) + " cannot be read");
  } else if (!ReadBytes(ProgramFolder() + L"vexoop-script.txt", text)) {
    text = vexoop::kDefaultScript;
  }
  const vexoop::Script script = vexoop::ParseScript(text, problems);
  if (!script.journal.empty()) journal.SetPath(WindowsPath(FromCodePage(script.journal, 949)));
  const std::wstring journalPath = Environment(L"TUNRA_VEXOOP_JOURNAL");
  if (!journalPath.empty()) journal.SetPath(journalPath);

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring logName = argv ? Argument(argc, argv, L"--log") : std::wstring();
  const std::wstring configName = argv ? Argument(argc, argv, L"--config") : std::wstring();
  wchar_t directory[MAX_PATH * 4];
  const DWORD dirLength = GetCurrentDirectoryW(MAX_PATH * 4, directory);
  const bool configPresent =
      !configName.empty() && GetFileAttributesW(configName.c_str()) != INVALID_FILE_ATTRIBUTES;

  // Truncated at every start and shared with readers, as the real program's log.
  HANDLE log = logName.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(logName.c_str(), GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  journal.Write("start\tcommand=" + ToCodePage(GetCommandLineW(), 949) +
                "\tdirectory=" + ToCodePage(std::wstring(directory, dirLength), 949) +
                "\tlog=" + (log == INVALID_HANDLE_VALUE ? std::string("-") : ToCodePage(FullPath(logName), 949)) +
                "\tconfig=" + (configPresent ? "present" : "missing"));
  for (const std::string& problem : problems) journal.Write("problem\t" + problem);

  for (const vexoop::Step& step : script.steps) {
    switch (step.kind) {
      case vexoop::Step::kLog:
        for (unsigned long i = 0; i < step.value; ++i)
          if (log != INVALID_HANDLE_VALUE) Append(log, Stamp() + step.text + "\r\n");
        break;
      case vexoop::Step::kRaw:
        if (log != INVALID_HANDLE_VALUE) Append(log, step.text + "\r\n");
        break;
      case vexoop::Step::kWait:
        Sleep(step.value);
        break;
      case vexoop::Step::kAwait: {
        const std::wstring name = WindowsPath(FromCodePage(step.text, 949));
        const ULONGLONG end = GetTickCount64() + kAwaitLimitMs;
        bool arrived = false;
        while (!(arrived = GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) && GetTickCount64() < end)
          Sleep(20);
        // The writer may still hold the file open (a sharing violation under Windows):
        // a signal left in place would let the next await pass at once, so the file is
        // deleted before the step goes on.
        if (arrived)
          while (!DeleteFileW(name.c_str()) && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES &&
                 GetTickCount64() < end)
            Sleep(5);
        journal.Write("await\t" + step.text + (arrived ? "\tarrived" : "\ttimeout"));
        break;
      }
      case vexoop::Step::kRun: {
        const long code = RunUnixCommand(step.text, journal);
        if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
        ExitProcess(static_cast<UINT>(code));
      }
      case vexoop::Step::kExit:
        journal.Write("exit\t" + std::to_string(step.value));
        if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
        ExitProcess(static_cast<UINT>(step.value));
    }
  }
  // Stays, as the real program does, until it is ended.
  for (;;) Sleep(INFINITE);
}
