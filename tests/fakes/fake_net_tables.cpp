#include "fakes/fake_net_tables.h"

#include <algorithm>

namespace fakes {

namespace {

// The arranged table, or the arranged failure code without touching `out`.
template <class Table>
std::uint32_t Answer(std::uint32_t result, const Table& table, Table& out) {
  if (result != 0) return result;
  out = table;
  return 0;
}

}  // namespace

std::uint32_t FakeNetTables::GetIpForwardTable(bool, std::vector<platform::RouteRow>& rows) {
  if (forwardTableResult != 0) return forwardTableResult;
  rows = routes;
  return 0;
}

std::uint32_t FakeNetTables::CreateIpForwardEntry(const platform::RouteRow& row) {
  created.push_back(row);
  if (createResult != 0) return createResult;
  routes.push_back(row);
  return 0;
}

std::uint32_t FakeNetTables::DeleteIpForwardEntry(const platform::RouteRow& row) {
  deleted.push_back(row);
  if (deleteResult != 0) return deleteResult;
  const auto same = [&row](const platform::RouteRow& r) {
    return r.dest == row.dest && r.mask == row.mask && r.nextHop == row.nextHop &&
           r.ifIndex == row.ifIndex;
  };
  const auto it = std::find_if(routes.begin(), routes.end(), same);
  if (it == routes.end()) return 1168;  // ERROR_NOT_FOUND
  routes.erase(it);
  return 0;
}

std::uint32_t FakeNetTables::GetBestRoute(std::uint32_t dest, std::uint32_t,
                                          platform::RouteRow& row) {
  bestRouteQueries.push_back(dest);
  if (bestRouteResult != 0) return bestRouteResult;
  row = bestRoute;
  return 0;
}

std::uint32_t FakeNetTables::GetIpAddrTable(bool, std::vector<platform::AddrRow>& rows) { return Answer(addrTableResult, addresses, rows); }

std::uint32_t FakeNetTables::GetAdaptersInfo(std::vector<platform::AdapterInfo>& out) { return Answer(adaptersResult, adapters, out); }

std::uint32_t FakeNetTables::GetInterfaceInfo(std::vector<platform::InterfaceEntry>& entries) { return Answer(interfaceInfoResult, interfaces, entries); }

std::uint32_t FakeNetTables::GetExtendedTcpTable(bool, std::vector<platform::TcpRow>& rows) { return Answer(tcpTableResult, tcpRows, rows); }

bool FakeNetTables::GetHostByName(const std::string& name, std::vector<std::uint32_t>& out) {
  lookedUp.push_back(name);
  if (!resolverStarts) return false;
  const auto it = hosts.find(name);
  if (it == hosts.end()) return false;
  out = it->second;
  return true;
}

}  // namespace fakes
