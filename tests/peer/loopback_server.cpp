#include "peer/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace peer {

namespace {

constexpr int kPort = 80;

// The inode of the socket listening on address:port, from /proc/net/tcp ("" if none).
// Its local address column is the address's four bytes read as one host-order number,
// then the port, both in upper-case hex.
std::string ListeningInode(const std::string& address, int port) {
  in_addr addr{};
  if (inet_pton(AF_INET, address.c_str(), &addr) != 1) return "";
  std::uint32_t raw = 0;
  std::memcpy(&raw, &addr, sizeof raw);
  char local[32];
  std::snprintf(local, sizeof local, "%08X:%04X", raw, static_cast<unsigned>(port));

  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // column names
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local_address, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local_address >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
    if (local_address == local && state == "0A") return inode;  // 0A: LISTEN
  }
  return "";
}

// The process holding socket `inode` among its open files, or -1.
pid_t SocketOwner(const std::string& inode) {
  const std::string target = "socket:[" + inode + "]";
  DIR* proc = opendir("/proc");
  if (!proc) return -1;
  pid_t owner = -1;
  while (dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    const std::string fd_dir = std::string("/proc/") + entry->d_name + "/fd";
    DIR* fds = opendir(fd_dir.c_str());
    if (!fds) continue;
    while (dirent* fd = readdir(fds)) {
      char link[64];
      const ssize_t n = readlink((fd_dir + "/" + fd->d_name).c_str(), link, sizeof link - 1);
      if (n > 0 && target.compare(0, std::string::npos, link, static_cast<std::size_t>(n)) == 0) {
        owner = static_cast<pid_t>(std::atoi(entry->d_name));
        break;
      }
    }
    closedir(fds);
    if (owner > 0) break;
  }
  closedir(proc);
  return owner;
}

// Whether the process listening on address:80 belongs to process group `group`.
bool GroupListens(pid_t group, const std::string& address) {
  const pid_t owner = ListenerPid(address, kPort);
  return owner > 0 && getpgid(owner) == group;
}

}  // namespace

pid_t ListenerPid(const std::string& address, int port) {
  const std::string inode = ListeningInode(address, port);
  return inode.empty() ? 0 : SocketOwner(inode);
}

std::string DescribeProcess(pid_t pid) {
  if (pid <= 0) return "an unknown process";
  std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  while (!cmdline.empty() && cmdline.back() == '\0') cmdline.pop_back();
  for (char& c : cmdline)
    if (c == '\0') c = ' ';
  return "pid " + std::to_string(pid) + " (" + cmdline + ")";
}

bool LoopbackServer::Start(const std::vector<std::string>& args, const std::string& address) {
  Stop();
  error_.clear();
  address_ = address;
  // A server of an earlier test may still be closing; one that stays is not ours.
  pid_t holder = ListenerPid(address, kPort);
  for (int i = 0; holder != 0 && i < 60; ++i) {
    usleep(50000);
    holder = ListenerPid(address, kPort);
  }
  if (holder != 0) {
    error_ = address + ":80 is already served by " + DescribeProcess(holder) +
             ", which would answer in place of the test's own server (left over from an earlier run?)";
    return false;
  }

  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (auto& a : copy) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);  // a new group whose id is the child's PID
  const int spawned = posix_spawn(&pid_, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    pid_ = -1;
    error_ = "cannot start " + args[0] + ": " + std::strerror(spawned);
    return false;
  }

  for (int i = 0; i < 200; ++i) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      error_ = args[0] + " ended before listening on " + address + ":80 (status " + std::to_string(status) + ")";
      kill(-pid_, SIGTERM);  // whatever it left behind
      pid_ = -1;
      return false;
    }
    const pid_t owner = ListenerPid(address, kPort);
    if (owner > 0 && getpgid(owner) == pid_) return true;
    if (owner > 0) {
      error_ = address + ":80 is served by " + DescribeProcess(owner) + ", not by the test's own server";
      Stop();
      return false;
    }
    usleep(50000);
  }
  error_ = args[0] + " did not listen on " + address + ":80 within 10 s";
  Stop();
  return false;
}

void LoopbackServer::Stop() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  // Done when the program has ended and no process of its group listens any more (a
  // process a launcher left behind would otherwise serve the next test).
  bool reaped = false;
  for (int i = 0; i < 100; ++i) {
    if (!reaped) reaped = waitpid(pid_, nullptr, WNOHANG) == pid_;
    if (reaped && !GroupListens(pid_, address_)) break;
    usleep(50000);
  }
  if (!reaped || GroupListens(pid_, address_)) {
    kill(-pid_, SIGKILL);
    if (!reaped) waitpid(pid_, nullptr, 0);
    for (int i = 0; i < 40 && GroupListens(pid_, address_); ++i) usleep(50000);
  }
  pid_ = -1;
}

bool CanListenOnPort80() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(80);
  inet_pton(AF_INET, "127.1.0.81", &address.sin_addr);
  const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

}  // namespace peer
