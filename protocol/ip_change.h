// The IP change exchange: asks the back end for the exit IP of the chosen code and
// shows the address it assigns in the account panel.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

std::string IpChangeParams(const session::SessionRecord& r, const std::string& ipCode);

// -1 after a server message or an assigned address, 0 when the reply held neither.
int RequestIpChange(ExchangeContext& ctx, const std::string& ipCode);

}  // namespace protocol
