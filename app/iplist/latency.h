// The latency column of the available IPs: which pool rows are measured with an ICMP
// echo, and what each row shows for its answer. The measuring itself runs behind
// platform::IEchoProbe, off the window's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/echo.h"

namespace app {

// One measurement per pool fill: at most this many distinct addresses, each given this
// long to answer. The rows of addresses past the limit show nothing.
inline constexpr std::size_t kMaxEchoAddresses = 64;
inline constexpr std::uint32_t kEchoTimeoutMs = 1000;

// The address a row's text names, when it is one to measure: exactly the dotted form
// of a unicast IPv4 address ("a.b.c.d", decimal octets without leading zeros; not
// 0.x.x.x, multicast, reserved or broadcast). A forged pool value (a host name, an
// octal-looking octet, trailing text) is not measured at all. 0 when not.
std::uint32_t EchoAddressOf(std::string_view rowText);

// The addresses to measure for the rows' addresses (0: not measured): each distinct
// one once, in row order, at most kMaxEchoAddresses.
std::vector<std::uint32_t> EchoAddresses(const std::vector<std::uint32_t>& rowAddresses);

// The column's text: "23 ms", "<1 ms" for a reply within the first millisecond, and a
// dash for no answer.
std::string LatencyText(const platform::EchoResult& result);

}  // namespace app
