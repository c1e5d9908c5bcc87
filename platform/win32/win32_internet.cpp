#include "platform/win32/win32_internet.h"

#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

#include <wininet.h>

namespace platform::win32 {

namespace {

HINTERNET ToHandle(InternetHandle h) { return reinterpret_cast<HINTERNET>(h); }
InternetHandle FromHandle(HINTERNET h) { return reinterpret_cast<InternetHandle>(h); }

}  // namespace

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string EscapeTrailingControls(const std::string& object) {
  std::size_t keep = object.size();
  while (keep > 0 && static_cast<unsigned char>(object[keep - 1]) <= 0x20) --keep;
  std::string out = object.substr(0, keep);
  static const char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = keep; i < object.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(object[i]);
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
  }
  return out;
}

Win32Internet::Win32Internet() : Win32Internet(RunningUnderWine()) {}

Win32Internet::Win32Internet(bool escapeTrailingControls)
    : escape_trailing_controls_(escapeTrailingControls) {}

bool Win32Internet::Fail() {
  last_error_ = static_cast<long>(::GetLastError());
  return false;
}

InternetHandle Win32Internet::Open(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) {
  const HINTERNET h = ::InternetOpenW(Cp949ToWide(agent).c_str(), accessType, nullptr, nullptr, flags);
  if (!h) Fail();
  return FromHandle(h);
}

InternetHandle Win32Internet::Connect(InternetHandle session, const std::string& server, std::uint16_t port,
                                      std::uint32_t service) {
  const HINTERNET h = ::InternetConnectW(ToHandle(session), Cp949ToWide(server).c_str(), port, nullptr, nullptr,
                                         service, 0, 0);
  if (!h) Fail();
  return FromHandle(h);
}

InternetHandle Win32Internet::OpenRequest(InternetHandle connection, const std::string& verb,
                                          const std::string& object, const std::string& version,
                                          std::uint32_t flags) {
  const std::string sent = escape_trailing_controls_ ? EscapeTrailingControls(object) : object;
  const HINTERNET h = ::HttpOpenRequestA(ToHandle(connection), verb.c_str(), sent.c_str(), version.c_str(),
                                         nullptr, nullptr, flags, 0);
  if (!h) Fail();
  return FromHandle(h);
}

bool Win32Internet::AddRequestHeaders(InternetHandle request, const std::string& headers, std::uint32_t modifiers) {
  if (!::HttpAddRequestHeadersA(ToHandle(request), headers.c_str(), static_cast<DWORD>(headers.size()), modifiers))
    return Fail();
  return true;
}

bool Win32Internet::SendRequest(InternetHandle request, const std::string& headers, const std::string& body) {
  std::vector<char> optional(body.begin(), body.end());  // the call takes a non-const buffer
  if (!::HttpSendRequestA(ToHandle(request), headers.empty() ? nullptr : headers.c_str(),
                          static_cast<DWORD>(headers.size()), optional.empty() ? nullptr : optional.data(),
                          static_cast<DWORD>(optional.size())))
    return Fail();
  return true;
}

bool Win32Internet::QueryInfo(InternetHandle request, std::uint32_t infoLevel, std::string& out) {
  std::vector<char> buffer(64);
  for (;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (::HttpQueryInfoA(ToHandle(request), infoLevel, buffer.data(), &length, nullptr)) {
      out.assign(buffer.data(), length);
      return true;
    }
    // On a short buffer `length` is the size needed, terminating zero included.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= buffer.size()) return Fail();
    buffer.resize(length);
  }
}

bool Win32Internet::ReadFile(InternetHandle request, std::uint32_t maxBytes, std::string& out,
                             std::uint32_t& read) {
  read = 0;
  std::vector<char> buffer(maxBytes);
  while (read < maxBytes) {
    DWORD got = 0;
    if (!::InternetReadFile(ToHandle(request), buffer.data() + read, maxBytes - read, &got)) {
      Fail();
      // Bytes already received are handed over; the failure shows on the next call.
      if (read == 0) return false;
      break;
    }
    if (got == 0) break;
    read += got;
  }
  out.append(buffer.data(), read);
  return true;
}

bool Win32Internet::CloseHandle(InternetHandle handle) {
  if (!::InternetCloseHandle(ToHandle(handle))) return Fail();
  return true;
}

}  // namespace platform::win32
