// The OpenVPN log scan on any log text: the backward skip search must give the status a
// plain reading gives — every line from the last one back, a line of 20 bytes or more
// decided by the first watched error text it holds (found on character starts as
// text::Find finds) or by the success line while the program runs — for both states of
// the program. The first input byte's low bit says whether the program runs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp949.h"
#include "tunnel/openvpn_mgmt.h"

namespace {

struct Watched {
  const char* text;
  int code;
};

// Kept apart from the scanner's own table on purpose: a change there must show here.
constexpr Watched kErrors[] = {
    {"TCP/UDP: Closing socket", -1},
    {"error=certificate is not yet valid", -2},
    {"error=certificate has expired", -3},
    {"TLS Error: Need PEM pass phrase for private key", -4},
    {"EVP_DecryptFinal:bad decrypt", -5},
    {"PKCS12_parse:mac verify failure", -6},
    {"Received AUTH_FAILED control message", -7},
    {"Auth username is empty", -8},
    {"netsh command failed", -9},
    {"No Route to Host", -12},
    {"There are no TAP-Win32 adapters on this system", -13},
    {"SIGUSR1[soft,ping-restart] received, process restarting", -13},
};

int ReferenceScan(std::string_view log, bool running) {
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0; pos < log.size();) {
    const std::size_t nl = log.find('\n', pos);
    if (nl == std::string_view::npos) {
      lines.push_back(log.substr(pos));
      break;
    }
    std::string_view line = log.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    pos = nl + 1;
  }
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (it->size() < 20) continue;
    for (const Watched& w : kErrors)
      if (text::Contains(*it, w.text)) return w.code;
    if (running && text::Contains(*it, "Initialization Sequence Completed") &&
        !text::Contains(*it, "Initialization Sequence Completed With Errors"))
      return tunnel::kOvpnUp;
  }
  if (lines.size() < 15) return tunnel::kOvpnFewLines;
  return running ? tunnel::kOvpnEndRunning : tunnel::kOvpnEndNotRunning;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool running = data[0] & 1;
  const std::string_view log(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (tunnel::ScanOpenVpnLog(log, running) != ReferenceScan(log, running)) std::abort();
  return 0;
}
