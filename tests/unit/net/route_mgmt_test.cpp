#include "net/route_mgmt.h"

#include <gtest/gtest.h>

#include "fakes/fake_net_tables.h"
#include "net/ipv4_text.h"

namespace {

using net::Ipv4FromText;

std::uint32_t Ip(const char* text) { return Ipv4FromText(text); }

platform::RouteRow Route(const char* dest, const char* mask, const char* hop, std::uint32_t ifIndex,
                         std::uint32_t metric) {
  platform::RouteRow row;
  row.dest = Ip(dest);
  row.mask = Ip(mask);
  row.nextHop = Ip(hop);
  row.ifIndex = ifIndex;
  row.metric1 = metric;
  return row;
}

class RouteMgmtTest : public ::testing::Test {
 protected:
  fakes::FakeNetTables tables_;
  net::CRouteMgmt routes_{tables_};
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

  tables_.createResult = 87;  // ERROR_INVALID_PARAMETER
  EXPECT_EQ(routes_.AddRoute(11, "192.168.0.1", "203.0.113.8", "255.255.255.255", 50), -1);
}

TEST_F(RouteMgmtTest, AddRouteRefusesMissingOrMalformedInputWithoutCallingTheSystem) {
  struct Case {
    std::uint32_t ifIndex;
    const char *hop, *dest, *mask;
  };
  const Case cases[] = {
      {0, "192.168.0.1", "1.2.3.4", "255.255.255.255"},
      {11, "", "1.2.3.4", "255.255.255.255"},
      {11, "192.168.0.1", "", "255.255.255.255"},
      {11, "192.168.0.1", "1.2.3.4", ""},
      // Not addresses: inet_addr would answer 255.255.255.255 for them.
      {11, "192.168.0.1", "backend.example", "255.255.255.255"},
      {11, "gateway", "1.2.3.4", "255.255.255.255"},
      {11, "192.168.0.1", "1.2.3.4", "255.255.255.0/24"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(routes_.AddRoute(c.ifIndex, c.hop, c.dest, c.mask, 50), -1) << c.ifIndex << " " << c.hop
                                                                          << " " << c.dest << " " << c.mask;
  EXPECT_TRUE(tables_.created.empty());
}

TEST_F(RouteMgmtTest, DeleteByMetricRemovesEveryRouteOfThatMetricWhoeverMadeIt) {
  tables_.routes = {Route("0.0.0.0", "0.0.0.0", "192.168.0.1", 11, 25),
                    Route("1.1.1.1", "255.255.255.255", "192.168.0.1", 11, 77),
                    Route("10.0.0.0", "255.0.0.0", "10.0.0.254", 12, 77),  // not ours
                    Route("2.2.2.2", "255.255.255.255", "192.168.0.1", 11, 50)};
  EXPECT_EQ(routes_.DeleteRoutesByMetric(77), 0);
  ASSERT_EQ(tables_.routes.size(), 2u);
  EXPECT_EQ(tables_.routes[0].metric1, 25u);
  EXPECT_EQ(tables_.routes[1].metric1, 50u);
}

TEST_F(RouteMgmtTest, DeleteByMetricStopsAtTheFirstFailureAndReportsAnUnreadableTable) {
  tables_.routes = {Route("1.1.1.1", "255.255.255.255", "192.168.0.1", 11, 77),
                    Route("2.2.2.2", "255.255.255.255", "192.168.0.1", 11, 77)};
  tables_.deleteResult = 5;  // access denied
  EXPECT_EQ(routes_.DeleteRoutesByMetric(77), -1);
  EXPECT_EQ(tables_.deleted.size(), 1u);

  tables_.forwardTableResult = 122;
  EXPECT_EQ(routes_.DeleteRoutesByMetric(77), -1);
  EXPECT_EQ(tables_.deleted.size(), 1u);
}

TEST_F(RouteMgmtTest, RemoteSupportPeerIsTheFirstEstablishedConnectionToPort5938) {
  tables_.tcpRows = {{2, Ip("192.168.0.5"), 50000, Ip("198.51.100.1"), 5938, 10},  // listening/closing
                     {5, Ip("192.168.0.5"), 50001, Ip("198.51.100.2"), 443, 10},
                     {5, Ip("192.168.0.5"), 50002, Ip("198.51.100.3"), 5938, 10},
                     {5, Ip("192.168.0.5"), 50003, Ip("198.51.100.4"), 5938, 10}};
  std::string peer = "old";
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), 1);
  EXPECT_EQ(peer, "198.51.100.3");
}

TEST_F(RouteMgmtTest, NoRemoteSupportPeerLeavesNoStaleAddress) {
  std::string peer = "198.51.100.3";
  tables_.tcpRows = {{5, 0, 50001, Ip("198.51.100.2"), 443, 10}};
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), -1);
  EXPECT_EQ(peer, "");

  tables_.tcpRows = {{5, 0, 50002, Ip("198.51.100.3"), 5938, 10}};
  tables_.hasExtendedTcpTable = false;  // an old system
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), -1);
  tables_.hasExtendedTcpTable = true;
  tables_.tcpTableResult = 122;
  EXPECT_EQ(routes_.FindRemoteSupportPeer(peer), -1);
  EXPECT_EQ(peer, "");
}

TEST_F(RouteMgmtTest, BypassRoutesReplaceTheOldOnesAndSkipEmptyItems) {
  tables_.routes = {Route("9.9.9.9", "255.255.255.255", "192.168.0.1", 11, 77),
                    Route("2.2.2.2", "255.255.255.255", "192.168.0.1", 11, 50)};
  routes_.InstallBypassRoutes(11, "192.168.0.1", "1.1.1.1^^3.3.3.3^");
  ASSERT_EQ(tables_.deleted.size(), 1u);
  EXPECT_EQ(tables_.deleted[0].dest, Ip("9.9.9.9"));
  ASSERT_EQ(tables_.created.size(), 2u);
  for (const platform::RouteRow& row : tables_.created) {
    EXPECT_EQ(row.metric1, 77u);
    EXPECT_EQ(row.mask, 0xFFFFFFFFu);
    EXPECT_EQ(row.ifIndex, 11u);
    EXPECT_EQ(row.nextHop, Ip("192.168.0.1"));
  }
  EXPECT_EQ(tables_.created[0].dest, Ip("1.1.1.1"));
  EXPECT_EQ(tables_.created[1].dest, Ip("3.3.3.3"));

  // An empty list only clears the old bypass routes.
  routes_.InstallBypassRoutes(11, "192.168.0.1", "");
  EXPECT_EQ(tables_.created.size(), 2u);
  EXPECT_EQ(tables_.routes.size(), 1u);
}

}  // namespace
