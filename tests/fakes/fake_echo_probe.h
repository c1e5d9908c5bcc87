// An echo probe that answers from a script, on the caller's thread: every request is
// recorded; in the default mode each address is answered inside Measure itself (the
// script's round trip, or no answer for an address the script lacks), otherwise the
// results wait until the test delivers them, as a real probe's arrive later.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/echo.h"

namespace fakes {

class FakeEchoProbe final : public platform::IEchoProbe {
 public:
  struct Request {
    std::uint32_t generation;
    std::vector<std::uint32_t> addresses;
    std::uint32_t timeoutMs;
  };

  void Measure(std::uint32_t generation, const std::vector<std::uint32_t>& addresses, std::uint32_t timeoutMs,
               Receiver receiver) override {
    requests.push_back({generation, addresses, timeoutMs});
    receivers_.push_back(std::move(receiver));
    if (immediate) Deliver(requests.size() - 1);
  }
  void Stop() override { ++stops; }

  // Hands the results of request `index` to its receiver, in address order.
  void Deliver(std::size_t index) {
    const Request& r = requests.at(index);
    for (std::uint32_t address : r.addresses) {
      const auto it = roundTrips.find(address);
      platform::EchoResult result{address, it != roundTrips.end(), it != roundTrips.end() ? it->second : 0};
      receivers_.at(index)(r.generation, result);
    }
  }

  bool immediate = true;
  std::map<std::uint32_t, std::uint32_t> roundTrips;  // address -> milliseconds; absent: no answer
  std::vector<Request> requests;
  int stops = 0;

 private:
  std::vector<Receiver> receivers_;
};

}  // namespace fakes
