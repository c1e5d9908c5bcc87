// The VPN servers the back end offers at login (`vpn_server_list`): entries
// "name/code" separated by "^", usually with a trailing "^".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// One record of the server combo box (CVpnConnServerList).
struct VpnServer {
  std::string name;  // shown in the combo box
  std::string code;  // stored in VSvrCode, sent as vpn_conn_server_code
};

// The servers of `list` in order. An entry is split at "/" into name (field 0) and
// code (field 1); entries without a code are not offered, so the empty piece after a
// trailing "^" (or an empty list) gives nothing. A list without the trailing "^"
// keeps its last entry whole.
std::vector<VpnServer> ParseServerList(std::string_view list);

}  // namespace app
