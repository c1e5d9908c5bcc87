// The routes of an OpenVPN tunnel that is up, the full-tunnel swap of the default
// route and its undo.
#include <string>
#include <vector>

#include "net/adapter_list.h"
#include "net/diag_lines.h"
#include "net/ipv4_text.h"
#include "net/network_mgmt.h"
#include "net/route_mgmt.h"
#include "text/cp949.h"

namespace net {

namespace {

bool SameKey(const platform::RouteRow& a, const platform::RouteRow& b) {
  return a.dest == b.dest && a.mask == b.mask && a.nextHop == b.nextHop && a.ifIndex == b.ifIndex;
}

bool IsDefault(const platform::RouteRow& row) { return row.dest == 0 && row.mask == 0; }

// Whether the '^'-list holds the default item "0.0.0.0/0.0.0.0". Each item is split at
// '/' into destination and mask; items with an empty field, and every other route, ask
// for nothing.
bool AsksForDefaultRoute(const std::string& routeList) {
  for (const std::string& item : text::Split(routeList, '^')) {
    const std::vector<std::string> fields = text::Split(item, '/');
    if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) continue;
    if (fields[0] == kAnyAddress && fields[1] == kAnyAddress) return true;
  }
  return false;
}

}  // namespace

TunnelRouteOutcome CRouteMgmt::InstallTunnelRoutes(const TunnelRouteRequest& request) {
  TunnelRouteOutcome outcome;
  const int found = FindAdapterIndexIn(tables_, request.tapAdapterName);
  const std::uint32_t tunnel = found > 0 ? static_cast<std::uint32_t>(found) : 0;
  const std::string address = tunnel != 0 ? CNetworkMgmt(tables_).GetInterfaceAddress(tunnel) : "";
  const std::string line = "route tunnel " + diag::Quoted(request.routeList) + " adapter " +
                           diag::Quoted(request.tapAdapterName) + " if " + std::to_string(tunnel) +
                           " address " + diag::Value(address) + " -> ";
  if (address.empty()) {
    outcome.result = kTunnelRoutesNoAdapterAddress;
    log_.Write(line + std::to_string(outcome.result));
    return outcome;
  }

  DeleteRoutesByMetric(kMetricTunnelPins);
  DeleteRoutesOnInterface(tunnel, kAnyAddress, kAnyAddress);

  // The default item asks for one swap however often it is listed: a second swap would
  // take the first one's metric-55 route for the physical default it replaced.
  if (AsksForDefaultRoute(request.routeList)) {
    if (request.localIfIndex == 0 || request.localIfIndex == tunnel ||
        Ipv4FromText(request.localGateway) == kInaddrNone) {
      // No physical path to keep the server on (or it is the tunnel itself): the swap
      // would cut the tunnel off from its own server.
      outcome.result = kTunnelRoutesNoPhysicalPath;
    } else if (!Swap(request, tunnel, outcome.undo)) {
      const bool undone = UndoTunnelRoutes(outcome.undo) == 0;
      outcome.result = undone ? kTunnelRoutesSwapUndone : kTunnelRoutesSwapBroken;
      // What could not be undone is left for another try at teardown.
      if (undone) outcome.undo = TunnelRouteUndo();
    } else {
      outcome.settingsDue = true;
      outcome.adpi = std::to_string(static_cast<std::int32_t>(request.localIfIndex));  // "%ld"
      outcome.lgyPlain.clear();  // the local address, emptied when the tunnel came up
    }
  }
  log_.Write(line + std::to_string(outcome.result));
  return outcome;
}

bool CRouteMgmt::Swap(const TunnelRouteRequest& request, std::uint32_t tunnel, TunnelRouteUndo& undo) {
  const std::uint32_t local = request.localIfIndex;
  const std::string& gateway = request.localGateway;
  // Created rows go into the record at once, so a failure further on undoes them.
  const auto add = [&](std::uint32_t ifIndex, const std::string& hop, const std::string& dest,
                       const std::string& mask, int metric) {
    platform::RouteRow row;
    bool refused = false;
    const std::uint32_t rc = CreateRoute(ifIndex, hop, dest, mask, metric, row, refused);
    if (rc == 0) undo.added.push_back(row);
    return rc;
  };

  // The tunnel's own packets to the server must stay on the physical path. 5010: a host
  // route for it via the same gateway is there already (the login's metric-50 route).
  // Without the back end's host route, the back end answers through the tunnel.
  const std::uint32_t server = add(local, gateway, request.serverIp, kHostMask, kMetricTunnelPins);
  bool ok = server == 0 || server == platform::kErrorObjectAlreadyExists;
  if (ok) add(local, gateway, request.webHost, kHostMask, kMetricTunnelPins);

  // Windows compares route metric + interface metric: the physical default must stay
  // above the tunnel's even when the tunnel adapter's interface metric is the larger.
  int physicalMetric = kMetricPhysicalDefault;
  std::uint32_t tunnelIfMetric = 0, localIfMetric = 0;
  if (InterfaceMetric(tunnel, tunnelIfMetric) && InterfaceMetric(local, localIfMetric) &&
      tunnelIfMetric > localIfMetric)
    physicalMetric += static_cast<int>(tunnelIfMetric - localIfMetric);

  ok = ok && DeleteRoutesVia(gateway, kAnyAddress, kAnyAddress, &undo.deleted) == 0;
  ok = ok && add(local, gateway, kAnyAddress, kAnyAddress, physicalMetric) == 0;
  ok = ok && add(tunnel, request.gatewayIp, kAnyAddress, kAnyAddress, kMetricTunnelDefault) == 0;
  log_.Write("route swap if " + std::to_string(local) + " via " + diag::Value(gateway) +
             " tunnel if " + std::to_string(tunnel) + " via " + diag::Value(request.gatewayIp) +
             " metric " + std::to_string(physicalMetric) + " -> " + (ok ? "0" : "failed"));
  return ok;
}

int CRouteMgmt::UndoTunnelRoutes(const TunnelRouteUndo& undo) {
  bool ok = true;
  if (!undo.Empty()) {
    // The created routes, found again by destination, mask, next hop and interface (the
    // reported metric follows the interface's); those gone with the tunnel adapter are
    // gone already.
    std::vector<platform::RouteRow> rows;
    const std::uint32_t rc = tables_.GetIpForwardTable(true, rows);
    if (rc != 0) {
      log_.Write("route table -> " + std::to_string(rc));
      ok = false;
    } else {
      for (auto it = undo.added.rbegin(); it != undo.added.rend(); ++it)
        for (const platform::RouteRow& row : rows)
          if (SameKey(row, *it)) {
            if (!DeleteRow(row)) ok = false;
            break;
          }
    }

    bool restored = true;
    for (const platform::RouteRow& row : undo.deleted)
      if (!RestoreRow(row)) restored = false;
    if (!restored) {
      // The host must not be left without a default route: the swap's physical one
      // goes back.
      ok = false;
      for (const platform::RouteRow& added : undo.added) {
        if (!IsDefault(added)) continue;
        for (const platform::RouteRow& old : undo.deleted)
          if (old.nextHop == added.nextHop && old.ifIndex == added.ifIndex) {
            RestoreRow(added);
            break;
          }
      }
    }
  }
  log_.Write(std::string("route undo -> ") + (ok ? "0" : "-1"));
  return ok ? 0 : -1;
}

}  // namespace net
