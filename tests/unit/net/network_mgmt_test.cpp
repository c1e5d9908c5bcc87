#include "net/network_mgmt.h"

#include <gtest/gtest.h>

#include "fakes/fake_net_tables.h"
#include "net/ipv4_text.h"

namespace {

using net::Ipv4FromText;
using net::Ipv4ToText;

std::uint32_t Ip(const char* text) { return Ipv4FromText(text); }

TEST(Ipv4Text, NetworkOrderAndInvalidTexts) {
  EXPECT_EQ(Ipv4FromText("100.0.0.1"), 0x01000064u);  // first octet in the lowest byte
  EXPECT_EQ(Ipv4ToText(0x01000064u), "100.0.0.1");
  EXPECT_EQ(Ipv4ToText(0), "0.0.0.0");
  EXPECT_EQ(Ipv4ToText(Ip("192.168.0.254")), "192.168.0.254");
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "a.b.c.d", "1..2.3", " 1.2.3.4", "1.2.3.0004"})
    EXPECT_EQ(Ipv4FromText(bad), net::kInaddrNone) << bad;
}

class NetworkMgmtTest : public ::testing::Test {
 protected:
  fakes::FakeNetTables tables_;
  net::CNetworkMgmt mgmt_{tables_};
};

TEST_F(NetworkMgmtTest, DefaultPathIsTheBestRouteToTheProbe) {
  tables_.bestRoute.ifIndex = 11;
  tables_.bestRoute.nextHop = Ip("192.168.0.1");
  std::string gateway = "old";
  EXPECT_EQ(mgmt_.FindDefaultPath(gateway), 11);
  EXPECT_EQ(gateway, "192.168.0.1");
  ASSERT_EQ(tables_.bestRouteQueries.size(), 1u);
  EXPECT_EQ(tables_.bestRouteQueries[0], Ip("100.0.0.1"));

  tables_.bestRouteResult = 1232;  // ERROR_HOST_UNREACHABLE: no route
  gateway = "kept";
  EXPECT_EQ(mgmt_.FindDefaultPath(gateway), -1);
  EXPECT_EQ(gateway, "kept");
}

TEST_F(NetworkMgmtTest, InterfaceAddressIsTheFirstRowOfThatIndex) {
  tables_.addresses = {{Ip("127.0.0.1"), 1}, {Ip("10.8.0.6"), 7}, {Ip("10.8.0.9"), 7}};
  EXPECT_EQ(mgmt_.GetInterfaceAddress(7), "10.8.0.6");
  EXPECT_EQ(mgmt_.GetInterfaceAddress(3), "");
  tables_.addrTableResult = 122;
  EXPECT_EQ(mgmt_.GetInterfaceAddress(7), "");
}

TEST_F(NetworkMgmtTest, AdapterMacIsUpperCaseHexWithoutSeparators) {
  platform::AdapterInfo lan, tap, bare;
  lan.index = 11;
  lan.address = std::string("\x00\x1a\x2b\xc3\xd4\xff", 6);
  tap.index = 12;
  tap.address = std::string("\x0a\x0b\x0c\x0d\x0e\x0f", 6);
  bare.index = 13;  // no hardware address at all
  tables_.adapters = {lan, tap, bare};
  struct Row { std::uint32_t index; const char* mac; };
  for (const Row& r : {Row{11, "001A2BC3D4FF"}, Row{12, "0A0B0C0D0E0F"}, Row{13, ""}, Row{99, ""}})
    EXPECT_EQ(mgmt_.GetAdapterMac(r.index), r.mac) << r.index;
  tables_.adaptersResult = 111;  // the list cannot be read
  EXPECT_EQ(mgmt_.GetAdapterMac(11), "");
}

TEST_F(NetworkMgmtTest, LoginHostResolvesToItsFirstAddress) {
  tables_.hosts[TUNRA_LOGIN_HOST] = {Ip("203.0.113.7"), Ip("203.0.113.8")};
  EXPECT_EQ(mgmt_.ResolveLoginHost(), "203.0.113.7");
  EXPECT_EQ(tables_.lookedUp.back(), TUNRA_LOGIN_HOST);

  tables_.hosts[TUNRA_LOGIN_HOST] = {};  // an answer without addresses
  EXPECT_EQ(mgmt_.ResolveLoginHost(), "");
  tables_.hosts.clear();  // the name does not resolve
  EXPECT_EQ(mgmt_.ResolveLoginHost(), "");
  tables_.hosts[TUNRA_LOGIN_HOST] = {Ip("203.0.113.7")};
  tables_.resolverStarts = false;  // Winsock does not start
  EXPECT_EQ(mgmt_.ResolveLoginHost(), "");
}

}  // namespace
