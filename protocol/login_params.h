// The parameters the user check and the IP pool request share, in their order:
// client_code, id, password, ccver, ip_code, client_mac, client_sysInfo, ping_check,
// session_key, vpn_type, auth_mode, vpn_conn_server_code. Values go in unescaped (the
// typed identifier and password are checked before they reach the record).
#pragma once

#include <string>

#include "session/session_record.h"

namespace protocol {

std::string LoginParams(const session::SessionRecord& r, const std::string& clientMac, const std::string& sysInfo);

}  // namespace protocol
