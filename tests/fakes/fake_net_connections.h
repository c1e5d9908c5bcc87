// The connection manager's connections as a test arranges them; connect and disconnect
// answer from a per-GUID script of HRESULTs and are recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/netconn.h"

namespace fakes {

class FakeNetConnections : public platform::INetConnections {
 public:
  struct Call {
    std::string guid;
    bool connect;
  };

  bool Available() override { return available; }

  long Enumerate(std::vector<platform::NetConnection>& out) override {
    ++enumerations;
    if (static_cast<std::int32_t>(static_cast<std::uint32_t>(enumerateResult)) < 0) return enumerateResult;
    out = connections;
    return 0;
  }

  long Connect(const std::string& guid) override { return Answer(guid, true); }
  long Disconnect(const std::string& guid) override { return Answer(guid, false); }

  // Arranging.
  bool available = true;
  long enumerateResult = 0;  // a failure HRESULT fails the enumeration
  std::vector<platform::NetConnection> connections;
  // The answers to the next calls for a GUID, in order; 0 once they run out.
  std::map<std::string, std::deque<long>> results;

  // Recording.
  std::vector<Call> calls;
  int enumerations = 0;

 private:
  long Answer(const std::string& guid, bool connect) {
    calls.push_back({guid, connect});
    std::deque<long>& script = results[guid];
    if (script.empty()) return 0;
    const long hr = script.front();
    script.pop_front();
    return hr;
  }
};

}  // namespace fakes
