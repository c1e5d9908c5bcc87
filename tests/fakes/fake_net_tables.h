// IP Helper and name lookup held in tables a test arranges. Route creation and
// deletion change the route table and are recorded; every call can be made to fail
// with a chosen result code.
//
// The route table behaves as Windows Vista and later do:
// - an interface may have a metric (`interfaceMetrics`); the table reports every route
//   on it with that metric added, and a created row's first metric is taken as that
//   sum: a value below the interface metric is refused with 87, and what is kept is
//   the route's own metric (the value less the interface metric);
// - CreateIpForwardEntry refuses (87) a protocol other than network management, a mask
//   that is not contiguous or a destination with bits outside its mask, and refuses
//   (5010) a row whose destination, mask, next hop and interface are those of a route
//   already there, whatever its metric.
// Interfaces without an arranged metric behave as on Windows XP (the metric written is
// the metric reported, and GetIpInterfaceMetric finds no interface).
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
  std::uint32_t GetIpInterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric) override;
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
  // `routes` holds each route's own metric; the table reports it plus the metric of
  // the route's interface.
  std::vector<platform::RouteRow> routes;
  std::vector<platform::AddrRow> addresses;
  std::vector<platform::AdapterInfo> adapters;
  std::vector<platform::InterfaceEntry> interfaces;
  std::vector<platform::TcpRow> tcpRows;
  bool hasExtendedTcpTable = true;
  std::map<std::string, std::vector<std::uint32_t>> hosts;  // name -> addresses
  bool resolverStarts = true;                                // WSAStartup succeeds
  std::map<std::uint32_t, std::uint32_t> interfaceMetrics;   // ifIndex -> metric
  // Result of GetIpInterfaceMetric for every interface when not 0 (127: before Vista).
  std::uint32_t interfaceMetricResult = 0;

  // The best route is the arranged row; bestRouteResult != 0 means "no route". With
  // bestRouteFromTable the route table answers instead, as Windows chooses: the
  // longest matching prefix, then the lowest reported metric (1232 when none matches).
  platform::RouteRow bestRoute;
  std::uint32_t bestRouteResult = 0;
  bool bestRouteFromTable = false;

  // Result codes of the calls (0 success); a failing call changes nothing.
  std::uint32_t forwardTableResult = 0;
  std::uint32_t addrTableResult = 0;
  std::uint32_t adaptersResult = 0;
  std::uint32_t interfaceInfoResult = 0;
  std::uint32_t tcpTableResult = 0;
  std::uint32_t createResult = 0;
  std::uint32_t deleteResult = 0;
  // Makes the n-th create / delete from now (1 = the next) fail with `code`, once;
  // several may be pending.
  void FailCreate(int nth, std::uint32_t code) { createFailures_[createCalls_ + nth] = code; }
  void FailDelete(int nth, std::uint32_t code) { deleteFailures_[deleteCalls_ + nth] = code; }

  // The metric the table reports for a route on `ifIndex` whose own metric is
  // `routeMetric`.
  std::uint32_t Reported(std::uint32_t ifIndex, std::uint32_t routeMetric) const;

  // Recording.
  std::vector<platform::RouteRow> created, deleted;  // every row passed, as passed
  std::vector<std::uint32_t> bestRouteQueries;       // destinations asked for
  std::vector<std::string> lookedUp;                 // names passed to GetHostByName

 private:
  int createCalls_ = 0, deleteCalls_ = 0;
  std::map<int, std::uint32_t> createFailures_, deleteFailures_;  // call number -> code
};

}  // namespace fakes
