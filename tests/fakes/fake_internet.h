// An HTTP back end held in a script: replies by URL path (the object without its
// query), every request recorded with the bytes it carried.
//
// An unscripted path answers 404 with an empty body. The body is read back in pieces
// of the size the client asks for, with a Content-Length header unless the reply says
// otherwise.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/internet.h"

namespace fakes {

class FakeInternet : public platform::IInternet {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    bool withLength = true;   // send a Content-Length header
    bool failSend = false;    // HttpSendRequest fails (12029, connection refused)
    long long announced = -1; // the Content-Length sent instead of the body's size: a
                              // larger one is a body cut off (the read then ends early)
  };
  struct Request {
    std::string agent;
    std::string server;
    std::uint16_t port = 0;
    std::string verb, object, version;
    std::uint32_t flags = 0;
    std::string addedHeaders;  // HttpAddRequestHeaders
    std::string sentHeaders;   // the headers given to HttpSendRequest
    std::string body;
    bool sent = false;

    // The object's path without its query.
    std::string Path() const { return object.substr(0, object.find('?')); }
    // The decoded parameter text of the `bin` value, from the query or else the body.
    std::string Params() const;
  };

  platform::InternetHandle Open(const std::string& agent, std::uint32_t accessType,
                                std::uint32_t flags) override;
  platform::InternetHandle Connect(platform::InternetHandle session, const std::string& server,
                                   std::uint16_t port, std::uint32_t service) override;
  platform::InternetHandle OpenRequest(platform::InternetHandle connection, const std::string& verb,
                                       const std::string& object, const std::string& version,
                                       std::uint32_t flags) override;
  bool AddRequestHeaders(platform::InternetHandle request, const std::string& headers,
                         std::uint32_t modifiers) override;
  bool SendRequest(platform::InternetHandle request, const std::string& headers,
                   const std::string& body) override;
  bool QueryInfo(platform::InternetHandle request, std::uint32_t infoLevel,
                 std::string& out) override;
  bool ReadFile(platform::InternetHandle request, std::uint32_t maxBytes, std::string& out,
                std::uint32_t& read) override;
  bool CloseHandle(platform::InternetHandle handle) override;
  long LastError() const override { return lastError_; }

  // Arranging.
  void Script(const std::string& path, Reply reply) { replies_[path] = std::move(reply); }
  // A 200 reply whose body is `plain` encoded with the payload codec.
  void ScriptEncoded(const std::string& path, const std::string& plain);
  bool failOpen = false;  // InternetOpen refuses a session

  // Checking.
  const std::vector<Request>& requests() const { return requests_; }
  int OpenHandles() const { return static_cast<int>(open_.size()); }

 private:
  struct Live {
    std::size_t request = 0;  // index into requests_
    Reply reply;
    std::size_t readPos = 0;
  };

  platform::InternetHandle NewHandle();
  Live* Find(platform::InternetHandle handle);

  std::map<std::string, Reply> replies_;
  std::vector<Request> requests_;
  std::map<platform::InternetHandle, Live> open_;  // sessions and connections too
  std::string agent_;
  platform::InternetHandle next_ = 0x100;
  long lastError_ = 0;
};

}  // namespace fakes
