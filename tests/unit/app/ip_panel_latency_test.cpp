// The latency column of the available IPs: which pool rows are measured, the texts
// shown, and results that belong to a pool no longer shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/iplist/latency.h"
#include "fakes/fake_echo_probe.h"
#include "net/ipv4_text.h"
#include "unit/app/ip_panel_fakes.h"

namespace {

using Cells = std::vector<std::vector<std::string>>;
using iptest::IpPanelRig;

constexpr const char* kDash = "\xA1\xAA";  // U+2015 in code page 949

std::uint32_t Ip(const char* text) { return net::Ipv4FromText(text); }

TEST(EchoAddressTest, OnlyTheExactDottedFormOfAUnicastAddress) {
  struct Case {
    const char* text;
    const char* measured;  // nullptr: not measured
  };
  const Case cases[] = {
      {"127.0.0.1", "127.0.0.1"},
      {"1.2.3.4", "1.2.3.4"},
      {"223.255.255.255", "223.255.255.255"},
      // inet_addr would read a leading zero as octal: 010 is 8 there, 10 here.
      {"010.0.0.1", nullptr},
      {"1.2.3", nullptr},
      {"1.2.3.4.5", nullptr},
      {"1.2.3.4 ", nullptr},
      {" 1.2.3.4", nullptr},
      {"+1.2.3.4", nullptr},
      {"1.2.3.4;calc", nullptr},
      {"256.1.1.1", nullptr},
      {"1.2.3.1000", nullptr},
      {"vpn.example", nullptr},
      {"\xA3\xB1.2.3.4", nullptr},  // a full-width digit
      {"", nullptr},
      // Not one server: this network, multicast, reserved, broadcast.
      {"0.0.0.0", nullptr},
      {"0.1.2.3", nullptr},
      {"224.0.0.1", nullptr},
      {"239.255.255.250", nullptr},
      {"240.0.0.1", nullptr},
      {"255.255.255.255", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(app::EchoAddressOf(c.text), c.measured != nullptr ? Ip(c.measured) : 0u);
  }
}

TEST(EchoAddressTest, EachAddressOnceInRowOrderUpToTheLimit) {
  EXPECT_EQ(app::EchoAddresses({Ip("10.0.0.2"), 0, Ip("10.0.0.1"), Ip("10.0.0.2"), 0, Ip("10.0.0.1")}),
            (std::vector<std::uint32_t>{Ip("10.0.0.2"), Ip("10.0.0.1")}));
  EXPECT_TRUE(app::EchoAddresses({0, 0}).empty());

  // 70 distinct addresses, each twice: the first 64 are measured.
  std::vector<std::uint32_t> rows;
  for (std::uint32_t i = 1; i <= 70; ++i) rows.insert(rows.end(), 2, net::Ipv4FromText("10.0.0." + std::to_string(i)));
  const std::vector<std::uint32_t> measured = app::EchoAddresses(rows);
  ASSERT_EQ(measured.size(), app::kMaxEchoAddresses);
  EXPECT_EQ(measured.front(), Ip("10.0.0.1"));
  EXPECT_EQ(measured.back(), Ip("10.0.0.64"));
}

TEST(LatencyTextTest, Texts) {
  struct Case {
    bool answered;
    std::uint32_t ms;
    const char* text;
  };
  const Case cases[] = {
      {true, 0, "<1 ms"}, {true, 1, "1 ms"},         {true, 23, "23 ms"},
      {true, 999, "999 ms"}, {true, 1000, "1000 ms"}, {false, 0, kDash},
      {false, 23, kDash},  // a round trip without an answer is not shown
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::LatencyText({Ip("1.2.3.4"), c.answered, c.ms}), c.text) << c.answered << " " << c.ms;
}

template <class Panel>
class LatencyRig : public ::testing::Test, public IpPanelRig<Panel> {
 protected:
  LatencyRig() { this->panel.SetEchoProbe(&echo); }
  Cells AvailableCells() { return this->window.control(IDC_IP_AVAILABLE).rows; }
  fakes::FakeEchoProbe echo;
};
using PoolLatencyTest = LatencyRig<app::CIpMgmtTab5Dlg>;
using ClassLatencyTest = LatencyRig<app::DynamicIpTabDlg>;

TEST_F(PoolLatencyTest, EveryRowOfAnAddressShowsItsResultAndTheIpTextStays) {
  record.ipPoolList = "c1^127.0.0.1|c2^127.0.0.2|c3^127.0.0.1|c4^vpn.example|c5^010.0.0.1|c6^127.0.0.3";
  echo.roundTrips = {{Ip("127.0.0.1"), 0}, {Ip("127.0.0.3"), 23}};
  panel.LoadList();

  ASSERT_EQ(echo.requests.size(), 1u);
  EXPECT_EQ(echo.requests[0].addresses, (std::vector<std::uint32_t>{Ip("127.0.0.1"), Ip("127.0.0.2"), Ip("127.0.0.3")}));
  EXPECT_EQ(echo.requests[0].timeoutMs, 1000u);
  EXPECT_EQ(AvailableCells(), (Cells{{"127.0.0.1", "<1 ms"},
                                     {"127.0.0.2", kDash},
                                     {"127.0.0.1", "<1 ms"},
                                     {"vpn.example"},
                                     {"010.0.0.1"},
                                     {"127.0.0.3", "23 ms"}}));

  // The row's IP is what a favourite stores and what a choice looks up.
  Select(IDC_IP_AVAILABLE, {2});
  panel.AddFavourites();
  EXPECT_EQ(StoredFavourites(), "127.0.0.1");
  panel.OnDoubleClick(IDC_IP_AVAILABLE);
  EXPECT_EQ(record.ipCode, "c3");
}

TEST_F(ClassLatencyTest, ResultsOfAnEarlierPoolAreDropped) {
  host.pools = {{"KR", "k1^127.0.0.1|k2^127.0.0.2"}, {"JP", "j1^127.0.0.2|j2^127.0.0.9"}};
  record.ipPoolClass = "KR^JP^";
  echo.immediate = false;
  echo.roundTrips = {{Ip("127.0.0.1"), 3}, {Ip("127.0.0.2"), 5}, {Ip("127.0.0.9"), 9}};
  panel.LoadList();
  Select(IDC_CLASS_LIST, {0});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  Select(IDC_CLASS_LIST, {1});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  ASSERT_EQ(echo.requests.size(), 2u);
  EXPECT_NE(echo.requests[0].generation, echo.requests[1].generation);

  // KR's results come late, after JP is shown: 127.0.0.2 is on JP's first row too.
  echo.Deliver(0);
  EXPECT_EQ(AvailableCells(), (Cells{{"127.0.0.2"}, {"127.0.0.9"}}));
  echo.Deliver(1);
  EXPECT_EQ(AvailableCells(), (Cells{{"127.0.0.2", "5 ms"}, {"127.0.0.9", "9 ms"}}));

  // A class whose fetch fails shows the empty pool: nothing to measure, and the probe
  // is told so, so it stops measuring JP.
  Select(IDC_CLASS_LIST, {0});
  host.pools.erase("KR");
  panel.OnDoubleClick(IDC_CLASS_LIST);
  ASSERT_EQ(echo.requests.size(), 3u);
  EXPECT_TRUE(echo.requests[2].addresses.empty());
  echo.Deliver(1);
  EXPECT_EQ(AvailableCells(), (Cells{{""}}));
}

TEST_F(PoolLatencyTest, WithoutAProbeTheColumnStaysEmpty) {
  panel.SetEchoProbe(nullptr);
  record.ipPoolList = "c1^127.0.0.1";
  panel.LoadList();
  EXPECT_EQ(AvailableCells(), (Cells{{"127.0.0.1"}}));
}

}  // namespace
