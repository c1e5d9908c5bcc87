// A server program started by a peer test on a loopback address, port 80. It runs in a
// process group of its own, so that a launcher in between (a Python version manager's
// shim, say) cannot leave the real server running after the test: Stop ends the whole
// group and waits until it is gone.
//
// Start makes sure the test talks to the server it started: the listening socket on
// the address must belong to that process group. A listener of any other process there
// (a server left over from an earlier run would otherwise answer in its place) fails
// the start with a message naming that process.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace peer {

// Whether this process may listen on port 80 of loopback (root, or a system that lets
// users bind low ports, net.ipv4.ip_unprivileged_port_start=80). Tried on 127.1.0.81,
// an address no test uses.
bool CanListenOnPort80();

class LoopbackServer {
 public:
  LoopbackServer() = default;
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer() { Stop(); }

  // Starts `argv` and waits up to 10 s for it to listen on `address`:80. False (with
  // error() saying why) when the address is held by another process, the program could
  // not start, ended early, or never listened.
  bool Start(const std::vector<std::string>& argv, const std::string& address);
  // SIGTERM to the program's process group, then waits (up to 5 s, then SIGKILL) until
  // every process of it has ended.
  void Stop();

  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;  // also the process group's id
  std::string address_;
  std::string error_;
};

// The process listening on TCP `address`:`port`: its PID, or 0 when nothing listens
// there, or -1 when a listener exists but its process cannot be found. Reads /proc.
pid_t ListenerPid(const std::string& address, int port);

// "PID (command line)" of a process, for messages.
std::string DescribeProcess(pid_t pid);

}  // namespace peer
