// The client's routes in the host's IPv4 route table. Some destinations are pinned to
// the physical default gateway with host routes, and an OpenVPN full tunnel swaps the
// default route over to the tunnel adapter. Every route the client creates carries the
// metric of the policy that made it, and the client finds its own routes again by that
// metric.
//
// Route metrics on Windows Vista and later: the system adds the interface's metric to
// every route on it. The first metric of a row is that sum both ways: the table reports
// it, and CreateIpForwardEntry takes it, refusing (87) a value below the interface
// metric. So the client writes policy metric + interface metric (the route's own metric
// is then the policy metric, which no change of the interface metric alters) and
// recognises its routes by reported metric - the interface's current metric. Where the
// interface metric cannot be read (Windows XP), the metric written and reported is the
// policy metric itself.
//
// Stateless: what the full-tunnel swap changed comes back to the caller, which keeps
// it for the undo. Failures are results only (and lines of the diagnostics log);
// nothing is shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/diag_log.h"
#include "platform/iphelper.h"

namespace net {

inline constexpr const char* kHostMask = "255.255.255.255";
inline constexpr const char* kAnyAddress = "0.0.0.0";

// Policy metrics of the client's routes.
inline constexpr int kMetricRemoteSupport = 45;    // the remote-support peer
inline constexpr int kMetricBackEnd = 50;          // the VPN server and the back end
inline constexpr int kMetricTunnelDefault = 50;    // the default route on the tunnel adapter
inline constexpr int kMetricPhysicalDefault = 55;  // the physical default while the tunnel is up
inline constexpr int kMetricBypass = 77;           // the service's bypass list
inline constexpr int kMetricTunnelPins = 80;       // the server and back end during a full tunnel

// The remote port of a remote-support session.
inline constexpr std::uint16_t kRemoteSupportPort = 5938;

// What InstallTunnelRoutes needs of the session.
struct TunnelRouteRequest {
  std::uint32_t localIfIndex = 0;  // the physical default interface
  std::string localGateway;        // and its gateway
  std::string serverIp;            // the VPN server
  std::string webHost;             // the back end's address
  std::string gatewayIp;           // the tunnel's gateway
  std::string routeList;           // "dest/mask^dest/mask..."
  std::string tapAdapterName;      // the tunnel adapter's description
};

// What a full-tunnel swap changed, for the undo: the default routes it deleted exactly
// as the table reported them, and the routes it created as written.
struct TunnelRouteUndo {
  std::vector<platform::RouteRow> deleted;
  std::vector<platform::RouteRow> added;
  bool Empty() const { return deleted.empty() && added.empty(); }
};

// Results of InstallTunnelRoutes.
inline constexpr int kTunnelRoutesDone = 0;             // also when the list asks for no swap
inline constexpr int kTunnelRoutesNoAdapterAddress = -2;  // nothing changed
inline constexpr int kTunnelRoutesNoPhysicalPath = -3;  // no swap: no usable physical path
inline constexpr int kTunnelRoutesSwapUndone = -4;      // the swap failed; the table is as before
inline constexpr int kTunnelRoutesSwapBroken = -5;      // the swap failed and so did its undo

struct TunnelRouteOutcome {
  int result = kTunnelRoutesDone;
  // Kept by the caller after a swap and handed to UndoTunnelRoutes at teardown.
  TunnelRouteUndo undo;
  // After a swap, the caller stores "adpi" = adpi and "lgy" = EncodePayload(lgyPlain)
  // under the settings key: the record of the replaced route. lgyPlain is the session's
  // local address as it stands then, which the caller has emptied before the call.
  bool settingsDue = false;
  std::string adpi;
  std::string lgyPlain;
};

class CRouteMgmt {
 public:
  CRouteMgmt(platform::INetTables& tables, IDiagLog& log) : tables_(tables), log_(log) {}
  virtual ~CRouteMgmt() = default;

  // Creates the route destination/mask via nextHop on interface ifIndex for the policy
  // metric (written with the interface metric added; type direct, protocol network
  // management, every other field 0). 1 on success; -1 without calling the system when
  // the interface index is 0, a metric is negative or a text is empty or not a dotted
  // address; -1 when the system refuses the row.
  int AddRoute(std::uint32_t ifIndex, const std::string& nextHop, const std::string& destination,
               const std::string& mask, int metric);

  // Deletes every host route (mask 255.255.255.255, protocol network management) that
  // the client made for this policy metric, in table order, stopping at the first delete
  // that fails. Routes of other software, which have another mask, protocol or metric,
  // stay. 0 when all were deleted; -1 when the table cannot be read or a delete failed.
  int DeleteRoutesByMetric(int metric);

  // Deletes every route with that interface, destination and mask. 0 when all were
  // deleted; -1 without reading the table when a text is empty or not an address, when
  // the table cannot be read or a delete failed.
  int DeleteRoutesOnInterface(std::uint32_t ifIndex, const std::string& destination,
                              const std::string& mask);

  // Deletes every route with that next hop, destination and mask; the deleted rows, as
  // the table reported them, are added to `deleted` when given. Results as above.
  int DeleteRoutesVia(const std::string& nextHop, const std::string& destination,
                      const std::string& mask, std::vector<platform::RouteRow>* deleted = nullptr);

  // The first established TCP connection to remote port 5938: its remote address as
  // dotted text in `peer`. 1 when found; -1 otherwise (also when the system has no
  // extended TCP table or it cannot be read), with `peer` emptied.
  int FindRemoteSupportPeer(std::string& peer);

  // Replaces the bypass routes: deletes the client's metric-77 routes, then adds a host
  // route with metric 77 via the gateway for every non-empty item of the '^'-list (an
  // item that is not an address is skipped, and so is an address that is no unicast
  // host: 0/8, loopback, multicast, 240/4 with the broadcast address).
  void InstallBypassRoutes(std::uint32_t ifIndex, const std::string& gateway,
                           const std::string& bypassList);

  // The physical default path: the best route to 100.0.0.1, unless it leaves through a
  // tunnel (a dial-up adapter, or the adapter whose description contains
  // `tunnelAdapterName`); then the default route of the lowest metric on any other
  // interface. Its interface index, with its next hop in `nextHop`; -1 when there is
  // none (`nextHop` is then left as it was).
  int FindPhysicalPath(std::string& nextHop, const std::string& tunnelAdapterName);

  // The routes of an OpenVPN tunnel that is up: deletes the client's metric-80 routes
  // and the default routes on the tunnel adapter; then, when `routeList` holds the item
  // "0.0.0.0/0.0.0.0" (once or more), swaps the default route over to the tunnel: host
  // routes for the server and the back end on the physical path (metric 80), the
  // physical default routes replaced by one of metric 55 (more when the interface
  // metrics would otherwise let it beat the tunnel's), and a default route of metric 50
  // on the tunnel adapter. Every add is checked: when the swap cannot be completed it is
  // undone at once. See the results above.
  TunnelRouteOutcome InstallTunnelRoutes(const TunnelRouteRequest& request);

  // Undoes a swap at teardown (or after a failure): deletes the routes it created that
  // are still there and re-creates the default routes it deleted, exactly as they were.
  // If a deleted route cannot be re-created, the physical default route of the swap is
  // put back, so the host keeps a default route. 0 when everything was restored, -1
  // otherwise. An empty record changes nothing.
  int UndoTunnelRoutes(const TunnelRouteUndo& undo);

 private:
  // CreateIpForwardEntry of the row for the policy metric; the system's result, with
  // the row as written in `written`. `refused` is set when the arguments were refused
  // before the system was asked.
  std::uint32_t CreateRoute(std::uint32_t ifIndex, const std::string& nextHop,
                            const std::string& destination, const std::string& mask, int metric,
                            platform::RouteRow& written, bool& refused);
  // The interface's metric; false when it cannot be read (before Vista).
  bool InterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric);
  // Reads the table and deletes the rows `match` selects (see the delete operations).
  template <class Match>
  int DeleteMatching(Match match, std::vector<platform::RouteRow>* deleted);
  bool DeleteRow(const platform::RouteRow& row);
  bool RestoreRow(const platform::RouteRow& row);
  bool Swap(const TunnelRouteRequest& request, std::uint32_t tunnelIndex, TunnelRouteUndo& undo);

  platform::INetTables& tables_;
  IDiagLog& log_;
};

}  // namespace net
