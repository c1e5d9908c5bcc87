#include "platform/posix/posix_internet.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/posix/http_response_head.h"

namespace platform {

namespace {

enum Kind { kSession, kConnection, kRequest };

using Clock = std::chrono::steady_clock;

enum class Wait { kReady, kTimeout, kError };

// Waits until `fd` is ready for `events`, for at most `limitMs` and never past
// `deadline`.
Wait WaitFor(int fd, short events, std::uint32_t limitMs, Clock::time_point deadline) {
  const Clock::time_point end = std::min(deadline, Clock::now() + std::chrono::milliseconds(limitMs));
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return Wait::kTimeout;
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 1 << 30)));
    if (n > 0) return Wait::kReady;  // or an error, which the next socket call reports
    if (n == 0) continue;            // the loop re-checks the time left
    if (errno != EINTR) return Wait::kError;
  }
}

}  // namespace

struct PosixInternet::Object {
  int kind = kSession;
  InternetHandle parent = 0;
  std::string server;
  std::uint16_t port = 0;
  std::string verb, object, version, headers;
  int fd = -1;
  Clock::time_point deadline;  // of the whole response
  long read_error = 0;         // a failed read whose bytes were handed over: the next read fails
  bool head_read = false;
  int status = 0;
  std::string head;      // response header lines (after the status line)
  std::string pending;   // body bytes received with the head, not yet read
  ~Object() {
    if (fd >= 0) ::close(fd);
  }
};

PosixInternet::PosixInternet(const InternetTimeouts& timeouts) : timeouts_(timeouts) {}
PosixInternet::~PosixInternet() = default;

bool PosixInternet::Fail(long error) {
  last_error_ = error;
  return false;
}

PosixInternet::Object* PosixInternet::Find(InternetHandle handle, int kind) {
  auto it = objects_.find(handle);
  if (it == objects_.end() || it->second->kind != kind) {
    last_error_ = kInternetErrorInvalidHandle;
    return nullptr;
  }
  return it->second.get();
}

// Registers a new handle of `kind` under `parent` (0 for a session).
PosixInternet::Object& PosixInternet::Add(int kind, InternetHandle parent, InternetHandle& handle) {
  auto obj = std::make_unique<Object>();
  obj->kind = kind;
  obj->parent = parent;
  handle = next_++;
  return *(objects_[handle] = std::move(obj));
}

InternetHandle PosixInternet::Open(const std::string&, std::uint32_t, std::uint32_t) {
  InternetHandle handle = 0;
  Add(kSession, 0, handle);
  return handle;
}

InternetHandle PosixInternet::Connect(InternetHandle session, const std::string& server, std::uint16_t port,
                                      std::uint32_t) {
  if (!Find(session, kSession)) return 0;
  InternetHandle handle = 0;
  Object& c = Add(kConnection, session, handle);
  c.server = server;
  c.port = port;
  return handle;
}

InternetHandle PosixInternet::OpenRequest(InternetHandle connection, const std::string& verb,
                                          const std::string& object, const std::string& version, std::uint32_t) {
  if (!Find(connection, kConnection)) return 0;
  InternetHandle handle = 0;
  Object& r = Add(kRequest, connection, handle);
  r.verb = verb;
  r.object = object;
  r.version = version;
  return handle;
}

bool PosixInternet::AddRequestHeaders(InternetHandle request, const std::string& headers, std::uint32_t) {
  Object* r = Find(request, kRequest);
  if (!r) return false;
  r->headers += headers;
  if (!r->headers.empty() && r->headers.compare(r->headers.size() - 1, 1, "\n") != 0) r->headers += "\r\n";
  return true;
}

bool PosixInternet::SendRequest(InternetHandle request, const std::string& headers, const std::string& body) {
  Object* r = Find(request, kRequest);
  if (!r) return false;
  Object* c = Find(r->parent, kConnection);
  if (!c) return false;

  r->deadline = Clock::now() + std::chrono::milliseconds(timeouts_.requestMs);
  if (!OpenSocket(*r, *c)) return false;

  std::string all = r->headers + headers;
  if (!all.empty() && all.back() != '\n') all += "\r\n";
  const std::string message = r->verb + " " + r->object + " " + r->version + "\r\n" + all + "Host: " +
                              c->server + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  return SendAll(*r, message) && ReadHead(*r);
}

// Connects a non-blocking socket to the connection's server, within the connect limit.
bool PosixInternet::OpenSocket(Object& r, const Object& c) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(c.server.c_str(), std::to_string(c.port).c_str(), &hints, &found) != 0 || !found)
    return Fail(kInternetErrorNameNotResolved);
  if (r.fd >= 0) ::close(r.fd);  // a request sent again gets a new connection
  r.fd = -1;
  r.head_read = false;
  r.read_error = 0;
  r.pending.clear();
  const int fd = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
  if (fd < 0) {
    freeaddrinfo(found);
    return Fail(kInternetErrorCannotConnect);
  }
  r.fd = fd;  // closed with the request from here on
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  const int started = ::connect(fd, found->ai_addr, found->ai_addrlen);
  freeaddrinfo(found);
  if (started == 0) return true;
  if (errno != EINPROGRESS && errno != EINTR) return Fail(kInternetErrorCannotConnect);
  switch (WaitFor(fd, POLLOUT, timeouts_.connectMs, r.deadline)) {
    case Wait::kTimeout: return Fail(kInternetErrorTimeout);
    case Wait::kError: return Fail(kInternetErrorCannotConnect);
    case Wait::kReady: break;
  }
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
    return Fail(kInternetErrorCannotConnect);
  return true;
}

bool PosixInternet::SendAll(Object& r, const std::string& message) {
  std::size_t sent = 0;
  while (sent < message.size()) {
    const ssize_t n = ::send(r.fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return Fail(kInternetErrorConnectionAborted);
    switch (WaitFor(r.fd, POLLOUT, timeouts_.sendMs, r.deadline)) {
      case Wait::kTimeout: return Fail(kInternetErrorTimeout);
      case Wait::kError: return Fail(kInternetErrorConnectionAborted);
      case Wait::kReady: break;
    }
  }
  return true;
}

// Reads the status line and headers; bytes after the blank line stay pending.
bool PosixInternet::ReadHead(Object& r) {
  std::string data;
  char buf[4096];
  std::size_t end, scanned = 0;
  while ((end = FindHeadEnd(data, scanned)) == std::string::npos) {
    switch (WaitFor(r.fd, POLLIN, timeouts_.receiveMs, r.deadline)) {
      case Wait::kTimeout: return Fail(kInternetErrorTimeout);
      case Wait::kError: return Fail(kInternetErrorConnectionAborted);
      case Wait::kReady: break;
    }
    const ssize_t n = ::recv(r.fd, buf, sizeof buf, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n <= 0) return Fail(kInternetErrorConnectionAborted);
    data.append(buf, static_cast<std::size_t>(n));
    if (data.size() > (1u << 20)) return Fail(kInternetErrorConnectionAborted);
  }
  ResponseHead head;
  if (!ParseResponseHead(data, end, head)) return Fail(kInternetErrorConnectionAborted);
  r.status = head.status;
  r.head = std::move(head.headers);
  r.pending = std::move(head.pending);
  r.head_read = true;
  return true;
}

bool PosixInternet::QueryInfo(InternetHandle request, std::uint32_t infoLevel, std::string& out) {
  Object* r = Find(request, kRequest);
  if (!r) return false;
  if (!r->head_read) {
    last_error_ = kHttpErrorHeaderNotFound;
    return false;
  }
  if (infoLevel == kHttpQueryStatusCode) {
    out = std::to_string(r->status);
    return true;
  }
  if (infoLevel == kHttpQueryContentLength && FindHeaderValue(r->head, "content-length", out)) return true;
  last_error_ = kHttpErrorHeaderNotFound;
  return false;
}

bool PosixInternet::ReadFile(InternetHandle request, std::uint32_t maxBytes, std::string& out, std::uint32_t& read) {
  read = 0;
  Object* r = Find(request, kRequest);
  if (!r || r->fd < 0) return false;
  if (r->read_error != 0) return Fail(r->read_error);
  if (!r->pending.empty()) {
    read = static_cast<std::uint32_t>(std::min<std::size_t>(maxBytes, r->pending.size()));
    out.append(r->pending, 0, read);
    r->pending.erase(0, read);
    return true;
  }
  // Like InternetReadFile: fills the buffer unless the body ends first. Bytes already
  // received when a wait fails are handed over; the failure shows on the next call.
  std::string buf(maxBytes, '\0');
  std::size_t have = 0;
  long error = 0;
  while (have < maxBytes) {
    const Wait wait = WaitFor(r->fd, POLLIN, timeouts_.receiveMs, r->deadline);
    if (wait != Wait::kReady) {
      error = wait == Wait::kTimeout ? kInternetErrorTimeout : kInternetErrorConnectionAborted;
      break;
    }
    const ssize_t n = ::recv(r->fd, &buf[have], maxBytes - have, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n < 0) {
      error = kInternetErrorConnectionAborted;
      break;
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  if (error != 0 && have == 0) return Fail(error);
  r->read_error = error;
  read = static_cast<std::uint32_t>(have);
  out.append(buf, 0, have);
  return true;
}

bool PosixInternet::CloseHandle(InternetHandle handle) {
  if (objects_.erase(handle) == 0) {
    last_error_ = kInternetErrorInvalidHandle;
    return false;
  }
  return true;
}

}  // namespace platform
