// ovpn-log-scan: the OpenVPN log scan as a command, for side-by-side timing with grep.
//
//   ovpn-log-scan [--running] FILE      prints the status of the log in FILE
//   ovpn-log-scan --sample MIB [FIRST [LAST]]
//                                       writes the benchmark's sample log of MIB MiB
//                                       to standard output, FIRST and LAST as its
//                                       first and last lines when not empty
//
// The file is mapped, not copied: the scan reads the page cache in place. (The client
// reads the log into one buffer it keeps from tick to tick; a new process has only new
// memory, and filling fresh pages would cost more than the scan itself.)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "ovpn_log_sample.h"
#include "tunnel/openvpn_mgmt.h"

namespace {

bool MapWhole(const char* path, std::string_view& bytes) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok && st.st_size > 0) {
    void* p = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ok = p != MAP_FAILED;
    if (ok) bytes = std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(st.st_size));
  }
  close(fd);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--sample") == 0) {
    const std::string log = bench::SampleLog(static_cast<std::size_t>(std::atoi(argv[2])) << 20,
                                             argc > 3 ? argv[3] : "", argc > 4 ? argv[4] : "");
    return std::fwrite(log.data(), 1, log.size(), stdout) == log.size() ? 0 : 1;
  }
  const bool running = argc == 3 && std::strcmp(argv[1], "--running") == 0;
  if (argc != 2 && !running) {
    std::fprintf(stderr, "usage: ovpn-log-scan [--running] FILE | --sample MIB [FIRST [LAST]]\n");
    return 2;
  }
  std::string_view log;
  if (!MapWhole(argv[argc - 1], log)) {
    std::fprintf(stderr, "ovpn-log-scan: cannot read %s\n", argv[argc - 1]);
    return 2;
  }
  std::printf("%d\n", tunnel::ScanOpenVpnLog(log, running));
  return 0;
}
