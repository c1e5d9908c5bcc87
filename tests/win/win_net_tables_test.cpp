// IP Helper and Winsock reads on the real system (under Wine, the Linux tables): byte
// order of addresses and ports, the two-call size queries, and the row fields the route
// and adapter code reads.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/win32_net_tables.h"
#include "platform/win32/windows_include.h"

#include <winsock2.h>

namespace {

constexpr std::uint32_t kLoopback = 0x0100007Fu;    // 127.0.0.1, first octet lowest
constexpr std::uint32_t kLoopbackMask = 0x000000FFu;  // 255.0.0.0

std::string Dotted(std::uint32_t addr) {
  in_addr in;
  in.s_addr = addr;
  return inet_ntoa(in);
}

TEST(WinNetTables, RoutesAddressesAndAdaptersAgreeInNetworkOrder) {
  platform::win32::Win32NetTables tables;
  std::vector<platform::AddrRow> addrs;
  ASSERT_EQ(tables.GetIpAddrTable(true, addrs), 0u);
  const auto lo = std::find_if(addrs.begin(), addrs.end(), [](const platform::AddrRow& r) { return r.addr == kLoopback; });
  ASSERT_NE(lo, addrs.end()) << "127.0.0.1 not in the address table";
  EXPECT_EQ(lo->mask, kLoopbackMask);
  EXPECT_TRUE(std::is_sorted(addrs.begin(), addrs.end(), [](const platform::AddrRow& a, const platform::AddrRow& b) {
    return ntohl(a.addr) < ntohl(b.addr);
  }));

  std::vector<platform::RouteRow> routes;
  ASSERT_EQ(tables.GetIpForwardTable(true, routes), 0u);
  for (const platform::RouteRow& r : routes)  // every route leaves by a known interface
    EXPECT_TRUE(std::any_of(addrs.begin(), addrs.end(), [&](const platform::AddrRow& a) { return a.ifIndex == r.ifIndex; }))
        << Dotted(r.dest) << " on interface " << r.ifIndex;

  platform::RouteRow best;
  ASSERT_EQ(tables.GetBestRoute(kLoopback, 0, best), 0u);
  const auto def = std::find_if(routes.begin(), routes.end(),
                                [](const platform::RouteRow& r) { return r.dest == 0 && r.mask == 0; });
  if (def == routes.end()) return;  // no default route on this machine: nothing more to compare

  // The probe the login flow uses finds the default route: its gateway lies in the
  // subnet of its interface's address, and the adapter list names the same gateway.
  ASSERT_EQ(tables.GetBestRoute(0x01000064u /* 100.0.0.1 */, 0, best), 0u);
  EXPECT_EQ(best.nextHop, def->nextHop);
  EXPECT_EQ(best.ifIndex, def->ifIndex);
  const auto local = std::find_if(addrs.begin(), addrs.end(),
                                  [&](const platform::AddrRow& a) { return a.ifIndex == best.ifIndex; });
  ASSERT_NE(local, addrs.end());
  EXPECT_EQ(best.nextHop & local->mask, local->addr & local->mask) << Dotted(best.nextHop);
  std::vector<platform::AdapterInfo> adapters;
  ASSERT_EQ(tables.GetAdaptersInfo(adapters), 0u);
  const auto adapter = std::find_if(adapters.begin(), adapters.end(),
                                    [&](const platform::AdapterInfo& a) { return a.index == best.ifIndex; });
  ASSERT_NE(adapter, adapters.end());
  EXPECT_EQ(adapter->gateway, Dotted(best.nextHop));
  EXPECT_NE(std::find(adapter->ipAddresses.begin(), adapter->ipAddresses.end(), Dotted(local->addr)),
            adapter->ipAddresses.end());
  EXPECT_EQ(adapter->address.size(), 6u);  // an Ethernet hardware address
}

TEST(WinNetTables, AdaptersAndInterfacesAnswer) {
  platform::win32::Win32NetTables tables;
  std::vector<platform::AdapterInfo> adapters;
  const std::uint32_t rc = tables.GetAdaptersInfo(adapters);
  ASSERT_TRUE(rc == 0 || rc == ERROR_NO_DATA) << rc;
  for (const platform::AdapterInfo& a : adapters) {
    EXPECT_FALSE(a.adapterName.empty());
    EXPECT_FALSE(a.ipAddresses.empty()) << a.description;
    EXPECT_LE(a.address.size(), 8u);
  }

  std::vector<platform::InterfaceEntry> entries;
  const std::uint32_t irc = tables.GetInterfaceInfo(entries);
  ASSERT_TRUE(irc == 0 || irc == ERROR_NO_DATA) << irc;
  for (const platform::InterfaceEntry& e : entries) {
    // The device path of the binding, whose GUID part is an adapter's name.
    const std::size_t underscore = e.name.find('_');
    ASSERT_NE(underscore, std::string::npos) << e.name;
    const std::string guid = e.name.substr(underscore + 1);
    EXPECT_TRUE(std::any_of(adapters.begin(), adapters.end(),
                            [&](const platform::AdapterInfo& a) { return a.adapterName == guid && a.index == e.index; }))
        << e.name;
  }
}

// Since Vista the system adds an interface's metric to every route on it: the route
// code reads it to write and recognise its metrics. Wine 8 has no GetIpInterfaceEntry
// and answers as Windows XP would (127), so the route code writes plain metrics there.
TEST(WinNetTables, InterfaceMetricOfAKnownInterfaceAndNoneOfAnUnknownOne) {
  platform::win32::Win32NetTables tables;
  std::vector<platform::AddrRow> addrs;
  ASSERT_EQ(tables.GetIpAddrTable(true, addrs), 0u);
  ASSERT_FALSE(addrs.empty());
  const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  std::uint32_t metric = 0xFFFFFFFFu;
  const std::uint32_t rc = tables.GetIpInterfaceMetric(addrs.front().ifIndex, metric);
  if (wine && rc == platform::kErrorProcNotFound) {
    EXPECT_EQ(metric, 0xFFFFFFFFu);  // left as it was
    return;
  }
  EXPECT_EQ(rc, 0u);
  EXPECT_LT(metric, 0xFFFFFFFFu);
  std::uint32_t none = 12345;
  EXPECT_NE(tables.GetIpInterfaceMetric(0x7FFFFFF0u, none), 0u);
  EXPECT_EQ(none, 12345u);
}

// A connection made here shows in the TCP table with its ports in host order.
TEST(WinNetTables, OwnConnectionInTheTcpTable) {
  platform::win32::Win32NetTables tables;
  ASSERT_TRUE(tables.HasExtendedTcpTable());
  std::vector<std::uint32_t> resolved;
  ASSERT_TRUE(tables.GetHostByName("localhost", resolved));  // starts Winsock too
  EXPECT_NE(std::find(resolved.begin(), resolved.end(), kLoopback), resolved.end());

  const SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = kLoopback;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  int length = sizeof addr;
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length), 0);
  const std::uint16_t port = ntohs(addr.sin_port);
  const SOCKET client = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  const SOCKET accepted = accept(listener, nullptr, nullptr);

  std::vector<platform::TcpRow> rows;
  EXPECT_EQ(tables.GetExtendedTcpTable(true, rows), 0u);
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const platform::TcpRow& r) {
    return r.state == 5 && r.remotePort == port && r.remoteAddr == kLoopback;
  });
  EXPECT_NE(row, rows.end()) << "no established row to port " << port << " among " << rows.size();
  closesocket(accepted);
  closesocket(client);
  closesocket(listener);

  EXPECT_FALSE(tables.GetHostByName("no-such-host.invalid", resolved));
  EXPECT_TRUE(resolved.empty());
}

}  // namespace
