// The account information exchange: refreshes the service end and adds the extra
// service minutes during a session.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

// 1 when a reply arrived and was parsed; -1 (after a message) when none came.
int AccountInfo(ExchangeContext& ctx);

}  // namespace protocol
