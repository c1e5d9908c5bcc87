// The echo probe on real threads and Wine's ICMP echo, with the test-only IP Helper
// beside the program silencing 127.0.0.99 (Linux answers the rest of 127/8): answers
// and silence, a new request dropping what the one before had left, and the stop
// coming back within its bound while an echo waits for its 1-s time-out.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "net/ipv4_text.h"
#include "platform/win32/win32_echo_probe.h"
#include "win_temp.h"

namespace {

constexpr std::uint32_t kTimeoutMs = 1000;

std::uint32_t Ip(const char* text) { return net::Ipv4FromText(text); }

struct Received {
  std::uint32_t generation;
  platform::EchoResult result;
};

class EchoProbeTest : public ::testing::Test {
 protected:
  EchoProbeTest() {
    std::ofstream file(script_, std::ios::binary);
    file << "no-echo 127.0.0.99\r\n";
    file.close();
    EXPECT_TRUE(file) << script_;
    ::SetEnvironmentVariableA("TUNRA_ADAPTERS_SCRIPT", script_.c_str());
  }
  ~EchoProbeTest() override { ::SetEnvironmentVariableA("TUNRA_ADAPTERS_SCRIPT", nullptr); }

  void Measure(std::uint32_t generation, const std::vector<std::uint32_t>& addresses) {
    probe.Measure(generation, addresses, kTimeoutMs,
                  [this](std::uint32_t g, const platform::EchoResult& r) { received.push_back({g, r}); });
  }
  // Delivers what has come (no window: the results wait for the call) until `count`
  // results are in or `limitMs` has passed.
  void DeliverUntil(std::size_t count, DWORD limitMs) {
    const DWORD start = ::GetTickCount();
    while (received.size() < count && ::GetTickCount() - start < limitMs) {
      ::Sleep(20);
      probe.DeliverResults();
    }
  }

  wintest::TempFolder temp_;
  std::string script_ = temp_.path() + "\\iphlpapi-script.txt";
  platform::win32::Win32EchoProbe probe{WM_APP};
  std::vector<Received> received;
};

TEST_F(EchoProbeTest, LoopbackAnswersAndTheSilencedAddressTimesOut) {
  const DWORD start = ::GetTickCount();
  Measure(7, {Ip("127.0.0.1"), Ip("127.0.0.99"), Ip("127.0.0.2")});
  DeliverUntil(3, 5000);
  const DWORD elapsed = ::GetTickCount() - start;
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].generation, 7u);
  EXPECT_EQ(received[0].result.address, Ip("127.0.0.1"));
  EXPECT_TRUE(received[0].result.answered);
  EXPECT_LT(received[0].result.roundTripMs, kTimeoutMs);
  EXPECT_EQ(received[1].result.address, Ip("127.0.0.99"));
  EXPECT_FALSE(received[1].result.answered);
  EXPECT_TRUE(received[2].result.answered);
  EXPECT_GE(elapsed, 900u);  // the silence was waited for, once
  EXPECT_LT(elapsed, 3000u);
}

TEST_F(EchoProbeTest, ANewRequestDropsWhatTheOneBeforeHadLeft) {
  Measure(1, {Ip("127.0.0.99"), Ip("127.0.0.1"), Ip("127.0.0.2")});
  ::Sleep(100);  // the echo to 127.0.0.99 is waiting (on a slow machine: about to)
  Measure(2, {Ip("127.0.0.3")});
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 5000 && (received.empty() || received.back().generation != 2)) {
    ::Sleep(20);
    probe.DeliverResults();
  }
  ::Sleep(300);
  probe.DeliverResults();
  // An echo of request 1 already in flight comes back with its own generation; the
  // rest of request 1 is never sent.
  ASSERT_FALSE(received.empty());
  if (received.size() == 2) {
    EXPECT_EQ(received[0].generation, 1u);
    EXPECT_EQ(received[0].result.address, Ip("127.0.0.99"));
  }
  ASSERT_LE(received.size(), 2u);
  EXPECT_EQ(received.back().generation, 2u);
  EXPECT_EQ(received.back().result.address, Ip("127.0.0.3"));
  EXPECT_TRUE(received.back().result.answered);
}

TEST_F(EchoProbeTest, StopComesBackWithinItsBoundDuringAnEcho) {
  Measure(1, {Ip("127.0.0.99"), Ip("127.0.0.1")});
  ::Sleep(100);
  const DWORD start = ::GetTickCount();
  probe.Stop();
  EXPECT_LT(::GetTickCount() - start, platform::win32::kStopWaitMs + 150);
  // Nothing is delivered or measured after the stop, even once the echo has ended.
  ::Sleep(1200);
  probe.DeliverResults();
  Measure(2, {Ip("127.0.0.1")});
  ::Sleep(200);
  probe.DeliverResults();
  EXPECT_TRUE(received.empty());
}

}  // namespace
