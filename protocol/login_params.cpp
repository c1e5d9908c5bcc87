#include "protocol/login_params.h"

#include "text/cp949.h"

namespace protocol {

std::string LoginParams(const session::SessionRecord& r, const std::string& clientMac, const std::string& sysInfo) {
  return "client_code=" + r.clientCode + "|id=" + r.userId + "|password=" + r.password +
         "|ccver=" + std::to_string(r.clientVersion) + "|ip_code=" + r.ipCode + "|client_mac=" + clientMac +
         "|client_sysInfo=" + sysInfo + "|ping_check=" + std::to_string(r.pingCheck) +
         "|session_key=" + std::to_string(text::AtoI(r.sessionKey)) + "|vpn_type=" + std::to_string(r.vpnType) +
         "|auth_mode=" + r.authMode + "|vpn_conn_server_code=" + r.vpnConnServerCode;
}

}  // namespace protocol
