// The routes of an OpenVPN tunnel on a route table that behaves as Windows Vista and
// later do (interface metrics added to every route, duplicates refused).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_net_tables.h"
#include "net/ipv4_text.h"
#include "net/route_mgmt.h"
#include "unit/net/recording_log.h"

namespace {

using net::Ipv4FromText;
using net::Ipv4ToText;

std::uint32_t Ip(const char* text) { return Ipv4FromText(text); }

platform::RouteRow Route(const char* dest, const char* mask, const char* hop, std::uint32_t ifIndex,
                         std::uint32_t ownMetric, std::uint32_t proto = platform::kRouteProtoNetMgmt) {
  platform::RouteRow row;
  row.dest = Ip(dest);
  row.mask = Ip(mask);
  row.nextHop = Ip(hop);
  row.ifIndex = ifIndex;
  row.metric1 = ownMetric;
  row.proto = proto;
  return row;
}

constexpr std::uint32_t kLan = 11;
constexpr std::uint32_t kTap = 12;
const char* const kTapName = "TAP-Win32 Adapter V9";

// A physical adapter with its DHCP default route, the tunnel adapter, and what the
// previous session left behind.
struct Rig {
  Rig() {
    platform::AdapterInfo lan, tap;
    lan.index = kLan, lan.description = "Realtek PCIe GbE Family Controller";
    tap.index = kTap, tap.description = std::string(kTapName) + " #2";
    tables_.adapters = {lan, tap};
    tables_.addresses = {{Ip("10.8.0.6"), kTap}, {Ip("192.168.0.5"), kLan}};
    // The tunnel adapter's interface metric is the larger, as for a 100 Mbit/s TAP
    // adapter beside gigabit Ethernet.
    tables_.interfaceMetrics = {{kLan, 25}, {kTap, 35}};
    tables_.bestRouteFromTable = true;
    tables_.routes = {
        Route("0.0.0.0", "0.0.0.0", "192.168.0.1", kLan, 0),                     // DHCP's default
        Route("192.168.0.0", "255.255.255.0", "192.168.0.5", kLan, 256, 2),
        Route("10.8.0.0", "255.255.255.0", "10.8.0.6", kTap, 256, 2),
        Route("198.51.100.20", "255.255.255.255", "192.168.0.1", kLan, 50),      // the login's pin
        Route("10.20.0.0", "255.255.0.0", "192.168.0.1", kLan, 80),              // other software's
    };
    base_ = tables_.routes;  // what every undo must give back
    // Left by the previous session: the client's metric-80 pin and OpenVPN's default
    // route on the tunnel adapter; both go whatever the route list says.
    tables_.routes.push_back(Route("198.51.100.99", "255.255.255.255", "192.168.0.1", kLan, 80));
    tables_.routes.push_back(Route("0.0.0.0", "0.0.0.0", "10.8.0.5", kTap, 0));

    request_.localIfIndex = kLan;
    request_.localGateway = "192.168.0.1";
    request_.serverIp = "198.51.100.20";
    request_.webHost = "203.0.113.10";
    request_.gatewayIp = "10.8.0.5";
    request_.routeList = "0.0.0.0/0.0.0.0";
    request_.tapAdapterName = kTapName;
  }

  // The table as "dest/mask via hop if N own M proto P" rows, in a fixed order.
  static std::vector<std::string> Rows(const std::vector<platform::RouteRow>& routes) {
    std::vector<std::string> rows;
    for (const platform::RouteRow& r : routes)
      rows.push_back(Ipv4ToText(r.dest) + "/" + Ipv4ToText(r.mask) + " via " + Ipv4ToText(r.nextHop) +
                     " if " + std::to_string(r.ifIndex) + " own " + std::to_string(r.metric1) +
                     " proto " + std::to_string(r.proto));
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  // The interface the system would send a packet for `dest` through.
  std::uint32_t Via(const char* dest) {
    platform::RouteRow best;
    EXPECT_EQ(tables_.GetBestRoute(Ip(dest), 0, best), 0u) << dest;
    return best.ifIndex;
  }

  fakes::FakeNetTables tables_;
  nettest::RecordingLog log_;
  net::CRouteMgmt routes_{tables_, log_};
  net::TunnelRouteRequest request_;
  std::vector<platform::RouteRow> base_;
};

class TunnelRoutesTest : public ::testing::Test, public Rig {};

TEST_F(TunnelRoutesTest, FullTunnelSwapsTheDefaultRouteAndTheUndoRestoresTheTable) {
  ASSERT_EQ(Via("100.0.0.1"), kLan);
  const net::TunnelRouteOutcome outcome = routes_.InstallTunnelRoutes(request_);
  ASSERT_EQ(outcome.result, net::kTunnelRoutesDone);

  // Traffic goes through the tunnel although its interface metric is the larger; the
  // server and the back end stay on the physical path.
  EXPECT_EQ(Via("100.0.0.1"), kTap);
  EXPECT_EQ(Via("198.51.100.20"), kLan);
  EXPECT_EQ(Via("203.0.113.10"), kLan);
  EXPECT_EQ(log_.Starting("route swap"),
            std::vector<std::string>{"route swap if 11 via 192.168.0.1 tunnel if 12 via 10.8.0.5 metric 65 -> 0"});
  EXPECT_EQ(log_.lines.back(),
            "route tunnel \"0.0.0.0/0.0.0.0\" adapter \"TAP-Win32 Adapter V9\" if 12 address 10.8.0.6 -> 0");
  EXPECT_TRUE(outcome.settingsDue);
  EXPECT_EQ(outcome.adpi, "11");
  EXPECT_EQ(outcome.lgyPlain, "");

  // The undo keeps exactly what it needs: the DHCP default route as reported, and the
  // three routes the swap made (the server's pin was there already).
  ASSERT_EQ(outcome.undo.deleted.size(), 1u);
  EXPECT_EQ(outcome.undo.deleted[0].metric1, 25u);
  EXPECT_EQ(outcome.undo.added.size(), 3u);

  EXPECT_EQ(routes_.UndoTunnelRoutes(outcome.undo), 0);
  EXPECT_EQ(Rows(tables_.routes), Rows(base_));
  EXPECT_EQ(Via("100.0.0.1"), kLan);
  EXPECT_EQ(log_.lines.back(), "route undo -> 0");
}

TEST_F(TunnelRoutesTest, TheDefaultItemTwiceSwapsOnce) {
  request_.routeList = "0.0.0.0/0.0.0.0^10.0.0.0/255.0.0.0^0.0.0.0/0.0.0.0";
  const net::TunnelRouteOutcome outcome = routes_.InstallTunnelRoutes(request_);
  EXPECT_EQ(outcome.result, net::kTunnelRoutesDone);
  EXPECT_EQ(log_.Starting("route swap").size(), 1u);
  EXPECT_EQ(outcome.undo.deleted.size(), 1u);  // never the first swap's own route
  EXPECT_EQ(Via("100.0.0.1"), kTap);
  EXPECT_EQ(routes_.UndoTunnelRoutes(outcome.undo), 0);
  EXPECT_EQ(Rows(tables_.routes), Rows(base_));
}

TEST_F(TunnelRoutesTest, ListsWithoutTheDefaultItemOnlyClearTheOldRoutes) {
  for (const char* list : {"", "10.0.0.0/255.0.0.0", "0.0.0.0", "0.0.0.0/", "/0.0.0.0", "^^",
                           "0.0.0.0/255.255.255.255", "0.0.0.0^0.0.0.0"}) {
    SCOPED_TRACE(list);
    Rig rig;
    rig.request_.routeList = list;
    const net::TunnelRouteOutcome outcome = rig.routes_.InstallTunnelRoutes(rig.request_);
    EXPECT_EQ(outcome.result, net::kTunnelRoutesDone);
    EXPECT_TRUE(rig.tables_.created.empty());
    EXPECT_TRUE(outcome.undo.Empty());
    EXPECT_FALSE(outcome.settingsDue);
    EXPECT_EQ(Rows(rig.tables_.routes), Rows(rig.base_));  // other software's metric-80 route stays
  }
}

TEST_F(TunnelRoutesTest, ATunnelAdapterWithoutAnAddressChangesNothing) {
  for (const char* name : {"TAP-Win32 Adapter V9", "No Such Adapter", ""}) {
    SCOPED_TRACE(name);
    request_.tapAdapterName = name;
    if (std::string(name) == kTapName) tables_.addresses = {{Ip("192.168.0.5"), kLan}};
    const net::TunnelRouteOutcome outcome = routes_.InstallTunnelRoutes(request_);
    EXPECT_EQ(outcome.result, net::kTunnelRoutesNoAdapterAddress);
    EXPECT_TRUE(tables_.created.empty());
    EXPECT_TRUE(tables_.deleted.empty());
  }
}

TEST_F(TunnelRoutesTest, NoSwapWithoutAPhysicalPathApartFromTheTunnel) {
  struct Case {
    std::uint32_t ifIndex;
    const char* gateway;
  };
  for (const Case& c : {Case{0, "192.168.0.1"}, Case{kTap, "10.8.0.5"}, Case{kLan, ""}, Case{kLan, "router"}}) {
    SCOPED_TRACE(std::to_string(c.ifIndex) + " " + c.gateway);
    request_.localIfIndex = c.ifIndex;
    request_.localGateway = c.gateway;
    const net::TunnelRouteOutcome outcome = routes_.InstallTunnelRoutes(request_);
    EXPECT_EQ(outcome.result, net::kTunnelRoutesNoPhysicalPath);
    EXPECT_TRUE(tables_.created.empty());
    EXPECT_EQ(Via("100.0.0.1"), kLan);
    EXPECT_FALSE(outcome.settingsDue);
  }
}

// Every step of the swap that fails leaves the table as it was: never without a
// default route, never with the physical one alone ahead of a half-made tunnel.
TEST_F(TunnelRoutesTest, AFailedSwapIsUndoneAtOnce) {
  struct Case {
    const char* step;
    bool create;  // a create, else a delete
    int nth;      // counted from the start of InstallTunnelRoutes
    int result;
  };
  const Case cases[] = {
      {"server pin", true, 1, net::kTunnelRoutesSwapUndone},
      {"back-end pin (the back end then answers through the tunnel)", true, 2, net::kTunnelRoutesDone},
      {"physical default deleted", false, 3, net::kTunnelRoutesSwapUndone},
      {"physical default added", true, 3, net::kTunnelRoutesSwapUndone},
      {"tunnel default added", true, 4, net::kTunnelRoutesSwapUndone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    Rig fresh;
    if (c.create)
      fresh.tables_.FailCreate(c.nth, 5);
    else
      fresh.tables_.FailDelete(c.nth, 5);
    const net::TunnelRouteOutcome outcome = fresh.routes_.InstallTunnelRoutes(fresh.request_);
    EXPECT_EQ(outcome.result, c.result);
    if (c.result == net::kTunnelRoutesDone) {
      EXPECT_EQ(fresh.Via("100.0.0.1"), kTap);
      EXPECT_EQ(fresh.Via("203.0.113.10"), kTap);
      continue;
    }
    EXPECT_EQ(Rows(fresh.tables_.routes), Rows(fresh.base_));
    EXPECT_TRUE(outcome.undo.Empty());
    EXPECT_FALSE(outcome.settingsDue);
    EXPECT_NE(fresh.log_.Starting("route swap").back().find("-> failed"), std::string::npos);
  }
}

TEST_F(TunnelRoutesTest, AnUndoThatCannotRestoreKeepsADefaultRoute) {
  // The tunnel default is refused, and so is the DHCP default route's return.
  tables_.FailCreate(4, 87);
  tables_.FailCreate(5, 5);
  const net::TunnelRouteOutcome outcome = routes_.InstallTunnelRoutes(request_);
  EXPECT_EQ(outcome.result, net::kTunnelRoutesSwapBroken);
  EXPECT_EQ(Via("100.0.0.1"), kLan);  // the swap's physical default came back
  EXPECT_FALSE(outcome.undo.Empty());  // left for the teardown

  // The teardown tries again and succeeds.
  EXPECT_EQ(routes_.UndoTunnelRoutes(outcome.undo), 0);
  EXPECT_EQ(Rows(tables_.routes), Rows(base_));
}

TEST_F(TunnelRoutesTest, TeardownAfterTheAdapterTookItsRoutesWithIt) {
  const net::TunnelRouteOutcome outcome = routes_.InstallTunnelRoutes(request_);
  ASSERT_EQ(outcome.result, net::kTunnelRoutesDone);
  tables_.routes.erase(std::remove_if(tables_.routes.begin(), tables_.routes.end(),
                                      [](const platform::RouteRow& r) { return r.ifIndex == kTap; }),
                       tables_.routes.end());
  tables_.routes.push_back(Route("10.8.0.0", "255.255.255.0", "10.8.0.6", kTap, 256, 2));
  EXPECT_EQ(routes_.UndoTunnelRoutes(outcome.undo), 0);
  EXPECT_EQ(Rows(tables_.routes), Rows(base_));

  // Nothing swapped, nothing to undo.
  EXPECT_EQ(routes_.UndoTunnelRoutes(net::TunnelRouteUndo()), 0);
  EXPECT_EQ(Rows(tables_.routes), Rows(base_));
}

TEST_F(TunnelRoutesTest, APinMadeWhileTheInterfaceMetricWasDifferentIsStillTheClients) {
  ASSERT_EQ(routes_.InstallTunnelRoutes(request_).result, net::kTunnelRoutesDone);
  // The back end's pin was written as 80 + 25; the link then changes speed.
  tables_.interfaceMetrics[kLan] = 10;
  request_.routeList = "";
  routes_.InstallTunnelRoutes(request_);
  for (const platform::RouteRow& row : tables_.routes)
    EXPECT_NE(row.dest, Ip("203.0.113.10")) << "the old metric-80 pin is left behind";
  EXPECT_EQ(std::count_if(tables_.routes.begin(), tables_.routes.end(),
                          [](const platform::RouteRow& r) { return r.dest == Ip("10.20.0.0"); }),
            1);
}

}  // namespace
