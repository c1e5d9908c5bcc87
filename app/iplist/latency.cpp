#include "app/iplist/latency.h"

#include <algorithm>

#include "app/iplist/texts.h"
#include "net/ipv4_text.h"

namespace app {

std::uint32_t EchoAddressOf(std::string_view rowText) {
  const std::uint32_t address = net::Ipv4FromText(rowText);
  if (address == net::kInaddrNone || net::Ipv4ToText(address) != rowText) return 0;
  // The first octet is the lowest byte: 0.0.0.0/8 and 224.0.0.0 upwards (multicast,
  // reserved, broadcast) would not be one server's answer.
  const std::uint32_t first = address & 0xFFu;
  if (first == 0 || first >= 224) return 0;
  return address;
}

std::vector<std::uint32_t> EchoAddresses(const std::vector<std::uint32_t>& rowAddresses) {
  std::vector<std::uint32_t> addresses;
  for (std::uint32_t address : rowAddresses) {
    if (addresses.size() == kMaxEchoAddresses) break;
    // A linear look-up over at most kMaxEchoAddresses entries.
    if (address != 0 && std::find(addresses.begin(), addresses.end(), address) == addresses.end())
      addresses.push_back(address);
  }
  return addresses;
}

std::string LatencyText(const platform::EchoResult& result) {
  if (!result.answered) return kLatencyNoAnswer;
  if (result.roundTripMs == 0) return kLatencyBelowOneMs;
  return std::to_string(result.roundTripMs) + kLatencyMsSuffix;
}

}  // namespace app
