// ovpn-log-scan: the OpenVPN log scan as a command, for side-by-side timing with grep.
//
//   ovpn-log-scan [--running] FILE      prints the status of the log in FILE
//   ovpn-log-scan --sample MIB [FIRST [LAST]]
//                                       writes the benchmark's sample log of MIB MiB
//                                       to standard output, FIRST and LAST as its
//                                       first and last lines when not empty
//
// The file is read whole, as the client reads the log every second. The client reads
// it into the same buffer each time; a new process has only new memory, so the file
// goes into memory asking for huge pages, as tunra-codec does: first touching every
// small page would cost more than the scan.
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

bool ReadWhole(const char* path, std::string_view& bytes) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0;
  const std::size_t want = ok ? static_cast<std::size_t>(st.st_size) : 0;
  const std::size_t huge = std::size_t{2} << 20;
  const std::size_t size = (want + huge) / huge * huge;
  void* p = ok ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) : MAP_FAILED;
  ok = p != MAP_FAILED;
  std::size_t got = 0;
  if (ok) {
    madvise(p, size, MADV_HUGEPAGE);  // a hint; fine without
    while (got < want) {
      const ssize_t n = read(fd, static_cast<char*>(p) + got, want - got);
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    bytes = std::string_view(static_cast<const char*>(p), got);  // released at exit
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
  if (!ReadWhole(argv[argc - 1], log)) {
    std::fprintf(stderr, "ovpn-log-scan: cannot read %s\n", argv[argc - 1]);
    return 2;
  }
  std::printf("%d\n", tunnel::ScanOpenVpnLog(log, running));
  return 0;
}
