// HTTP over WinINet, one WinINet call per method.
//
// The object (path and query) and the header block go through the A functions: they are
// byte strings for the wire, and the A functions keep every byte (the W functions turn
// bytes outside the ANSI code page into '?'). The agent and the server name are text and
// go through the W functions, converted from CP949.
//
// WinINet canonicalises the object when the request is opened, and Wine's WinINet drops
// a trailing run of control bytes and blanks there; an encoded text often ends in 0x14
// (the padding character), so the request would lose it. With `escapeTrailingControls`
// (the default when running under Wine) that trailing run is sent as %XX escapes instead,
// which a server that decodes the query reads back as the same bytes. Every other byte of
// the object is sent raw.
#pragma once

#include <string>

#include "platform/internet.h"

namespace platform::win32 {

class Win32Internet final : public IInternet {
 public:
  Win32Internet();
  explicit Win32Internet(bool escapeTrailingControls);

  InternetHandle Open(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override;
  InternetHandle Connect(InternetHandle session, const std::string& server, std::uint16_t port,
                         std::uint32_t service) override;
  InternetHandle OpenRequest(InternetHandle connection, const std::string& verb, const std::string& object,
                             const std::string& version, std::uint32_t flags) override;
  bool AddRequestHeaders(InternetHandle request, const std::string& headers, std::uint32_t modifiers) override;
  bool SendRequest(InternetHandle request, const std::string& headers, const std::string& body) override;
  bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, std::string& out) override;
  // Fills `maxBytes` unless the body ends first (InternetReadFile is called until then).
  bool ReadFile(InternetHandle request, std::uint32_t maxBytes, std::string& out, std::uint32_t& read) override;
  bool CloseHandle(InternetHandle handle) override;
  long LastError() const override { return last_error_; }

 private:
  bool Fail();

  bool escape_trailing_controls_;
  long last_error_ = 0;
};

// True when the program runs under Wine (ntdll exports wine_get_version).
bool RunningUnderWine();

// `object` with its trailing run of bytes 0x00-0x20 written as %XX (upper-case hex).
std::string EscapeTrailingControls(const std::string& object);

}  // namespace platform::win32
