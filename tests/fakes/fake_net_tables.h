// IP Helper and name lookup held in tables a test arranges. Route creation and
// deletion change the route table and are recorded; every call can be made to fail
// with a chosen result code.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/iphelper.h"

namespace fakes {

class FakeNetTables : public platform::INetTables {
 public:
  std::uint32_t GetIpForwardTable(bool sorted, std::vector<platform::RouteRow>& rows) override;
  std::uint32_t CreateIpForwardEntry(const platform::RouteRow& row) override;
  std::uint32_t DeleteIpForwardEntry(const platform::RouteRow& row) override;
  std::uint32_t GetBestRoute(std::uint32_t dest, std::uint32_t source,
                             platform::RouteRow& row) override;
  std::uint32_t GetIpAddrTable(bool sorted, std::vector<platform::AddrRow>& rows) override;
  std::uint32_t GetAdaptersInfo(std::vector<platform::AdapterInfo>& adapters) override;
  std::uint32_t GetInterfaceInfo(std::vector<platform::InterfaceEntry>& entries) override;
  bool HasExtendedTcpTable() override { return hasExtendedTcpTable; }
  std::uint32_t GetExtendedTcpTable(bool sorted, std::vector<platform::TcpRow>& rows) override;
  bool GetHostByName(const std::string& name, std::vector<std::uint32_t>& addresses) override;

  // Arranging: the tables as the system would hold them. Tables are returned in the
  // order held here (sorted or not: a test arranges them in the order it needs).
  std::vector<platform::RouteRow> routes;
  std::vector<platform::AddrRow> addresses;
  std::vector<platform::AdapterInfo> adapters;
  std::vector<platform::InterfaceEntry> interfaces;
  std::vector<platform::TcpRow> tcpRows;
  bool hasExtendedTcpTable = true;
  std::map<std::string, std::vector<std::uint32_t>> hosts;  // name -> addresses
  bool resolverStarts = true;                                // WSAStartup succeeds

  // The best route is the arranged row; bestRouteResult != 0 means "no route".
  platform::RouteRow bestRoute;
  std::uint32_t bestRouteResult = 0;

  // Result codes of the calls (0 success); a failing call changes nothing.
  std::uint32_t forwardTableResult = 0;
  std::uint32_t addrTableResult = 0;
  std::uint32_t adaptersResult = 0;
  std::uint32_t interfaceInfoResult = 0;
  std::uint32_t tcpTableResult = 0;
  std::uint32_t createResult = 0;
  std::uint32_t deleteResult = 0;

  // Recording.
  std::vector<platform::RouteRow> created, deleted;
  std::vector<std::uint32_t> bestRouteQueries;  // destinations asked for
  std::vector<std::string> lookedUp;            // names passed to GetHostByName
};

}  // namespace fakes
