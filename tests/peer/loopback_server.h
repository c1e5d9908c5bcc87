// A server program started by a peer test on a loopback address, port 80: it is ready
// when it accepts a connection (bounded wait) and is ended by its PID when the test is
// done.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace peer {

class LoopbackServer {
 public:
  LoopbackServer() = default;
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer() { Stop(); }

  // Starts `argv` and waits up to 10 s for `address`:80 to accept a connection. False
  // when the program could not start, ended early, or never listened.
  bool Start(const std::vector<std::string>& argv, const std::string& address);
  // SIGTERM, then waits for the program to end.
  void Stop();

 private:
  pid_t pid_ = -1;
};

}  // namespace peer
