// IP Helper and Winsock: routing table, addresses, adapters, TCP table, name lookup.
//
// IPv4 addresses and masks are 32-bit values in network byte order, exactly as the
// IP Helper rows hold them (the first octet is the lowest byte). Tables are returned
// whole; the two-call size query of the real API is done inside the implementation,
// and its failure comes back as the result code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// MIB_IPFORWARDROW field values and the results of the route calls the client tells apart.
constexpr std::uint32_t kRouteTypeDirect = 3;
constexpr std::uint32_t kRouteTypeIndirect = 4;
constexpr std::uint32_t kRouteProtoNetMgmt = 3;  // the only protocol CreateIpForwardEntry takes
constexpr std::uint32_t kErrorProcNotFound = 127;
constexpr std::uint32_t kErrorNotFound = 1168;
constexpr std::uint32_t kErrorObjectAlreadyExists = 5010;

// IP_ADAPTER_INFO.Type of a dial-up (PPP) adapter: the PPTP and L2TP tunnels.
constexpr std::uint32_t kIfTypePpp = 23;

// MIB_IPFORWARDROW.
struct RouteRow {
  std::uint32_t dest = 0;
  std::uint32_t mask = 0;
  std::uint32_t policy = 0;
  std::uint32_t nextHop = 0;
  std::uint32_t ifIndex = 0;
  std::uint32_t type = 0;   // 3 direct, 4 indirect
  std::uint32_t proto = 0;  // 3 netmgmt (static)
  std::uint32_t age = 0;
  std::uint32_t nextHopAs = 0;
  std::uint32_t metric1 = 0;
  std::uint32_t metric2 = 0xFFFFFFFFu;
  std::uint32_t metric3 = 0xFFFFFFFFu;
  std::uint32_t metric4 = 0xFFFFFFFFu;
  std::uint32_t metric5 = 0xFFFFFFFFu;
};

// MIB_IPADDRROW.
struct AddrRow {
  std::uint32_t addr = 0;
  std::uint32_t ifIndex = 0;
  std::uint32_t mask = 0;
  std::uint32_t bcastAddr = 0;
  std::uint32_t reasmSize = 0;
  std::uint16_t type = 0;
};

// IP_ADAPTER_INFO, the fields the client reads.
struct AdapterInfo {
  std::string adapterName;   // the "{GUID}" name
  std::string description;
  std::string address;       // raw hardware address bytes
  std::uint32_t index = 0;
  std::uint32_t type = 0;
  std::vector<std::string> ipAddresses;  // dotted
  std::string gateway;                   // dotted, first gateway
};

// IP_ADAPTER_INDEX_MAP: the interface name is the device path of the TCP/IP binding
// ("\DEVICE\TCPIP_{GUID}"), converted to CP949.
struct InterfaceEntry {
  std::uint32_t index = 0;
  std::string name;
};

// MIB_TCPROW_OWNER_PID.
struct TcpRow {
  std::uint32_t state = 0;  // 5 established
  std::uint32_t localAddr = 0;
  std::uint16_t localPort = 0;   // host byte order
  std::uint32_t remoteAddr = 0;
  std::uint16_t remotePort = 0;  // host byte order
  std::uint32_t owningPid = 0;
};

class INetTables {
 public:
  virtual ~INetTables() = default;

  // GetIpForwardTable: the IPv4 routing table (sorted when asked). 0 on success.
  virtual std::uint32_t GetIpForwardTable(bool sorted, std::vector<RouteRow>& rows) = 0;
  // CreateIpForwardEntry / DeleteIpForwardEntry with the row as given. Deletion
  // matches on the row's destination, mask, next hop and interface.
  //
  // Since Windows Vista the first metric of a row is the route's own metric plus the
  // metric of its interface: the table reports that sum, CreateIpForwardEntry takes
  // it (and refuses a value below the interface metric with 87), and a route whose
  // destination, mask, next hop and interface are those of an existing one is refused
  // with 5010 whatever its metric.
  virtual std::uint32_t CreateIpForwardEntry(const RouteRow& row) = 0;
  virtual std::uint32_t DeleteIpForwardEntry(const RouteRow& row) = 0;
  // GetIpInterfaceEntry (IPv4) of the interface: its metric, which the system adds
  // to every route on it. 127 where the system has no such call (before Vista);
  // otherwise the call's result (1168 for an unknown interface).
  virtual std::uint32_t GetIpInterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric) = 0;
  // GetBestRoute: the row the system would use to reach `dest`.
  virtual std::uint32_t GetBestRoute(std::uint32_t dest, std::uint32_t source,
                                     RouteRow& row) = 0;

  // GetIpAddrTable: the interface addresses (sorted when asked).
  virtual std::uint32_t GetIpAddrTable(bool sorted, std::vector<AddrRow>& rows) = 0;
  // GetAdaptersInfo: the adapter list in system order.
  virtual std::uint32_t GetAdaptersInfo(std::vector<AdapterInfo>& adapters) = 0;
  // GetInterfaceInfo: the interface index map.
  virtual std::uint32_t GetInterfaceInfo(std::vector<InterfaceEntry>& entries) = 0;

  // False when GetExtendedTcpTable cannot be found in Iphlpapi.dll (old systems);
  // the caller then skips what needs it.
  virtual bool HasExtendedTcpTable() = 0;
  // GetExtendedTcpTable (IPv4, TCP_TABLE_OWNER_PID_ALL).
  virtual std::uint32_t GetExtendedTcpTable(bool sorted, std::vector<TcpRow>& rows) = 0;

  // WSAStartup(2.2) once, then gethostbyname: the IPv4 addresses of `name` in the
  // order the resolver gives them. False when Winsock cannot start or the name does
  // not resolve.
  virtual bool GetHostByName(const std::string& name, std::vector<std::uint32_t>& addresses) = 0;
};

}  // namespace platform
