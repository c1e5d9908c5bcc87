#include "platform/win32/win32_ras.h"

#include <cstddef>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"
#include "text/cp949.h"

#include <ras.h>

namespace platform::win32 {

namespace {

// RASDIALPARAMS as far as the sub-entry and callback-id fields (the layout of Windows
// 2000 and later without the interface index of Windows 7), packed on 4 bytes as
// <ras.h> packs it: 1060 bytes in a 32-bit program, 1064 in a 64-bit one, where the
// callback id is 8 bytes wide. The platform checks dwSize against the layouts it knows.
#pragma pack(push, 4)
struct DialParamsA {
  DWORD dwSize;
  CHAR szEntryName[kRasMaxEntryName + 1];
  CHAR szPhoneNumber[kRasMaxPhoneNumber + 1];
  CHAR szCallbackNumber[kRasMaxPhoneNumber + 1];
  CHAR szUserName[kRasMaxUserName + 1];
  CHAR szPassword[kRasMaxPassword + 1];
  CHAR szDomain[kRasMaxDomain + 1];
  DWORD dwSubEntry;
  ULONG_PTR dwCallbackId;
};
struct DialParamsW {
  DWORD dwSize;
  WCHAR szEntryName[kRasMaxEntryName + 1];
  WCHAR szPhoneNumber[kRasMaxPhoneNumber + 1];
  WCHAR szCallbackNumber[kRasMaxPhoneNumber + 1];
  WCHAR szUserName[kRasMaxUserName + 1];
  WCHAR szPassword[kRasMaxPassword + 1];
  WCHAR szDomain[kRasMaxDomain + 1];
  DWORD dwSubEntry;
  ULONG_PTR dwCallbackId;
};
#pragma pack(pop)

#define TUNRA_SAME_FIELD(ours, theirs, field) \
  static_assert(offsetof(ours, field) == offsetof(theirs, field), #field " is where <ras.h> has it")
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, szEntryName);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, szPhoneNumber);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, szCallbackNumber);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, szUserName);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, szPassword);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, szDomain);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, dwSubEntry);
TUNRA_SAME_FIELD(DialParamsA, RASDIALPARAMSA, dwCallbackId);
TUNRA_SAME_FIELD(DialParamsW, RASDIALPARAMSW, szEntryName);
TUNRA_SAME_FIELD(DialParamsW, RASDIALPARAMSW, szPassword);
TUNRA_SAME_FIELD(DialParamsW, RASDIALPARAMSW, szDomain);
TUNRA_SAME_FIELD(DialParamsW, RASDIALPARAMSW, dwSubEntry);
TUNRA_SAME_FIELD(DialParamsW, RASDIALPARAMSW, dwCallbackId);
#undef TUNRA_SAME_FIELD
static_assert(sizeof(DialParamsA) == (sizeof(void*) == 8 ? 1064 : 1060), "RASDIALPARAMSA with callback id");
static_assert(sizeof(DialParamsW) == (sizeof(void*) == 8 ? 2108 : 2104), "RASDIALPARAMSW with callback id");
static_assert(sizeof(RASCONNSTATUSA) == 288, "RASCONNSTATUSA with the phone number");
static_assert(sizeof(RASPPPIPA) == 48, "RASPPPIPA with the server address and options");
static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "error codes pass unchanged");

using RasDialAFn = decltype(&::RasDialA);
using RasDialWFn = decltype(&::RasDialW);
using RasHangUpAFn = decltype(&::RasHangUpA);
using RasGetConnectStatusAFn = decltype(&::RasGetConnectStatusA);
using RasGetProjectionInfoAFn = decltype(&::RasGetProjectionInfoA);
using RasGetErrorStringAFn = decltype(&::RasGetErrorStringA);
using RasGetErrorStringWFn = decltype(&::RasGetErrorStringW);

// The library's entry points, looked up once for the process. A missing library or
// entry point answers with the loader's error (126, 127), never with success.
struct RasApi {
  DWORD loadError = ERROR_MOD_NOT_FOUND;
  RasDialAFn dialA = nullptr;
  RasDialWFn dialW = nullptr;
  RasHangUpAFn hangUp = nullptr;
  RasGetConnectStatusAFn connectStatus = nullptr;
  RasGetProjectionInfoAFn projectionInfo = nullptr;
  RasGetErrorStringAFn errorStringA = nullptr;
  RasGetErrorStringWFn errorStringW = nullptr;

  std::uint32_t Missing() const { return loadError != 0 ? loadError : ERROR_PROC_NOT_FOUND; }
};

template <typename Fn>
Fn Find(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

const RasApi& Api() {
  static const RasApi api = [] {
    RasApi loaded;
    // By name, as an import would be found: the program's folder, then the system's.
    HMODULE module = ::LoadLibraryW(L"rasapi32.dll");
    if (!module) {
      const DWORD error = ::GetLastError();
      loaded.loadError = error != 0 ? error : ERROR_MOD_NOT_FOUND;
      return loaded;
    }
    loaded.loadError = 0;
    loaded.dialA = Find<RasDialAFn>(module, "RasDialA");
    loaded.dialW = Find<RasDialWFn>(module, "RasDialW");
    loaded.hangUp = Find<RasHangUpAFn>(module, "RasHangUpA");
    loaded.connectStatus = Find<RasGetConnectStatusAFn>(module, "RasGetConnectStatusA");
    loaded.projectionInfo = Find<RasGetProjectionInfoAFn>(module, "RasGetProjectionInfoA");
    loaded.errorStringA = Find<RasGetErrorStringAFn>(module, "RasGetErrorStringA");
    loaded.errorStringW = Find<RasGetErrorStringWFn>(module, "RasGetErrorStringW");
    return loaded;  // the library stays loaded for the process's life
  }();
  return api;
}

// The notifier of the current dial. The platform calls the thunk on its own thread.
std::mutex g_slot_lock;
IRas::Notifier g_slot;

void WINAPI NotifyThunk(UINT message, RASCONNSTATE state, DWORD error) {
  IRas::Notifier notify;
  {
    std::lock_guard<std::mutex> hold(g_slot_lock);
    notify = g_slot;
  }
  if (notify) notify(message, static_cast<std::uint32_t>(state), error);
}

HRASCONN ToHandle(RasConn conn) { return reinterpret_cast<HRASCONN>(conn); }

// Copies `value` and its terminating zero into a field of `N` characters; false when
// it does not fit (the dial is refused rather than made with a cut text).
template <typename Char, std::size_t N>
bool Put(Char (&field)[N], const std::basic_string<Char>& value) {
  if (value.size() >= N) return false;
  std::memcpy(field, value.c_str(), (value.size() + 1) * sizeof(Char));
  return true;
}

// The text of a fixed field that may lack its terminating zero.
std::string FieldText(const char* field, std::size_t size) {
  const void* end = std::memchr(field, 0, size);
  return std::string(field, end ? static_cast<const char*>(end) - field : size);
}

// At most `bytes` bytes of CP949 text, never ending inside a double-byte character.
std::string FitCp949(const std::string& text, std::size_t bytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + text::CharLength(text, end);
    if (next > bytes) break;
    end = next;
  }
  return text.substr(0, end);
}

// The A functions read their texts in the system's ANSI code page; the program's texts
// are code page 949. They agree on a Korean system and for ASCII texts; otherwise the
// W functions get the texts converted exactly.
bool AnsiReadsAsWritten(const std::string& path, const RasDialParams& p) {
  if (::GetACP() == 949) return true;
  return IsAscii(path) && IsAscii(p.entryName) && IsAscii(p.phoneNumber) && IsAscii(p.callbackNumber) &&
         IsAscii(p.userName) && IsAscii(p.password) && IsAscii(p.domain);
}

std::uint32_t DialAnsi(const RasApi& api, const std::string& path, const RasDialParams& p, HRASCONN& handle) {
  if (!api.dialA) return api.Missing();
  DialParamsA params{};
  params.dwSize = sizeof params;
  const bool fits = Put(params.szEntryName, p.entryName) && Put(params.szPhoneNumber, p.phoneNumber) &&
                    Put(params.szCallbackNumber, p.callbackNumber) && Put(params.szUserName, p.userName) &&
                    Put(params.szPassword, p.password) && Put(params.szDomain, p.domain);
  std::uint32_t result = ERROR_INVALID_PARAMETER;
  if (fits) {
    result = api.dialA(nullptr, path.empty() ? nullptr : path.c_str(),
                       reinterpret_cast<LPRASDIALPARAMSA>(&params), 0,
                       reinterpret_cast<LPVOID>(&NotifyThunk), &handle);
  }
  ::SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  return result;
}

std::uint32_t DialWide(const RasApi& api, const std::string& path, const RasDialParams& p, HRASCONN& handle) {
  if (!api.dialW) return api.Missing();
  DialParamsW params{};
  params.dwSize = sizeof params;
  std::wstring password = Cp949ToWide(p.password);
  const bool fits = Put(params.szEntryName, Cp949ToWide(p.entryName)) &&
                    Put(params.szPhoneNumber, Cp949ToWide(p.phoneNumber)) &&
                    Put(params.szCallbackNumber, Cp949ToWide(p.callbackNumber)) &&
                    Put(params.szUserName, Cp949ToWide(p.userName)) && Put(params.szPassword, password) &&
                    Put(params.szDomain, Cp949ToWide(p.domain));
  std::uint32_t result = ERROR_INVALID_PARAMETER;
  if (fits) {
    const std::wstring widePath = Cp949ToWide(path);
    result = api.dialW(nullptr, path.empty() ? nullptr : widePath.c_str(),
                       reinterpret_cast<LPRASDIALPARAMSW>(&params), 0,
                       reinterpret_cast<LPVOID>(&NotifyThunk), &handle);
  }
  ::SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  ::SecureZeroMemory(&password[0], password.size() * sizeof(wchar_t));
  return result;
}

// The system's own text for a code RAS has no text for (the loader's 126, say).
bool SystemErrorText(std::uint32_t code, std::uint32_t capacity, std::string& text) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  if (n == 0 || !buffer) return false;
  std::wstring wide(buffer, n);
  ::LocalFree(buffer);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.pop_back();
  text = FitCp949(WideToCp949(wide), capacity - 1);
  return true;
}

}  // namespace

std::uint32_t Win32Ras::Dial(const std::string& phonebookPath, const RasDialParams& params, Notifier notifier,
                             RasConn& conn) {
  const RasApi& api = Api();
  {
    std::lock_guard<std::mutex> hold(g_slot_lock);
    g_slot = std::move(notifier);
  }
  HRASCONN handle = nullptr;
  const std::uint32_t result = AnsiReadsAsWritten(phonebookPath, params)
                                   ? DialAnsi(api, phonebookPath, params, handle)
                                   : DialWide(api, phonebookPath, params, handle);
  conn = reinterpret_cast<RasConn>(handle);
  return result;
}

std::uint32_t Win32Ras::HangUp(RasConn conn) {
  const RasApi& api = Api();
  if (!api.hangUp) return api.Missing();
  return api.hangUp(ToHandle(conn));
}

std::uint32_t Win32Ras::GetConnectStatus(RasConn conn, RasConnStatus& status) {
  const RasApi& api = Api();
  if (!api.connectStatus) return api.Missing();
  RASCONNSTATUSA answer{};
  answer.dwSize = sizeof answer;
  const DWORD result = api.connectStatus(ToHandle(conn), &answer);
  if (result != 0) return result;
  status.state = static_cast<std::uint32_t>(answer.rasconnstate);
  status.error = answer.dwError;
  status.deviceType = FieldText(answer.szDeviceType, sizeof answer.szDeviceType);
  status.deviceName = FieldText(answer.szDeviceName, sizeof answer.szDeviceName);
  return 0;
}

std::uint32_t Win32Ras::GetProjectionIp(RasConn conn, std::string& ipAddress) {
  const RasApi& api = Api();
  if (!api.projectionInfo) return api.Missing();
  RASPPPIPA answer{};
  answer.dwSize = sizeof answer;
  DWORD size = sizeof answer;
  const DWORD result = api.projectionInfo(ToHandle(conn), RASP_PppIp, &answer, &size);
  if (result != 0) return result;
  // The call succeeds for a failed IP negotiation too; its own error says so.
  if (answer.dwError != 0) return answer.dwError;
  ipAddress = FieldText(answer.szIpAddress, sizeof answer.szIpAddress);
  return 0;
}

std::uint32_t Win32Ras::GetErrorString(std::uint32_t code, std::uint32_t capacity, std::string& text) {
  if (capacity == 0) return ERROR_INVALID_PARAMETER;
  const RasApi& api = Api();
  std::uint32_t result = api.Missing();
  if (::GetACP() == 949 && api.errorStringA) {
    std::vector<char> buffer(capacity);
    result = api.errorStringA(code, buffer.data(), capacity);
    if (result == 0) {
      text = FieldText(buffer.data(), buffer.size());
      return 0;
    }
  } else if (api.errorStringW) {
    // Read as UTF-16 and converted, so the text is code page 949 whatever the system's.
    std::vector<wchar_t> buffer(capacity);
    result = api.errorStringW(code, buffer.data(), capacity);
    if (result == 0) {
      buffer.back() = L'\0';
      text = FitCp949(WideToCp949(buffer.data()), capacity - 1);
      return 0;
    }
  }
  return SystemErrorText(code, capacity, text) ? 0 : result;
}

void Win32Ras::Pause(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace platform::win32
