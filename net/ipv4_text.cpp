#include "net/ipv4_text.h"

namespace net {

std::string Ipv4ToText(std::uint32_t address) {
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (i) out += '.';
    out += std::to_string((address >> (8 * i)) & 0xFF);
  }
  return out;
}

std::uint32_t Ipv4FromText(std::string_view text) {
  std::uint32_t value = 0;
  std::size_t pos = 0;
  for (int octet = 0; octet < 4; ++octet) {
    if (octet) {
      if (pos >= text.size() || text[pos] != '.') return kInaddrNone;
      ++pos;
    }
    const std::size_t start = pos;
    unsigned part = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3)
      part = part * 10 + static_cast<unsigned>(text[pos++] - '0');
    if (pos == start || part > 255) return kInaddrNone;
    value |= static_cast<std::uint32_t>(part) << (8 * octet);
  }
  return pos == text.size() ? value : kInaddrNone;
}

}  // namespace net
