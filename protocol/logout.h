// The logout notice: tells the back end that the session ends, and who ended it
// ("user" or "vpn"), then puts the account panel back to its idle look.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

inline constexpr const char* kLogoutByUser = "user";
inline constexpr const char* kLogoutByTunnel = "vpn";
inline constexpr const char* kChooseIpText = "사용하실 아이피를 선택후 더블클릭 해주세요";

std::string LogoutParams(const session::SessionRecord& r, const std::string& mode);

// The reply is not read; the panel is reset whether or not the notice arrived.
void SendLogout(ExchangeContext& ctx, const std::string& mode);

}  // namespace protocol
