// The logout notice: tells the back end that the session ends, and who ended it
// ("user" or "vpn"). The caller puts its panels back to their idle look.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

inline constexpr const char* kLogoutByUser = "user";
inline constexpr const char* kLogoutByTunnel = "vpn";

std::string LogoutParams(const session::SessionRecord& r, const std::string& mode);

// One request; the reply is not read, and a notice that does not arrive is lost.
void SendLogout(ExchangeContext& ctx, const std::string& mode);

}  // namespace protocol
