// Host routes the client pins to the physical default gateway, told apart by their
// metric: every route the client creates carries the metric of the policy that made
// it, and the client deletes its own routes by that metric. Stateless; failures are
// results only, nothing is shown.
#pragma once

#include <cstdint>
#include <string>

#include "platform/iphelper.h"

namespace net {

inline constexpr const char* kHostMask = "255.255.255.255";

// Metrics of the client's routes.
inline constexpr int kMetricRemoteSupport = 45;  // the remote-support peer
inline constexpr int kMetricBackEnd = 50;        // the VPN server and the back end
inline constexpr int kMetricBypass = 77;         // the service's bypass list

// The remote port of a remote-support session.
inline constexpr std::uint16_t kRemoteSupportPort = 5938;

class CRouteMgmt {
 public:
  explicit CRouteMgmt(platform::INetTables& tables) : tables_(tables) {}
  virtual ~CRouteMgmt() = default;

  // Creates the route destination/mask via nextHop on interface ifIndex with the given
  // first metric (type direct, protocol network management, every other field 0).
  // 1 on success; -1 without calling the system when the interface index is 0 or a
  // text is empty or not a dotted address; -1 when the system refuses the row.
  int AddRoute(std::uint32_t ifIndex, const std::string& nextHop, const std::string& destination,
               const std::string& mask, int metric);

  // Deletes every route whose first metric is `metric`, in table order, stopping at the
  // first delete that fails. 0 when all were deleted; -1 when the table cannot be read
  // or a delete failed. Routes of other software with that metric go too.
  int DeleteRoutesByMetric(int metric);

  // The first established TCP connection to remote port 5938: its remote address as
  // dotted text in `peer`. 1 when found; -1 otherwise (also when the system has no
  // extended TCP table or it cannot be read), with `peer` emptied.
  int FindRemoteSupportPeer(std::string& peer);

  // Replaces the bypass routes: deletes every metric-77 route, then adds a host route
  // with metric 77 via the gateway for every non-empty item of the '^'-list.
  void InstallBypassRoutes(std::uint32_t ifIndex, const std::string& gateway,
                           const std::string& bypassList);

 private:
  platform::INetTables& tables_;
};

}  // namespace net
