#include "platform/win32/win32_system.h"

#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

namespace platform::win32 {

namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// Looked up at run time: systems before XP SP2 do not have it.
IsWow64ProcessFn FindIsWow64Process() {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32");
  if (!kernel) return nullptr;
  return reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
}

}  // namespace

std::string Win32System::WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT n = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return std::string();
  std::string path;
  WideToCp949Exact(std::wstring(buffer, n), path);
  return path;
}

std::string Win32System::ModuleFileName() {
  std::vector<wchar_t> buffer(32768);
  const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return std::string();
  std::string path;
  WideToCp949Exact(std::wstring(buffer.data(), n), path);
  return path;
}

std::string Win32System::CurrentDirectory() {
  const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return std::string();
  std::vector<wchar_t> buffer(size);
  const DWORD n = ::GetCurrentDirectoryW(size, buffer.data());
  if (n == 0 || n >= size) return std::string();
  std::string path;
  WideToCp949Exact(std::wstring(buffer.data(), n), path);
  return path;
}

bool Win32System::SetCurrentDirectory(const std::string& path) {
  return ::SetCurrentDirectoryW(Cp949ToWide(path).c_str()) != FALSE;
}

long Win32System::CreateDirectory(const std::string& path) {
  if (::CreateDirectoryW(Cp949ToWide(path).c_str(), nullptr)) return ERROR_SUCCESS;
  return static_cast<long>(::GetLastError());
}

bool Win32System::HasIsWow64Process() { return FindIsWow64Process() != nullptr; }

bool Win32System::IsWow64Process() {
  IsWow64ProcessFn fn = FindIsWow64Process();
  BOOL wow64 = FALSE;
  return fn && fn(::GetCurrentProcess(), &wow64) && wow64;
}

bool Win32System::GetVersionEx(OsVersion& version) {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return false;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  version.csdVersion = WideToCp949(info.szCSDVersion);
  version.servicePackMajor = info.wServicePackMajor;
  version.servicePackMinor = info.wServicePackMinor;
  version.suiteMask = info.wSuiteMask;
  version.productType = info.wProductType;
  return true;
}

std::string Win32System::SystemDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return std::string();
  std::string path;
  WideToCp949Exact(std::wstring(buffer, n), path);
  return path;
}

// The same call as the system report's processor fact.
std::uint16_t Win32System::NativeProcessorArchitecture() { return Win32SystemFacts().ProcessorArchitecture(); }

std::time_t Win32Clock::Now() { return std::time(nullptr); }

bool Win32Clock::LocalTime(std::time_t t, std::tm& out) { return localtime_s(&out, &t) == 0; }

bool Win32Clock::MakeLocalTime(const std::tm& local, std::time_t& out) {
  std::tm copy = local;
  copy.tm_isdst = -1;
  out = std::mktime(&copy);
  return out != static_cast<std::time_t>(-1);
}

long Win32Clock::SetLocalTime(const SystemTime& time) {
  SYSTEMTIME st{};
  st.wYear = time.year;
  st.wMonth = time.month;
  st.wDayOfWeek = time.dayOfWeek;
  st.wDay = time.day;
  st.wHour = time.hour;
  st.wMinute = time.minute;
  st.wSecond = time.second;
  st.wMilliseconds = time.milliseconds;
  if (::SetLocalTime(&st)) return ERROR_SUCCESS;
  return static_cast<long>(::GetLastError());
}

std::uint16_t Win32SystemFacts::ProcessorArchitecture() {
  using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
  SYSTEM_INFO info{};
  auto native = reinterpret_cast<GetNativeSystemInfoFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "GetNativeSystemInfo")));
  if (native != nullptr) native(&info);
  else ::GetSystemInfo(&info);
  return info.wProcessorArchitecture;
}

bool Win32SystemFacts::GetProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t& productType) {
  using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
  auto get = reinterpret_cast<GetProductInfoFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "GetProductInfo")));
  if (get == nullptr) return false;
  DWORD type = 0;
  get(major, minor, 0, 0, &type);
  productType = type;
  return true;
}

int Win32SystemFacts::ServerR2Metric() { return ::GetSystemMetrics(SM_SERVERR2); }

}  // namespace platform::win32
