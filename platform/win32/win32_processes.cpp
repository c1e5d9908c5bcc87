#include "platform/win32/win32_processes.h"

#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"
// tlhelp32.h after windows.h.
#include <tlhelp32.h>

#undef Process32First
#undef Process32Next
#undef Module32First
#undef Module32Next

namespace platform::win32 {

namespace {

HANDLE AsHandle(ProcessHandle h) { return reinterpret_cast<HANDLE>(h); }

// CreateProcessW may write into the command line: it gets a buffer of its own.
bool Start(const std::string& commandLine, const CreateProcessOptions& options, PROCESS_INFORMATION& info,
           DWORD& error) {
  std::wstring line = Cp949ToWide(commandLine);
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  const std::wstring application = Cp949ToWide(options.applicationName);
  const std::wstring directory = Cp949ToWide(options.currentDirectory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = options.startupFlags;
  startup.wShowWindow = static_cast<WORD>(options.showWindow);
  info = PROCESS_INFORMATION{};
  if (::CreateProcessW(application.empty() ? nullptr : application.c_str(), buffer.data(), nullptr,
                       nullptr, options.inheritHandles ? TRUE : FALSE, options.creationFlags, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    error = 0;
    return true;
  }
  error = ::GetLastError();
  return false;
}

}  // namespace

bool Win32Processes::CreateProcess(const std::string& commandLine, const CreateProcessOptions& options,
                                   ProcessHandle& process, std::uint32_t& pid, std::uint32_t& error) {
  PROCESS_INFORMATION info;
  DWORD code = 0;
  if (!Start(commandLine, options, info, code)) {
    error = code;
    return false;
  }
  ::CloseHandle(info.hThread);
  process = reinterpret_cast<ProcessHandle>(info.hProcess);
  pid = info.dwProcessId;
  error = 0;
  return true;
}

bool Win32Processes::GetExitCode(ProcessHandle process, std::uint32_t& code) {
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(AsHandle(process), &exitCode)) return false;
  code = exitCode;
  return true;
}

unsigned Win32Processes::WinExec(const std::string& commandLine, int show) {
  // WinExec's own call takes the text in the system's ANSI code page; the same start
  // through CreateProcessW keeps Korean paths right. Its answers: above 31 on success,
  // else 0 (out of resources) or the error for a missing file, path or bad format.
  CreateProcessOptions options;
  options.inheritHandles = false;
  options.creationFlags = 0;
  options.startupFlags = STARTF_USESHOWWINDOW;
  options.showWindow = show;
  PROCESS_INFORMATION info;
  DWORD error = 0;
  if (Start(commandLine, options, info, error)) {
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return 33;
  }
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_FORMAT:
      return error;
    default:
      return 0;
  }
}

std::uint32_t Win32Processes::Wait(ProcessHandle process, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(AsHandle(process), milliseconds);
}

bool Win32Processes::SnapshotProcesses(std::vector<ProcessEntry>& processes) {
  processes.clear();
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    ProcessEntry e;
    e.pid = entry.th32ProcessID;
    e.parentPid = entry.th32ParentProcessID;
    e.exeFile = WideToCp949(entry.szExeFile);
    processes.push_back(std::move(e));
  }
  ::CloseHandle(snapshot);
  return true;
}

bool Win32Processes::SnapshotModules(std::uint32_t pid, std::vector<ModuleEntry>& modules) {
  modules.clear();
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Module32FirstW(snapshot, &entry); more; more = ::Module32NextW(snapshot, &entry)) {
    ModuleEntry m;
    m.pid = entry.th32ProcessID;
    m.module = WideToCp949(entry.szModule);
    m.exePath = WideToCp949(entry.szExePath);
    modules.push_back(std::move(m));
  }
  ::CloseHandle(snapshot);
  return true;
}

ProcessHandle Win32Processes::OpenProcess(std::uint32_t access, std::uint32_t pid) {
  return reinterpret_cast<ProcessHandle>(::OpenProcess(access, FALSE, pid));
}

bool Win32Processes::TerminateProcess(ProcessHandle process, std::uint32_t exitCode) {
  return ::TerminateProcess(AsHandle(process), exitCode) != FALSE;
}

bool Win32Processes::CloseHandle(ProcessHandle handle) { return ::CloseHandle(AsHandle(handle)) != FALSE; }

}  // namespace platform::win32
