#include "net/network_mgmt.h"

#include <vector>

#include "net/ipv4_text.h"

namespace net {

int CNetworkMgmt::FindDefaultPath(std::string& nextHop) {
  platform::RouteRow row;
  if (tables_.GetBestRoute(Ipv4FromText(kDefaultPathProbe), 0, row) != 0) return -1;
  nextHop = Ipv4ToText(row.nextHop);
  return static_cast<int>(row.ifIndex);
}

std::string CNetworkMgmt::GetInterfaceAddress(std::uint32_t ifIndex) {
  std::vector<platform::AddrRow> rows;
  if (tables_.GetIpAddrTable(true, rows) != 0) return std::string();
  for (const platform::AddrRow& row : rows)
    if (row.ifIndex == ifIndex) return Ipv4ToText(row.addr);
  return std::string();
}

std::string CNetworkMgmt::GetAdapterMac(std::uint32_t ifIndex) {
  std::vector<platform::AdapterInfo> adapters;
  if (tables_.GetAdaptersInfo(adapters) != 0) return std::string();
  static const char kHex[] = "0123456789ABCDEF";
  for (const platform::AdapterInfo& adapter : adapters) {
    if (adapter.index != ifIndex) continue;
    std::string mac;
    for (unsigned char byte : adapter.address) {
      mac += kHex[byte >> 4];
      mac += kHex[byte & 0x0F];
    }
    return mac;
  }
  return std::string();
}

std::string CNetworkMgmt::ResolveHost(const std::string& name) {
  std::vector<std::uint32_t> addresses;
  if (!tables_.GetHostByName(name, addresses) || addresses.empty()) return std::string();
  return Ipv4ToText(addresses.front());
}

}  // namespace net
