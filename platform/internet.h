// HTTP through WinINet, one call per method, and the URL moniker download.
//
// The HTTP client drives the sequence open / connect / open request / send / query /
// read / close itself, so every failure point (and the error code the platform
// reports there, e.g. 12029 for a refused connection, 12150 for a missing header)
// is visible to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/types.h"

namespace platform {

using InternetHandle = Handle;

constexpr std::uint32_t kInternetOpenTypePreconfig = 0;
constexpr std::uint16_t kInternetDefaultHttpPort = 80;
constexpr std::uint32_t kInternetServiceHttp = 3;
constexpr std::uint32_t kHttpQueryContentLength = 5;
constexpr std::uint32_t kHttpQueryStatusCode = 19;
constexpr std::uint32_t kHttpAddreqFlagAdd = 0x20000000;
constexpr std::uint32_t kHttpAddreqFlagAddIfNew = 0x10000000;

// WinINet error codes (LastError) the client and its tests look at.
constexpr long kInternetErrorTimeout = 12002;
constexpr long kInternetErrorNameNotResolved = 12007;
constexpr long kInternetErrorInvalidHandle = 12018;
constexpr long kInternetErrorCannotConnect = 12029;
constexpr long kInternetErrorConnectionAborted = 12030;
constexpr long kHttpErrorHeaderNotFound = 12150;

// The limits of every network wait of an HTTP exchange, in milliseconds. The exchanges
// run on the UI thread, so each wait freezes the window while it lasts: a server that
// accepts and never answers must cost the user seconds, not minutes, while a slow
// mobile link (seconds of round trip, lost SYNs) must still get its login through.
struct InternetTimeouts {
  std::uint32_t connectMs;  // the TCP connection (all addresses of the host together)
  std::uint32_t sendMs;     // each wait to hand request bytes to the network
  std::uint32_t receiveMs;  // each wait for response bytes, the head's and the body's
  std::uint32_t requestMs;  // from sending the request to its last byte read, however
                            // slowly the response trickles in
};

// The production limits. Connect: 15 s lets Windows send its SYN three times (at 0, 3
// and 9 s with its default retransmission time-out). Send and receive: 20 s without a
// single byte is far beyond a slow link's round trip plus the back end's own work on a
// login. Request: 60 s for the whole reply, so a server that trickles bytes cannot hold
// the window either.
inline constexpr InternetTimeouts kDefaultInternetTimeouts{15000, 20000, 20000, 60000};

// Each implementation bounds every wait by the InternetTimeouts it was built with; a
// wait that reaches its limit fails the call (12002 on Windows; Wine reports its own
// codes, see win32/win32_internet.h).
class IInternet {
 public:
  virtual ~IInternet() = default;

  // InternetOpenA(agent, accessType, no proxy, no bypass, flags): a session; 0 on
  // failure (see LastError).
  virtual InternetHandle Open(const std::string& agent, std::uint32_t accessType,
                              std::uint32_t flags) = 0;

  // InternetConnectA(session, server, port, no user, no password, service, 0).
  virtual InternetHandle Connect(InternetHandle session, const std::string& server,
                                 std::uint16_t port, std::uint32_t service) = 0;

  // HttpOpenRequestA(connection, verb, object, version, no referrer, no accept
  // types, flags). The object is sent as given: nothing is escaped.
  virtual InternetHandle OpenRequest(InternetHandle connection, const std::string& verb,
                                     const std::string& object, const std::string& version,
                                     std::uint32_t flags) = 0;

  // HttpAddRequestHeadersA(request, headers, length, modifiers).
  virtual bool AddRequestHeaders(InternetHandle request, const std::string& headers,
                                 std::uint32_t modifiers) = 0;

  // HttpSendRequestA(request, headers, body): the body is sent byte for byte.
  virtual bool SendRequest(InternetHandle request, const std::string& headers,
                           const std::string& body) = 0;

  // HttpQueryInfoA(request, infoLevel) as text (status code "200", length "123").
  // False when the header is missing (LastError 12150) or the call fails.
  virtual bool QueryInfo(InternetHandle request, std::uint32_t infoLevel,
                         std::string& out) = 0;

  // InternetReadFile: up to `maxBytes` bytes appended to `out`; `read` = bytes
  // read, 0 at the end of the body. False on failure.
  virtual bool ReadFile(InternetHandle request, std::uint32_t maxBytes, std::string& out,
                        std::uint32_t& read) = 0;

  // InternetCloseHandle.
  virtual bool CloseHandle(InternetHandle handle) = 0;

  // GetLastError after the last failed call of this interface (12xxx codes).
  virtual long LastError() const = 0;
};

// URLDownloadToFileA with a progress callback (IBindStatusCallback::OnProgress).
class IUrlDownloader {
 public:
  virtual ~IUrlDownloader() = default;

  // Called for every progress notification: bytes so far, total bytes (0 when
  // unknown), the BINDSTATUS code (2 connecting, 4 begin download, 5 downloading,
  // 6 end, ...) and its text. Return kSOk to go on, kEAbort to stop the download.
  using Progress = std::function<long(std::uint32_t progress, std::uint32_t progressMax,
                                      std::uint32_t statusCode, const std::string& text)>;

  static constexpr long kSOk = 0;
  static constexpr long kEAbort = static_cast<long>(0x80004004u);

  // Downloads `url` into the file `path`; the HRESULT of the call (0 on success).
  // A server error page and an aborted download may still leave a file behind.
  virtual long DownloadToFile(const std::string& url, const std::string& path,
                              const Progress& progress) = 0;
};

}  // namespace platform
