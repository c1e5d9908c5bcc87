#include "fakes/fake_internet.h"

#include <algorithm>

#include "protocol/payload_codec.h"

namespace fakes {

std::string FakeInternet::Request::Params() const {
  const std::size_t query = object.find("?bin=");
  if (query != std::string::npos) return protocol::DecodePayload(object.substr(query + 5));
  if (body.compare(0, 4, "bin=") == 0) return protocol::DecodePayload(body.substr(4));
  return std::string();
}

void FakeInternet::ScriptEncoded(const std::string& path, const std::string& plain) {
  Reply reply;
  reply.body = protocol::EncodePayload(plain);
  Script(path, reply);
}

platform::InternetHandle FakeInternet::NewHandle() {
  const platform::InternetHandle h = next_++;
  open_[h];
  return h;
}

FakeInternet::Live* FakeInternet::Find(platform::InternetHandle handle) {
  const auto it = open_.find(handle);
  return it == open_.end() ? nullptr : &it->second;
}

platform::InternetHandle FakeInternet::Open(const std::string& agent, std::uint32_t, std::uint32_t) {
  if (failOpen) {
    lastError_ = 12001;
    return 0;
  }
  agent_ = agent;
  return NewHandle();
}

platform::InternetHandle FakeInternet::Connect(platform::InternetHandle session,
                                               const std::string& server, std::uint16_t port,
                                               std::uint32_t) {
  if (!Find(session)) {
    lastError_ = platform::kErrorInvalidHandle;
    return 0;
  }
  const platform::InternetHandle h = NewHandle();
  Request r;
  r.agent = agent_;
  r.server = server;
  r.port = port;
  requests_.push_back(r);
  open_[h].request = requests_.size() - 1;
  return h;
}

platform::InternetHandle FakeInternet::OpenRequest(platform::InternetHandle connection,
                                                   const std::string& verb, const std::string& object,
                                                   const std::string& version, std::uint32_t flags) {
  Live* conn = Find(connection);
  if (!conn) {
    lastError_ = platform::kErrorInvalidHandle;
    return 0;
  }
  const std::size_t index = conn->request;
  Request& r = requests_[index];
  r.verb = verb;
  r.object = object;
  r.version = version;
  r.flags = flags;
  const platform::InternetHandle h = NewHandle();
  open_[h].request = index;
  return h;
}

bool FakeInternet::AddRequestHeaders(platform::InternetHandle request, const std::string& headers,
                                     std::uint32_t) {
  Live* live = Find(request);
  if (!live) return false;
  requests_[live->request].addedHeaders += headers;
  return true;
}

bool FakeInternet::SendRequest(platform::InternetHandle request, const std::string& headers,
                               const std::string& body) {
  Live* live = Find(request);
  if (!live) return false;
  Request& r = requests_[live->request];
  r.sentHeaders = headers;
  r.body = body;
  const auto it = replies_.find(r.Path());
  if (it == replies_.end()) {
    live->reply.status = 404;
  } else {
    live->reply = it->second;
  }
  if (live->reply.failSend) {
    lastError_ = 12029;
    return false;
  }
  r.sent = true;
  return true;
}

bool FakeInternet::QueryInfo(platform::InternetHandle request, std::uint32_t infoLevel,
                             std::string& out) {
  Live* live = Find(request);
  if (!live) return false;
  if (infoLevel == platform::kHttpQueryStatusCode) {
    out = std::to_string(live->reply.status);
    return true;
  }
  if (infoLevel == platform::kHttpQueryContentLength && live->reply.withLength) {
    out = std::to_string(live->reply.announced >= 0 ? static_cast<std::size_t>(live->reply.announced)
                                                    : live->reply.body.size());
    return true;
  }
  lastError_ = 12150;
  return false;
}

bool FakeInternet::ReadFile(platform::InternetHandle request, std::uint32_t maxBytes,
                            std::string& out, std::uint32_t& read) {
  Live* live = Find(request);
  if (!live) return false;
  const std::string& body = live->reply.body;
  const std::size_t n = std::min<std::size_t>(maxBytes, body.size() - live->readPos);
  out.append(body, live->readPos, n);
  live->readPos += n;
  read = static_cast<std::uint32_t>(n);
  return true;
}

bool FakeInternet::CloseHandle(platform::InternetHandle handle) {
  return open_.erase(handle) != 0;
}

}  // namespace fakes
