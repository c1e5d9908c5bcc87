#include "net/route_mgmt.h"

#include <map>
#include <vector>

#include "net/adapter_list.h"
#include "net/diag_lines.h"
#include "net/ipv4_text.h"
#include "net/network_mgmt.h"
#include "text/cp949.h"

namespace net {

namespace {

constexpr std::uint32_t kTcpStateEstablished = 5;
constexpr std::uint32_t kHostMaskValue = 0xFFFFFFFFu;

// inet_addr of a dotted text; false for a text that is not an address. ("255.255.255.255"
// is the one address whose value is also inet_addr's failure answer.)
bool ParseAddress(const std::string& text, std::uint32_t& value) {
  value = Ipv4FromText(text);
  return value != kInaddrNone || text == kHostMask;
}

std::string Result(int result) { return " -> " + std::to_string(result); }

// A host that a route via the physical gateway can mean: not "this network" (0/8),
// loopback (127/8), multicast (224/4) or the reserved block that holds the broadcast
// address (240/4). A host route to one of those (the list comes from the back end's
// reply) would send the machine's own or local traffic to the gateway.
bool IsUnicastHost(std::uint32_t address) {
  const std::uint32_t first = address & 0xFFu;  // network order: the first octet is the lowest byte
  return first != 0 && first != 127 && first < 224;
}

}  // namespace

bool CRouteMgmt::InterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric) {
  return tables_.GetIpInterfaceMetric(ifIndex, metric) == 0;
}

std::uint32_t CRouteMgmt::CreateRoute(std::uint32_t ifIndex, const std::string& nextHop,
                                      const std::string& destination, const std::string& mask,
                                      int metric, platform::RouteRow& row, bool& refused) {
  const std::string line = "route add " + diag::Value(destination) + "/" + diag::Value(mask) +
                           " via " + diag::Value(nextHop) + " if " + std::to_string(ifIndex) +
                           " metric " + std::to_string(metric);
  // A text that is not an address would come back from inet_addr as 255.255.255.255
  // and make a route to the broadcast address; such a route is never created.
  row = platform::RouteRow();
  refused = ifIndex == 0 || metric < 0 || !ParseAddress(nextHop, row.nextHop) ||
            !ParseAddress(destination, row.dest) || !ParseAddress(mask, row.mask);
  if (refused) {
    log_.Write(line + " -> refused bad-argument");
    return static_cast<std::uint32_t>(platform::kErrorInvalidParameter);
  }
  std::uint32_t interfaceMetric = 0;
  if (!InterfaceMetric(ifIndex, interfaceMetric)) interfaceMetric = 0;
  row.ifIndex = ifIndex;
  row.type = platform::kRouteTypeDirect;
  row.proto = platform::kRouteProtoNetMgmt;
  row.metric1 = static_cast<std::uint32_t>(metric) + interfaceMetric;
  row.metric2 = row.metric3 = row.metric4 = row.metric5 = 0;
  const std::uint32_t rc = tables_.CreateIpForwardEntry(row);
  log_.Write(line + " as " + std::to_string(row.metric1) + " -> " + std::to_string(rc));
  return rc;
}

int CRouteMgmt::AddRoute(std::uint32_t ifIndex, const std::string& nextHop,
                         const std::string& destination, const std::string& mask, int metric) {
  platform::RouteRow row;
  bool refused = false;
  return CreateRoute(ifIndex, nextHop, destination, mask, metric, row, refused) == 0 ? 1 : -1;
}

bool CRouteMgmt::DeleteRow(const platform::RouteRow& row) {
  const std::uint32_t rc = tables_.DeleteIpForwardEntry(row);
  log_.Write("route delete " + diag::RouteText(row) + " -> " + std::to_string(rc));
  return rc == 0;
}

bool CRouteMgmt::RestoreRow(const platform::RouteRow& row) {
  // Re-created as the table reported it: its first metric is already the sum the
  // system takes. CreateIpForwardEntry takes no protocol but network management.
  platform::RouteRow again = row;
  again.proto = platform::kRouteProtoNetMgmt;
  const std::uint32_t rc = tables_.CreateIpForwardEntry(again);
  log_.Write("route restore " + diag::RouteText(row) + " -> " + std::to_string(rc));
  // 5010: an identical route is there again (a driver or DHCP put it back).
  return rc == 0 || rc == platform::kErrorObjectAlreadyExists;
}

template <class Match>
int CRouteMgmt::DeleteMatching(Match match, std::vector<platform::RouteRow>* deleted) {
  std::vector<platform::RouteRow> rows;
  const std::uint32_t rc = tables_.GetIpForwardTable(true, rows);
  if (rc != 0) {
    log_.Write("route table -> " + std::to_string(rc));
    return -1;
  }
  for (const platform::RouteRow& row : rows) {
    if (!match(row)) continue;
    if (!DeleteRow(row)) return -1;
    if (deleted) deleted->push_back(row);
  }
  return 0;
}

int CRouteMgmt::DeleteRoutesByMetric(int metric) {
  // The table's metric of a route holds its interface's metric since Vista, and other
  // software uses the same numbers: only host routes made for the policy are the
  // client's.
  std::map<std::uint32_t, std::uint32_t> policyMetrics;  // one look-up per interface
  const int result = DeleteMatching(
      [&](const platform::RouteRow& row) {
        if (row.mask != kHostMaskValue || row.proto != platform::kRouteProtoNetMgmt) return false;
        std::uint32_t interfaceMetric = 0;
        const auto known = policyMetrics.find(row.ifIndex);
        if (known != policyMetrics.end()) {
          interfaceMetric = known->second;
        } else {
          if (!InterfaceMetric(row.ifIndex, interfaceMetric)) interfaceMetric = 0;
          policyMetrics[row.ifIndex] = interfaceMetric;
        }
        return metric >= 0 && row.metric1 >= interfaceMetric &&
               row.metric1 - interfaceMetric == static_cast<std::uint32_t>(metric);
      },
      nullptr);
  log_.Write("route delete-metric " + std::to_string(metric) + Result(result));
  return result;
}

int CRouteMgmt::DeleteRoutesOnInterface(std::uint32_t ifIndex, const std::string& destination,
                                        const std::string& mask) {
  std::uint32_t dest = 0, maskValue = 0;
  int result = -1;
  if (ParseAddress(destination, dest) && ParseAddress(mask, maskValue))
    result = DeleteMatching(
        [&](const platform::RouteRow& row) {
          return row.ifIndex == ifIndex && row.dest == dest && row.mask == maskValue;
        },
        nullptr);
  log_.Write("route delete-interface " + std::to_string(ifIndex) + " " + diag::Value(destination) +
             "/" + diag::Value(mask) + Result(result));
  return result;
}

int CRouteMgmt::DeleteRoutesVia(const std::string& nextHop, const std::string& destination,
                                const std::string& mask, std::vector<platform::RouteRow>* deleted) {
  std::uint32_t hop = 0, dest = 0, maskValue = 0;
  int result = -1;
  if (ParseAddress(nextHop, hop) && ParseAddress(destination, dest) && ParseAddress(mask, maskValue))
    result = DeleteMatching(
        [&](const platform::RouteRow& row) {
          return row.nextHop == hop && row.dest == dest && row.mask == maskValue;
        },
        deleted);
  log_.Write("route delete-via " + diag::Value(nextHop) + " " + diag::Value(destination) + "/" +
             diag::Value(mask) + Result(result));
  return result;
}

int CRouteMgmt::FindRemoteSupportPeer(std::string& peer) {
  peer.clear();
  std::vector<platform::TcpRow> rows;
  if (tables_.HasExtendedTcpTable() && tables_.GetExtendedTcpTable(true, rows) == 0) {
    for (const platform::TcpRow& row : rows) {
      if (row.state == kTcpStateEstablished && row.remotePort == kRemoteSupportPort) {
        peer = Ipv4ToText(row.remoteAddr);
        break;
      }
    }
  }
  log_.Write("route peer -> " + (peer.empty() ? std::string("none")
                                              : peer + ":" + std::to_string(kRemoteSupportPort)));
  return peer.empty() ? -1 : 1;
}

void CRouteMgmt::InstallBypassRoutes(std::uint32_t ifIndex, const std::string& gateway,
                                     const std::string& bypassList) {
  DeleteRoutesByMetric(kMetricBypass);
  for (const std::string& item : text::Split(bypassList, '^')) {
    if (item.empty()) continue;
    std::uint32_t host = 0;
    if (ParseAddress(item, host) && !IsUnicastHost(host)) {
      log_.Write("route add " + item + "/" + kHostMask + " via " + diag::Value(gateway) + " if " +
                 std::to_string(ifIndex) + " metric " + std::to_string(kMetricBypass) + " -> refused not-unicast");
      continue;
    }
    AddRoute(ifIndex, gateway, item, kHostMask, kMetricBypass);
  }
}

int CRouteMgmt::FindPhysicalPath(std::string& nextHop, const std::string& tunnelAdapterName) {
  // Interfaces of tunnels: dial-up adapters (PPTP, L2TP) and the OpenVPN adapter. A
  // best route through one of them is the tunnel's, and pinning routes to it would
  // send them into the tunnel.
  std::vector<platform::AdapterInfo> adapters;
  std::vector<std::uint32_t> tunnels;
  if (tables_.GetAdaptersInfo(adapters) == 0)
    for (const platform::AdapterInfo& adapter : adapters)
      if (adapter.type == platform::kIfTypePpp ||
          (!tunnelAdapterName.empty() && text::Contains(adapter.description, tunnelAdapterName)))
        tunnels.push_back(adapter.index);
  const auto isTunnel = [&tunnels](std::uint32_t ifIndex) {
    for (std::uint32_t t : tunnels)
      if (t == ifIndex) return true;
    return false;
  };

  platform::RouteRow best;
  bool found = tables_.GetBestRoute(Ipv4FromText(kDefaultPathProbe), 0, best) == 0;
  if (found && isTunnel(best.ifIndex)) {
    found = false;
    std::vector<platform::RouteRow> rows;
    if (tables_.GetIpForwardTable(true, rows) == 0)
      for (const platform::RouteRow& row : rows)
        if (row.dest == 0 && row.mask == 0 && !isTunnel(row.ifIndex) &&
            (!found || row.metric1 < best.metric1)) {
          best = row;
          found = true;
        }
  }
  if (!found) {
    log_.Write("route physical-path -> none");
    return -1;
  }
  nextHop = Ipv4ToText(best.nextHop);
  log_.Write("route physical-path -> if " + std::to_string(best.ifIndex) + " via " + nextHop);
  return static_cast<int>(best.ifIndex);
}

}  // namespace net
