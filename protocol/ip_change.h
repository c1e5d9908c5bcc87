// The IP change exchange: asks the back end for the exit IP of the chosen code; the
// caller shows the address it assigns.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

std::string IpChangeParams(const session::SessionRecord& r, const std::string& ipCode);

// -1 after a server message (shown) or an assigned address, 0 when the reply held
// neither. An assigned address is stored in `selectedIp` and returned in
// `assignedIp` (empty otherwise), for the caller's status line.
int RequestIpChange(ExchangeContext& ctx, const std::string& ipCode, std::string& assignedIp);

}  // namespace protocol
