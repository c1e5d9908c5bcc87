// ICMP echo (IcmpCreateFile / IcmpSendEcho of the IP Helper) to a list of addresses,
// run away from the window's thread: a 1-s wait per address must never hold the
// message loop. Results come back on the window's thread, one by one, as they come.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// The answer for one address.
struct EchoResult {
  std::uint32_t address = 0;   // IPv4, network byte order (as the IP Helper rows hold it)
  bool answered = false;       // an echo reply (IP_SUCCESS) came within the time-out
  std::uint32_t roundTripMs = 0;  // ICMP_ECHO_REPLY.RoundTripTime when answered
};

class IEchoProbe {
 public:
  // Called on the window's thread with the generation its request was made with.
  using Receiver = std::function<void(std::uint32_t generation, const EchoResult& result)>;

  virtual ~IEchoProbe() = default;

  // Sends one echo to each address in turn, waiting at most `timeoutMs` for each, and
  // hands each result to `receiver`. A new request replaces the one before: what that
  // one had not measured yet is dropped, and results of it still on their way arrive
  // with its own generation, for the receiver to tell apart.
  virtual void Measure(std::uint32_t generation, const std::vector<std::uint32_t>& addresses,
                       std::uint32_t timeoutMs, Receiver receiver) = 0;

  // Nothing more is measured or delivered (the window is going away).
  virtual void Stop() = 0;
};

}  // namespace platform
