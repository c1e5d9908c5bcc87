#include "app/options/server_list.h"

#include "text/field.h"

namespace app {

std::vector<VpnServer> ParseServerList(std::string_view list) {
  std::vector<VpnServer> servers;
  text::FieldCursor entries(list, '^');
  for (std::string_view entry; entries.Next(entry);) {
    text::FieldCursor fields(entry, '/');
    std::string_view name, code;
    fields.Next(name);
    fields.Next(code);
    if (!code.empty()) servers.push_back({std::string(name), std::string(code)});
  }
  return servers;
}

}  // namespace app
