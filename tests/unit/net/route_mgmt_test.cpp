#include "net/route_mgmt.h"

#include <gtest/gtest.h>

#include "fakes/fake_net_tables.h"
#include "net/ipv4_text.h"
#include "unit/net/recording_log.h"

namespace {

using net::Ipv4FromText;

std::uint32_t Ip(const char* text) { return Ipv4FromText(text); }

// A route as the fake keeps it: `metric` is the route's own metric.
platform::RouteRow Route(const char* dest, const char* mask, const char* hop, std::uint32_t ifIndex,
                         std::uint32_t metric, std::uint32_t proto = platform::kRouteProtoNetMgmt) {
  platform::RouteRow row;
  row.dest = Ip(dest);
  row.mask = Ip(mask);
  row.nextHop = Ip(hop);
  row.ifIndex = ifIndex;
  row.metric1 = metric;
  row.proto = proto;
  return row;
}

class RouteMgmtTest : public ::testing::Test {
 protected:
  fakes::FakeNetTables tables_;
  nettest::RecordingLog log_;
  net::CRouteMgmt routes_{tables_, log_};
};

TEST_F(RouteMgmtTest, AddRouteBuildsAStaticDirectRowWithTheMetric) {
  EXPECT_EQ(routes_.AddRoute(11, "192.168.0.1", "203.0.113.7", "255.255.255.255", 50), 1);
  ASSERT_EQ(tables_.created.size(), 1u);
  const platform::RouteRow& row = tables_.created[0];
  EXPECT_EQ(row.dest, Ip("203.0.113.7"));
  EXPECT_EQ(row.mask, 0xFFFFFFFFu);
  EXPECT_EQ(row.nextHop, Ip("192.168.0.1"));
  EXPECT_EQ(row.ifIndex, 11u);
  EXPECT_EQ(row.type, 3u);
  EXPECT_EQ(row.proto, 3u);
  EXPECT_EQ(row.metric1, 50u);
  EXPECT_EQ(row.policy | row.age | row.nextHopAs | row.metric2 | row.metric3 | row.metric4 | row.metric5, 0u);
  EXPECT_EQ(log_.lines.back(), "route add 203.0.113.7/255.255.255.255 via 192.168.0.1 if 11 metric 50 as 50 -> 0");

  // Windows refuses a second route with the same destination, mask, next hop and
  // interface whatever its metric; the failure is the result, and the log says why.
  EXPECT_EQ(routes_.AddRoute(11, "192.168.0.1", "203.0.113.7", "255.255.255.255", 77), -1);
  EXPECT_EQ(log_.lines.back(), "route add 203.0.113.7/255.255.255.255 via 192.168.0.1 if 11 metric 77 as 77 -> 5010");
}

TEST_F(RouteMgmtTest, AddRouteRefusesMissingOrMalformedInputWithoutCallingTheSystem) {
  struct Case {
    std::uint32_t ifIndex;
    const char *hop, *dest, *mask;
    int metric;
  };
  const Case cases[] = {
      {0, "192.168.0.1", "1.2.3.4", "255.255.255.255", 50},
      {11, "", "1.2.3.4", "255.255.255.255", 50},
      {11, "192.168.0.1", "", "255.255.255.255", 50},
      {11, "192.168.0.1", "1.2.3.4", "", 50},
      {11, "192.168.0.1", "1.2.3.4", "255.255.255.255", -1},
      // Not addresses: inet_addr would answer 255.255.255.255 for them.
      {11, "192.168.0.1", "backend.example", "255.255.255.255", 50},
      {11, "gateway", "1.2.3.4", "255.255.255.255", 50},
      {11, "192.168.0.1", "1.2.3.4", "255.255.255.0/24", 50},
  };
  for (const Case& c : cases)
    EXPECT_EQ(routes_.AddRoute(c.ifIndex, c.hop, c.dest, c.mask, c.metric), -1)
        << c.ifIndex << " " << c.hop << " " << c.dest << " " << c.mask << " " << c.metric;
  EXPECT_TRUE(tables_.created.empty());
  EXPECT_EQ(log_.lines[1], "route add 1.2.3.4/255.255.255.255 via - if 11 metric 50 -> refused bad-argument");
}

// Since Vista the system adds the interface metric to every route: a policy metric
// written as it is falls below a large interface metric and is refused (87), and what
// the table reports is never the number written once the interface metric changes.
TEST_F(RouteMgmtTest, PolicyMetricsSurviveTheInterfaceMetric) {
  tables_.interfaceMetrics[11] = 60;  // a slow link
  platform::RouteRow naive = Route("1.1.1.1", "255.255.255.255", "192.168.0.1", 11, 45);
  EXPECT_EQ(tables_.CreateIpForwardEntry(naive), 87u);  // what the old client did

  for (const char* dest : {"1.1.1.1", "2.2.2.2"})
    EXPECT_EQ(routes_.AddRoute(11, "192.168.0.1", dest, "255.255.255.255", 45), 1);
  EXPECT_EQ(tables_.created.back().metric1, 105u);
  EXPECT_EQ(log_.lines.back(), "route add 2.2.2.2/255.255.255.255 via 192.168.0.1 if 11 metric 45 as 105 -> 0");

  // The link speeds up: the table now reports 45 + 25, and the routes are still found.
  tables_.interfaceMetrics[11] = 25;
  std::vector<platform::RouteRow> reported;
  ASSERT_EQ(tables_.GetIpForwardTable(true, reported), 0u);
  EXPECT_EQ(reported.back().metric1, 70u);
  EXPECT_EQ(routes_.DeleteRoutesByMetric(45), 0);
  EXPECT_TRUE(tables_.routes.empty());  // the refused naive row never got in

  // Before Vista there is no interface metric to read: the policy metric is written.
  tables_.interfaceMetricResult = platform::kErrorProcNotFound;
  tables_.interfaceMetrics.clear();
  EXPECT_EQ(routes_.AddRoute(11, "192.168.0.1", "3.3.3.3", "255.255.255.255", 45), 1);
  EXPECT_EQ(tables_.created.back().metric1, 45u);
  EXPECT_EQ(routes_.DeleteRoutesByMetric(45), 0);
  EXPECT_TRUE(tables_.routes.empty());
}

TEST_F(RouteMgmtTest, DeleteByMetricTakesOnlyTheClientsHostRoutesOfThatPolicy) {
  tables_.interfaceMetrics[11] = 25;
  tables_.routes = {
      Route("1.1.1.1", "255.255.255.255", "192.168.0.1", 11, 77),      // ours: reported 102
      Route("0.0.0.0", "0.0.0.0", "192.168.0.1", 11, 77),              // a default route
      Route("10.0.0.0", "255.0.0.0", "10.0.0.254", 12, 77),            // a network route
      Route("2.2.2.2", "255.255.255.255", "192.168.0.1", 11, 77, 2),   // another protocol
      Route("3.3.3.3", "255.255.255.255", "192.168.0.1", 11, 52),      // reports 77: not ours
      Route("4.4.4.4", "255.255.255.255", "192.168.0.1", 11, 80),      // another policy
      Route("5.5.5.5", "255.255.255.255", "10.0.0.254", 12, 77),       // ours, no interface metric
  };
  EXPECT_EQ(routes_.DeleteRoutesByMetric(77), 0);
  ASSERT_EQ(tables_.deleted.size(), 2u);
  EXPECT_EQ(tables_.deleted[0].dest, Ip("1.1.1.1"));
  EXPECT_EQ(tables_.deleted[0].metric1, 102u);  // the row exactly as the table reported it
  EXPECT_EQ(tables_.deleted[1].dest, Ip("5.5.5.5"));
  EXPECT_EQ(tables_.routes.size(), 5u);
  EXPECT_EQ(log_.Starting("route delete ")[0],
            "route delete 1.1.1.1/255.255.255.255 via 192.168.0.1 if 11 metric 102 -> 0");
  EXPECT_EQ(log_.lines.back(), "route delete-metric 77 -> 0");
}

TEST_F(RouteMgmtTest, DeletesStopAtTheFirstFailureAndReportAnUnreadableTable) {
  tables_.routes = {Route("1.1.1.1", "255.255.255.255", "192.168.0.1", 11, 77),
                    Route("2.2.2.2", "255.255.255.255", "192.168.0.1", 11, 77)};
  tables_.deleteResult = 5;  // access denied
  EXPECT_EQ(routes_.DeleteRoutesByMetric(77), -1);
  EXPECT_EQ(tables_.deleted.size(), 1u);

  tables_.forwardTableResult = 122;
  EXPECT_EQ(routes_.DeleteRoutesByMetric(77), -1);
  EXPECT_EQ(routes_.DeleteRoutesVia("192.168.0.1", "0.0.0.0", "0.0.0.0"), -1);
  EXPECT_EQ(routes_.DeleteRoutesOnInterface(11, "0.0.0.0", "0.0.0.0"), -1);
  EXPECT_EQ(tables_.deleted.size(), 1u);
  EXPECT_EQ(log_.Starting("route table").front(), "route table -> 122");
}

TEST_F(RouteMgmtTest, DeleteOnInterfaceAndViaMatchTheirThreeFields) {
  const std::vector<platform::RouteRow> table = {
      Route("0.0.0.0", "0.0.0.0", "192.168.0.1", 11, 0),
      Route("0.0.0.0", "0.0.0.0", "10.8.0.5", 12, 0),
      Route("0.0.0.0", "0.0.0.0", "192.168.0.1", 13, 5),  // same gateway, another interface
      Route("0.0.0.0", "128.0.0.0", "10.8.0.5", 12, 0),
      Route("8.8.8.8", "255.255.255.255", "192.168.0.1", 11, 0, 2),
  };
  struct Case {
    const char* call;  // "if N" or "via HOP"
    std::uint32_t ifIndex;
    const char *hop, *dest, *mask;
    int result;
    std::vector<std::uint32_t> left;  // interfaces of the rows left, in order
  };
  const Case cases[] = {
      {"if", 12, "", "0.0.0.0", "0.0.0.0", 0, {11, 13, 12, 11}},
      {"if", 14, "", "0.0.0.0", "0.0.0.0", 0, {11, 12, 13, 12, 11}},
      {"if", 12, "", "", "0.0.0.0", -1, {11, 12, 13, 12, 11}},
      {"if", 12, "", "0.0.0.0", "mask", -1, {11, 12, 13, 12, 11}},
      {"via", 0, "192.168.0.1", "0.0.0.0", "0.0.0.0", 0, {12, 12, 11}},
      {"via", 0, "192.168.0.1", "8.8.8.8", "255.255.255.255", 0, {11, 12, 13, 12}},
      {"via", 0, "", "0.0.0.0", "0.0.0.0", -1, {11, 12, 13, 12, 11}},
  };
  for (const Case& c : cases) {
    tables_.routes = table;
    std::vector<platform::RouteRow> gone;
    const int result = std::string(c.call) == "if" ? routes_.DeleteRoutesOnInterface(c.ifIndex, c.dest, c.mask)
                                                   : routes_.DeleteRoutesVia(c.hop, c.dest, c.mask, &gone);
    EXPECT_EQ(result, c.result) << c.call << " " << c.ifIndex << c.hop << " " << c.dest << "/" << c.mask;
    std::vector<std::uint32_t> left;
    for (const platform::RouteRow& row : tables_.routes) left.push_back(row.ifIndex);
    EXPECT_EQ(left, c.left) << c.call << " " << c.ifIndex << c.hop << " " << c.dest << "/" << c.mask;
    EXPECT_EQ(gone.size(), std::string(c.call) == "via" ? table.size() - c.left.size() : 0u);
  }
  EXPECT_EQ(log_.lines.back(), "route delete-via - 0.0.0.0/0.0.0.0 -> -1");
}

TEST_F(RouteMgmtTest, RemoteSupportPeerIsTheFirstEstablishedConnectionToPort5938) {
  tables_.tcpRows = {{2, Ip("192.168.0.5"), 50000, Ip("198.51.100.1"), 5938, 10},  // listening/closing
                     {5, Ip("192.168.0.5"), 50001, Ip("198.51.100.2"), 443, 10},
                     {5, Ip("192.168.0.5"), 50002, Ip("198.51.100.3"), 5938, 10},
                     {5, Ip("192.168.0.5"), 50003, Ip("198.51.100.4"), 5938, 10}};
  std::string peer = "old";
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), 1);
  EXPECT_EQ(peer, "198.51.100.3");
  EXPECT_EQ(log_.lines.back(), "route peer -> 198.51.100.3:5938");
}

TEST_F(RouteMgmtTest, NoRemoteSupportPeerLeavesNoStaleAddress) {
  std::string peer = "198.51.100.3";
  tables_.tcpRows = {{5, 0, 50001, Ip("198.51.100.2"), 443, 10}};
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), -1);
  EXPECT_EQ(peer, "");
  EXPECT_EQ(log_.lines.back(), "route peer -> none");

  tables_.tcpRows = {{5, 0, 50002, Ip("198.51.100.3"), 5938, 10}};
  tables_.hasExtendedTcpTable = false;  // an old system
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), -1);
  tables_.hasExtendedTcpTable = true;
  tables_.tcpTableResult = 122;
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), -1);
  EXPECT_EQ(peer, "");
}

TEST_F(RouteMgmtTest, BypassRoutesReplaceTheClientsOldOnesAndSkipEmptyOrBadItems) {
  tables_.routes = {Route("9.9.9.9", "255.255.255.255", "192.168.0.1", 11, 77),
                    Route("2.2.2.2", "255.255.255.255", "192.168.0.1", 11, 50),
                    Route("10.0.0.0", "255.0.0.0", "10.0.0.254", 12, 77)};  // not ours
  routes_.InstallBypassRoutes(11, "192.168.0.1", "1.1.1.1^^3.3.3.3^game.example^");
  ASSERT_EQ(tables_.deleted.size(), 1u);
  EXPECT_EQ(tables_.deleted[0].dest, Ip("9.9.9.9"));
  ASSERT_EQ(tables_.created.size(), 2u);  // the name never became a 255.255.255.255 route
  for (const platform::RouteRow& row : tables_.created) {
    EXPECT_EQ(row.metric1, 77u);
    EXPECT_EQ(row.mask, 0xFFFFFFFFu);
    EXPECT_EQ(row.ifIndex, 11u);
    EXPECT_EQ(row.nextHop, Ip("192.168.0.1"));
  }
  EXPECT_EQ(tables_.created[0].dest, Ip("1.1.1.1"));
  EXPECT_EQ(tables_.created[1].dest, Ip("3.3.3.3"));
  EXPECT_EQ(log_.Starting("route add game.example").size(), 1u);

  // An empty list only clears the client's bypass routes.
  routes_.InstallBypassRoutes(11, "192.168.0.1", "");
  EXPECT_EQ(tables_.created.size(), 2u);
  EXPECT_EQ(tables_.routes.size(), 2u);

  // Addresses that are no host behind the gateway: 0/8, loopback, multicast, 240/4
  // with the broadcast address. None becomes a route; each is logged.
  tables_.created.clear();
  routes_.InstallBypassRoutes(11, "192.168.0.1",
                              "0.0.0.0^0.1.2.3^127.0.0.1^224.0.0.1^239.255.255.250^240.0.0.1^255.255.255.255^"
                              "223.255.255.254^");
  ASSERT_EQ(tables_.created.size(), 1u);
  EXPECT_EQ(tables_.created[0].dest, Ip("223.255.255.254"));
  EXPECT_EQ(log_.Starting("route add 255.255.255.255/255.255.255.255 via 192.168.0.1 if 11 metric 77 -> "
                          "refused not-unicast").size(), 1u);
  EXPECT_EQ(log_.Starting("route add 0.0.0.0/").size(), 1u);
}

TEST_F(RouteMgmtTest, PhysicalPathIsNeverATunnel) {
  platform::AdapterInfo lan, wifi, tap, ppp;
  lan.index = 11, lan.description = "Realtek PCIe GbE Family Controller", lan.type = 6;
  wifi.index = 13, wifi.description = "Intel Wireless-AC 9560", wifi.type = 71;
  tap.index = 12, tap.description = "TAP-Win32 Adapter V9 #2", tap.type = 6;
  ppp.index = 14, ppp.description = "WAN (PPP/SLIP) Interface", ppp.type = platform::kIfTypePpp;
  tables_.adapters = {lan, wifi, tap, ppp};
  tables_.routes = {Route("0.0.0.0", "0.0.0.0", "192.168.0.1", 11, 30),
                    Route("0.0.0.0", "0.0.0.0", "172.16.0.1", 13, 20),
                    Route("0.0.0.0", "0.0.0.0", "10.8.0.5", 12, 1),
                    Route("0.0.0.0", "0.0.0.0", "10.9.0.1", 14, 1)};
  struct Case {
    std::uint32_t bestIf;
    const char* bestHop;
    int index;
    const char* hop;
  };
  const Case cases[] = {
      {11, "192.168.0.1", 11, "192.168.0.1"},  // the best route is physical
      {12, "10.8.0.5", 13, "172.16.0.1"},      // through the OpenVPN adapter
      {14, "10.9.0.1", 13, "172.16.0.1"},      // through a dial-up tunnel
  };
  for (const Case& c : cases) {
    tables_.bestRoute = Route("0.0.0.0", "0.0.0.0", c.bestHop, c.bestIf, 1);
    std::string hop;
    EXPECT_EQ(routes_.FindPhysicalPath(hop, "TAP-Win32 Adapter V9"), c.index) << c.bestIf;
    EXPECT_EQ(hop, c.hop) << c.bestIf;
  }
  EXPECT_EQ(log_.lines.back(), "route physical-path -> if 13 via 172.16.0.1");

  // Only tunnels have default routes: there is no physical path.
  tables_.routes = {Route("0.0.0.0", "0.0.0.0", "10.8.0.5", 12, 1)};
  std::string hop = "kept";
  EXPECT_EQ(routes_.FindPhysicalPath(hop, "TAP-Win32 Adapter V9"), -1);
  EXPECT_EQ(hop, "kept");
  tables_.bestRouteResult = 1232;
  EXPECT_EQ(routes_.FindPhysicalPath(hop, "TAP-Win32 Adapter V9"), -1);
  EXPECT_EQ(log_.lines.back(), "route physical-path -> none");
}

}  // namespace
