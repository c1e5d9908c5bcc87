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
//
// Every wait is bounded. The connect, send and receive limits are set on each handle
// (session, connection, request): Wine 8 ignores receive and send limits set only on
// the session, and both Windows and Wine honour them on the handles below it. WinINet
// has no limit for a whole response, so ReadFile checks the request's deadline before
// each wait for more bytes (InternetQueryDataAvailable, bounded by the receive limit)
// and then reads only what has arrived: under Wine one InternetReadFile for more bytes
// than have arrived waits until all of them are there, however long that takes.
//
// Wine 8 ignores the connect limit (measured: a SYN that is never answered blocks
// HttpSendRequest for about 135 s, until Linux gives up). With `probeConnect` (the
// default under Wine) the request first opens a TCP connection of its own to the server
// within the connect limit and closes it again; only when that times out does the send
// fail (12002) without calling WinINet. Under Wine a receive time-out shows as 12030 from
// HttpSendRequest and as 10060 (WSAETIMEDOUT) from InternetReadFile, which then reports
// the bytes it did read while returning FALSE; Windows reports 12002.
#pragma once

#include <map>
#include <string>

#include "platform/internet.h"

namespace platform::win32 {

class Win32Internet final : public IInternet {
 public:
  // The production limits, and the Wine work-arounds when running under Wine.
  Win32Internet();
  explicit Win32Internet(const InternetTimeouts& timeouts);
  explicit Win32Internet(bool escapeTrailingControls);
  Win32Internet(const InternetTimeouts& timeouts, bool escapeTrailingControls, bool probeConnect);

  const InternetTimeouts& timeouts() const { return timeouts_; }

  InternetHandle Open(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override;
  InternetHandle Connect(InternetHandle session, const std::string& server, std::uint16_t port,
                         std::uint32_t service) override;
  InternetHandle OpenRequest(InternetHandle connection, const std::string& verb, const std::string& object,
                             const std::string& version, std::uint32_t flags) override;
  bool AddRequestHeaders(InternetHandle request, const std::string& headers, std::uint32_t modifiers) override;
  bool SendRequest(InternetHandle request, const std::string& headers, const std::string& body) override;
  bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, std::string& out) override;
  // Fills `maxBytes` unless the body ends first (reading what has arrived until then).
  bool ReadFile(InternetHandle request, std::uint32_t maxBytes, std::string& out, std::uint32_t& read) override;
  bool CloseHandle(InternetHandle handle) override;
  long LastError() const override { return last_error_; }

 private:
  bool Fail();
  bool Fail(long error);
  // Sets the connect, send and receive limits on `handle`; closes it on failure.
  InternetHandle WithTimeouts(InternetHandle handle);

  struct Target {
    std::string server;
    std::uint16_t port = 0;
  };
  struct Request {
    Target target;
    std::uint64_t deadline = 0;  // GetTickCount64 value; 0 before the send
    long read_error = 0;         // a failed read whose bytes were handed over: the next read fails
  };

  InternetTimeouts timeouts_;
  bool escape_trailing_controls_;
  bool probe_connect_;
  std::map<InternetHandle, Target> connections_;
  std::map<InternetHandle, Request> requests_;
  long last_error_ = 0;
};

// Whether a TCP connection to server:port (its first IPv4 address) is made within
// `limitMs`. False only when the limit passed; a refused connection or a name that does
// not resolve counts as true, for WinINet to report in its own way.
bool ConnectsWithin(const std::string& server, std::uint16_t port, std::uint32_t limitMs);

// True when the program runs under Wine (ntdll exports wine_get_version).
bool RunningUnderWine();

// `object` with its trailing run of bytes 0x00-0x20 written as %XX (upper-case hex).
std::string EscapeTrailingControls(const std::string& object);

}  // namespace platform::win32
