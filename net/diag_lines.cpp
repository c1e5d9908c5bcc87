#include "net/diag_lines.h"

#include <cstdio>

#include "net/ipv4_text.h"

namespace net::diag {

std::string Value(std::string_view text) { return text.empty() ? std::string("-") : std::string(text); }

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) out += (c == '"') ? '\'' : c;
  out += '"';
  return out;
}

std::string Hresult(long hr) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(hr)));
  return buffer;
}

std::string RouteText(const platform::RouteRow& row) {
  return Ipv4ToText(row.dest) + "/" + Ipv4ToText(row.mask) + " via " + Ipv4ToText(row.nextHop) +
         " if " + std::to_string(row.ifIndex) + " metric " + std::to_string(row.metric1);
}

}  // namespace net::diag
