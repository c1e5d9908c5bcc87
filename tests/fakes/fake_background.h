// Background work run inline: the work runs in Run itself, on the test's thread, with
// the HTTP clients it asks for forwarding to one scripted FakeInternet. A test can let
// the limit pass instead (the work is kept, unrun, for the test to finish later, as a
// given-up worker finishes by itself), refuse the run as busy, and act while Run waits
// (the messages a real wait dispatches).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/background.h"

namespace fakes {

// Every call goes to `target`.
class ForwardingInternet final : public platform::IInternet {
 public:
  explicit ForwardingInternet(platform::IInternet& target) : t_(target) {}
  platform::InternetHandle Open(const std::string& agent, std::uint32_t accessType, std::uint32_t flags) override {
    return t_.Open(agent, accessType, flags);
  }
  platform::InternetHandle Connect(platform::InternetHandle session, const std::string& server, std::uint16_t port,
                                   std::uint32_t service) override {
    return t_.Connect(session, server, port, service);
  }
  platform::InternetHandle OpenRequest(platform::InternetHandle connection, const std::string& verb,
                                       const std::string& object, const std::string& version,
                                       std::uint32_t flags) override {
    return t_.OpenRequest(connection, verb, object, version, flags);
  }
  bool AddRequestHeaders(platform::InternetHandle request, const std::string& headers,
                         std::uint32_t modifiers) override {
    return t_.AddRequestHeaders(request, headers, modifiers);
  }
  bool SendRequest(platform::InternetHandle request, const std::string& headers, const std::string& body) override {
    return t_.SendRequest(request, headers, body);
  }
  bool QueryInfo(platform::InternetHandle request, std::uint32_t infoLevel, std::string& out) override {
    return t_.QueryInfo(request, infoLevel, out);
  }
  bool ReadFile(platform::InternetHandle request, std::uint32_t maxBytes, std::string& out,
                std::uint32_t& read) override {
    return t_.ReadFile(request, maxBytes, out, read);
  }
  bool CloseHandle(platform::InternetHandle handle) override { return t_.CloseHandle(handle); }
  long LastError() const override { return t_.LastError(); }

 private:
  platform::IInternet& t_;
};

class FakeBackgroundWork final : public platform::IBackgroundWork {
 public:
  struct RunCall {
    platform::WindowHandle owner;
    std::uint32_t limitMs;
  };

  explicit FakeBackgroundWork(platform::IInternet& internet) : internet_(internet) {}

  std::unique_ptr<platform::IInternet> NewInternet() override {
    ++clients;
    return std::make_unique<ForwardingInternet>(internet_);
  }

  Outcome Run(platform::WindowHandle owner, std::function<void()> work, std::uint32_t limitMs) override {
    runs.push_back({owner, limitMs});
    if (busy_) return Outcome::kBusy;
    busy_ = true;
    if (whileWaiting) whileWaiting();
    Outcome outcome = Outcome::kDone;
    if (limitPasses) {
      givenUp.push_back(std::move(work));
      outcome = Outcome::kTimedOut;
    } else {
      work();
    }
    busy_ = false;
    return outcome;
  }

  bool Busy() const override { return busy_; }

  // Arranging.
  bool limitPasses = false;           // Run gives the work up at its limit, unrun
  std::function<void()> whileWaiting; // runs inside Run, before the work (Busy() is true)

  // Checking.
  std::vector<RunCall> runs;
  std::vector<std::function<void()>> givenUp;  // the works given up, for the test to run
  int clients = 0;                             // NewInternet calls

 private:
  platform::IInternet& internet_;
  bool busy_ = false;
};

}  // namespace fakes
