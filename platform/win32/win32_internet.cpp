#include "platform/win32/win32_internet.h"

#include <algorithm>
#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

#include <winsock2.h>
#include <ws2tcpip.h>
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

bool ConnectsWithin(const std::string& server, std::uint16_t port, std::uint32_t limitMs) {
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return true;
  bool within = true;
  ADDRINFOW hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  ADDRINFOW* found = nullptr;
  if (::GetAddrInfoW(Cp949ToWide(server).c_str(), std::to_wstring(port).c_str(), &hints, &found) == 0 && found) {
    const SOCKET s = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    u_long nonBlocking = 1;
    if (s != INVALID_SOCKET && ::ioctlsocket(s, FIONBIO, &nonBlocking) == 0 &&
        ::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == SOCKET_ERROR &&
        ::WSAGetLastError() == WSAEWOULDBLOCK) {
      fd_set done, failed;
      FD_ZERO(&done);
      FD_ZERO(&failed);
      FD_SET(s, &done);
      FD_SET(s, &failed);
      timeval limit{static_cast<long>(limitMs / 1000), static_cast<long>(limitMs % 1000) * 1000};
      within = ::select(0, nullptr, &done, &failed, &limit) != 0;
    }
    if (s != INVALID_SOCKET) ::closesocket(s);
    ::FreeAddrInfoW(found);
  }
  ::WSACleanup();
  return within;
}

Win32Internet::Win32Internet() : Win32Internet(kDefaultInternetTimeouts) {}

Win32Internet::Win32Internet(const InternetTimeouts& timeouts)
    : Win32Internet(timeouts, RunningUnderWine(), RunningUnderWine()) {}

Win32Internet::Win32Internet(bool escapeTrailingControls)
    : Win32Internet(kDefaultInternetTimeouts, escapeTrailingControls, RunningUnderWine()) {}

Win32Internet::Win32Internet(const InternetTimeouts& timeouts, bool escapeTrailingControls, bool probeConnect)
    : timeouts_(timeouts), escape_trailing_controls_(escapeTrailingControls), probe_connect_(probeConnect) {}

bool Win32Internet::Fail() {
  last_error_ = static_cast<long>(::GetLastError());
  return false;
}

bool Win32Internet::Fail(long error) {
  last_error_ = error;
  return false;
}

InternetHandle Win32Internet::WithTimeouts(InternetHandle handle) {
  if (!handle) return handle;
  const std::pair<DWORD, DWORD> limits[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, timeouts_.connectMs},
                                            {INTERNET_OPTION_SEND_TIMEOUT, timeouts_.sendMs},
                                            {INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts_.receiveMs}};
  for (auto [option, value] : limits) {
    if (!::InternetSetOptionW(ToHandle(handle), option, &value, sizeof value)) {
      Fail();
      ::InternetCloseHandle(ToHandle(handle));
      return 0;
    }
  }
  return handle;
}

InternetHandle Win32Internet::Open(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) {
  const HINTERNET h = ::InternetOpenW(Cp949ToWide(agent).c_str(), accessType, nullptr, nullptr, flags);
  if (!h) Fail();
  return WithTimeouts(FromHandle(h));
}

InternetHandle Win32Internet::Connect(InternetHandle session, const std::string& server, std::uint16_t port,
                                      std::uint32_t service) {
  const HINTERNET h = ::InternetConnectW(ToHandle(session), Cp949ToWide(server).c_str(), port, nullptr, nullptr,
                                         service, 0, 0);
  if (!h) Fail();
  const InternetHandle handle = WithTimeouts(FromHandle(h));
  if (handle) connections_[handle] = Target{server, port};
  return handle;
}

InternetHandle Win32Internet::OpenRequest(InternetHandle connection, const std::string& verb,
                                          const std::string& object, const std::string& version,
                                          std::uint32_t flags) {
  const std::string sent = escape_trailing_controls_ ? EscapeTrailingControls(object) : object;
  const HINTERNET h = ::HttpOpenRequestA(ToHandle(connection), verb.c_str(), sent.c_str(), version.c_str(),
                                         nullptr, nullptr, flags, 0);
  if (!h) Fail();
  const InternetHandle handle = WithTimeouts(FromHandle(h));
  if (handle) {
    const auto target = connections_.find(connection);
    requests_[handle].target = target != connections_.end() ? target->second : Target{};
  }
  return handle;
}

bool Win32Internet::AddRequestHeaders(InternetHandle request, const std::string& headers, std::uint32_t modifiers) {
  if (!::HttpAddRequestHeadersA(ToHandle(request), headers.c_str(), static_cast<DWORD>(headers.size()), modifiers))
    return Fail();
  return true;
}

bool Win32Internet::SendRequest(InternetHandle request, const std::string& headers, const std::string& body) {
  const auto known = requests_.find(request);
  if (known != requests_.end()) {
    Request& r = known->second;
    r.deadline = ::GetTickCount64() + timeouts_.requestMs;
    if (probe_connect_ && !r.target.server.empty() &&
        !ConnectsWithin(r.target.server, r.target.port, timeouts_.connectMs))
      return Fail(kInternetErrorTimeout);
  }
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
  const auto known = requests_.find(request);
  Request* r = known != requests_.end() ? &known->second : nullptr;
  if (r && r->read_error != 0) return Fail(r->read_error);
  std::vector<char> buffer(maxBytes);
  long error = 0;
  while (read < maxBytes) {
    if (r && r->deadline != 0 && ::GetTickCount64() >= r->deadline) {
      error = kInternetErrorTimeout;
      break;
    }
    // Only what has arrived is read: a read of more waits until all of it is there, so a
    // body that trickles in would keep one call going past the request's deadline.
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(ToHandle(request), &available, 0, 0)) {
      error = static_cast<long>(::GetLastError());
      break;
    }
    if (available == 0) break;  // the end of the body
    DWORD got = 0;
    const BOOL ok = ::InternetReadFile(ToHandle(request), buffer.data() + read,
                                       std::min<DWORD>(available, maxBytes - read), &got);
    read += got;  // Wine reports the bytes of a read that then timed out
    if (!ok) {
      error = static_cast<long>(::GetLastError());
      break;
    }
    if (got == 0) break;
  }
  // Bytes already received are handed over; the failure shows on the next call.
  if (error != 0 && read == 0) return Fail(error);
  if (error != 0) {
    last_error_ = error;
    if (r) r->read_error = error;
  }
  out.append(buffer.data(), read);
  return true;
}

bool Win32Internet::CloseHandle(InternetHandle handle) {
  connections_.erase(handle);
  requests_.erase(handle);
  if (!::InternetCloseHandle(ToHandle(handle))) return Fail();
  return true;
}

}  // namespace platform::win32
