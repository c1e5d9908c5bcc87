// The WinINet-level HTTP interface over POSIX sockets, so the HTTP client runs natively
// against real servers. It sends what the client's requests carry on Windows: HTTP/1.0,
// the request headers given, the object (path and query) raw, no percent-escaping. The
// TCP connection is made when the request is sent, as WinINet does, so a refused
// connection is a send failure (12029).
//
// Every wait is bounded by the InternetTimeouts given: the connection (a non-blocking
// connect and poll), each send, each wait for response bytes, and the whole response
// from the send on. A wait that reaches its limit fails with 12002, as WinINet's do.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/internet.h"

namespace platform {

class PosixInternet : public IInternet {
 public:
  explicit PosixInternet(const InternetTimeouts& timeouts = kDefaultInternetTimeouts);
  ~PosixInternet() override;

  const InternetTimeouts& timeouts() const { return timeouts_; }

  InternetHandle Open(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override;
  InternetHandle Connect(InternetHandle session, const std::string& server, std::uint16_t port,
                         std::uint32_t service) override;
  InternetHandle OpenRequest(InternetHandle connection, const std::string& verb, const std::string& object,
                             const std::string& version, std::uint32_t flags) override;
  bool AddRequestHeaders(InternetHandle request, const std::string& headers, std::uint32_t modifiers) override;
  bool SendRequest(InternetHandle request, const std::string& headers, const std::string& body) override;
  bool QueryInfo(InternetHandle request, std::uint32_t infoLevel, std::string& out) override;
  bool ReadFile(InternetHandle request, std::uint32_t maxBytes, std::string& out, std::uint32_t& read) override;
  bool CloseHandle(InternetHandle handle) override;
  long LastError() const override { return last_error_; }

 private:
  struct Object;
  Object* Find(InternetHandle handle, int kind);
  Object& Add(int kind, InternetHandle parent, InternetHandle& handle);
  bool OpenSocket(Object& request, const Object& connection);
  bool SendAll(Object& request, const std::string& message);
  bool ReadHead(Object& request);
  bool Fail(long error);

  InternetTimeouts timeouts_;
  std::map<InternetHandle, std::unique_ptr<Object>> objects_;
  InternetHandle next_ = 1;
  long last_error_ = 0;
};

}  // namespace platform
