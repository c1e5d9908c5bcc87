// Host network primitives over the IP Helper and Winsock interface: the default path,
// interface addresses, adapters' hardware addresses and the login host's address.
// Stateless; failures are results only, nothing is shown.
#pragma once

#include <cstdint>
#include <string>

#include "platform/iphelper.h"

namespace net {

// The probe destination whose best route reveals the physical default gateway and
// interface.
inline constexpr const char* kDefaultPathProbe = "100.0.0.1";

// The login back end's host name, a deployment value compiled into the program.
inline constexpr const char* kLoginHost = TUNRA_LOGIN_HOST;

class CNetworkMgmt {
 public:
  explicit CNetworkMgmt(platform::INetTables& tables) : tables_(tables) {}
  virtual ~CNetworkMgmt() = default;

  // The best route to 100.0.0.1 (source 0): its interface index, with its next hop
  // written to `nextHop` as dotted text. -1 when there is no route (`nextHop` is then
  // left as it was).
  int FindDefaultPath(std::string& nextHop);

  // Dotted address of the first row of the (sorted) address table with that
  // interface index; empty when there is none or the table cannot be read.
  std::string GetInterfaceAddress(std::uint32_t ifIndex);

  // Hardware address of the adapter with that interface index, each byte as two
  // upper-case hex digits, no separators; empty when not found or the adapter list
  // cannot be read.
  std::string GetAdapterMac(std::uint32_t ifIndex);

  // The first IPv4 address of the login host as dotted text; empty on failure.
  std::string ResolveLoginHost() { return ResolveHost(kLoginHost); }
  std::string ResolveHost(const std::string& name);

 private:
  platform::INetTables& tables_;
};

}  // namespace net
