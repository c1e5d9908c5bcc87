#include "net/route_mgmt.h"

#include <vector>

#include "net/ipv4_text.h"
#include "text/cp949.h"

namespace net {

namespace {

constexpr std::uint32_t kRouteTypeDirect = 3;
constexpr std::uint32_t kRouteProtoNetMgmt = 3;
constexpr std::uint32_t kTcpStateEstablished = 5;

// inet_addr of a dotted text; false for a text that is not an address. ("255.255.255.255"
// is the one address whose value is also inet_addr's failure answer.)
bool ParseAddress(const std::string& text, std::uint32_t& value) {
  value = Ipv4FromText(text);
  return value != kInaddrNone || text == kHostMask;
}

}  // namespace

int CRouteMgmt::AddRoute(std::uint32_t ifIndex, const std::string& nextHop,
                         const std::string& destination, const std::string& mask, int metric) {
  // A text that is not an address would come back from inet_addr as 255.255.255.255
  // and make a route to the broadcast address; such a route is never created.
  platform::RouteRow row;
  if (ifIndex == 0 || !ParseAddress(nextHop, row.nextHop) || !ParseAddress(destination, row.dest) ||
      !ParseAddress(mask, row.mask))
    return -1;
  row.ifIndex = ifIndex;
  row.type = kRouteTypeDirect;
  row.proto = kRouteProtoNetMgmt;
  row.metric1 = static_cast<std::uint32_t>(metric);
  row.metric2 = row.metric3 = row.metric4 = row.metric5 = 0;
  return tables_.CreateIpForwardEntry(row) == 0 ? 1 : -1;
}

int CRouteMgmt::DeleteRoutesByMetric(int metric) {
  std::vector<platform::RouteRow> rows;
  if (tables_.GetIpForwardTable(true, rows) != 0) return -1;
  for (const platform::RouteRow& row : rows) {
    if (row.metric1 != static_cast<std::uint32_t>(metric)) continue;
    if (tables_.DeleteIpForwardEntry(row) != 0) return -1;
  }
  return 0;
}

int CRouteMgmt::FindRemoteSupportPeer(std::string& peer) {
  peer.clear();
  if (!tables_.HasExtendedTcpTable()) return -1;
  std::vector<platform::TcpRow> rows;
  if (tables_.GetExtendedTcpTable(true, rows) != 0) return -1;
  for (const platform::TcpRow& row : rows) {
    if (row.state == kTcpStateEstablished && row.remotePort == kRemoteSupportPort) {
      peer = Ipv4ToText(row.remoteAddr);
      return 1;
    }
  }
  return -1;
}

void CRouteMgmt::InstallBypassRoutes(std::uint32_t ifIndex, const std::string& gateway,
                                     const std::string& bypassList) {
  DeleteRoutesByMetric(kMetricBypass);
  for (const std::string& item : text::Split(bypassList, '^'))
    if (!item.empty()) AddRoute(ifIndex, gateway, item, kHostMask, kMetricBypass);
}

}  // namespace net
