// Dotted IPv4 text and the 32-bit network-order values the IP Helper rows hold (the
// first octet is the lowest byte), as inet_ntoa and inet_addr convert them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace net {

constexpr std::uint32_t kInaddrNone = 0xFFFFFFFFu;

// "a.b.c.d" of a network-order address (inet_ntoa).
std::string Ipv4ToText(std::uint32_t address);

// The network-order value of a dotted-quad text of four decimal octets (0-255);
// kInaddrNone when the text is not one (as inet_addr answers for such a text).
std::uint32_t Ipv4FromText(std::string_view text);

}  // namespace net
