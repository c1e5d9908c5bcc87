#include "fakes/fake_net_tables.h"

#include <algorithm>

namespace fakes {

namespace {

constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorHostUnreachable = 1232;

// The arranged table, or the arranged failure code without touching `out`.
template <class Table>
std::uint32_t Answer(std::uint32_t result, const Table& table, Table& out) {
  if (result != 0) return result;
  out = table;
  return 0;
}

bool SameKey(const platform::RouteRow& a, const platform::RouteRow& b) {
  return a.dest == b.dest && a.mask == b.mask && a.nextHop == b.nextHop && a.ifIndex == b.ifIndex;
}

// A mask of network order whose ones come first: 255.255.0.0, not 255.0.255.0.
bool Contiguous(std::uint32_t mask) {
  std::uint32_t host = 0;  // host order
  for (int i = 0; i < 4; ++i) host = (host << 8) | ((mask >> (8 * i)) & 0xFF);
  const std::uint32_t inverted = ~host;
  return (inverted & (inverted + 1)) == 0;
}

int PrefixLength(std::uint32_t mask) {
  int n = 0;
  for (; mask; mask &= mask - 1) ++n;
  return n;
}

// Counts a call; the failure arranged for it, if any.
const std::uint32_t* Due(int& calls, const std::map<int, std::uint32_t>& failures) {
  const auto it = failures.find(++calls);
  return it == failures.end() ? nullptr : &it->second;
}

}  // namespace

std::uint32_t FakeNetTables::Reported(std::uint32_t ifIndex, std::uint32_t routeMetric) const {
  const auto it = interfaceMetrics.find(ifIndex);
  return it == interfaceMetrics.end() ? routeMetric : routeMetric + it->second;
}

std::uint32_t FakeNetTables::GetIpForwardTable(bool, std::vector<platform::RouteRow>& rows) {
  if (forwardTableResult != 0) return forwardTableResult;
  rows = routes;
  for (platform::RouteRow& row : rows) row.metric1 = Reported(row.ifIndex, row.metric1);
  return 0;
}

std::uint32_t FakeNetTables::CreateIpForwardEntry(const platform::RouteRow& row) {
  created.push_back(row);
  if (const std::uint32_t* code = Due(createCalls_, createFailures_)) return *code;
  if (createResult != 0) return createResult;
  if (row.proto != platform::kRouteProtoNetMgmt || !Contiguous(row.mask) ||
      (row.dest & ~row.mask) != 0)
    return kErrorInvalidParameter;
  platform::RouteRow stored = row;
  const auto metric = interfaceMetrics.find(row.ifIndex);
  if (metric != interfaceMetrics.end()) {
    if (row.metric1 < metric->second) return kErrorInvalidParameter;
    stored.metric1 = row.metric1 - metric->second;
  }
  for (const platform::RouteRow& r : routes)
    if (SameKey(r, row)) return platform::kErrorObjectAlreadyExists;
  routes.push_back(stored);
  return 0;
}

std::uint32_t FakeNetTables::DeleteIpForwardEntry(const platform::RouteRow& row) {
  deleted.push_back(row);
  if (const std::uint32_t* code = Due(deleteCalls_, deleteFailures_)) return *code;
  if (deleteResult != 0) return deleteResult;
  const auto it = std::find_if(routes.begin(), routes.end(),
                               [&row](const platform::RouteRow& r) { return SameKey(r, row); });
  if (it == routes.end()) return platform::kErrorNotFound;
  routes.erase(it);
  return 0;
}

std::uint32_t FakeNetTables::GetIpInterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric) {
  if (interfaceMetricResult != 0) return interfaceMetricResult;
  const auto it = interfaceMetrics.find(ifIndex);
  if (it == interfaceMetrics.end()) return platform::kErrorNotFound;
  metric = it->second;
  return 0;
}

std::uint32_t FakeNetTables::GetBestRoute(std::uint32_t dest, std::uint32_t,
                                          platform::RouteRow& row) {
  bestRouteQueries.push_back(dest);
  if (bestRouteResult != 0) return bestRouteResult;
  if (!bestRouteFromTable) {
    row = bestRoute;
    return 0;
  }
  const platform::RouteRow* best = nullptr;
  std::uint32_t bestMetric = 0;
  for (const platform::RouteRow& r : routes) {
    if ((dest & r.mask) != r.dest) continue;
    const std::uint32_t metric = Reported(r.ifIndex, r.metric1);
    if (!best || PrefixLength(r.mask) > PrefixLength(best->mask) ||
        (PrefixLength(r.mask) == PrefixLength(best->mask) && metric < bestMetric)) {
      best = &r;
      bestMetric = metric;
    }
  }
  if (!best) return kErrorHostUnreachable;
  row = *best;
  row.metric1 = bestMetric;
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
