// The IP pool exchange: the exit IPs (code ^ address, joined by `|`) the account may
// choose from in the selected pool class.
#pragma once

#include "protocol/exchange_context.h"
#include "protocol/texts.h"

namespace protocol {


std::string IpPoolParams(const session::SessionRecord& r);

// Stores the list in `ipPoolList`. A server message is shown in a box owned by
// `owner` (the calling window) and empties the list. 0, or -1 after a message.
int FetchIpPool(ExchangeContext& ctx, platform::IWindow& owner);

// Shared with the IP change: shows the message of the first "server_error=" field
// and empties `ipPoolList`.
void ShowIpServerError(ExchangeContext& ctx, platform::IWindow& owner, const std::string& reply);

}  // namespace protocol
