// The user check: the login exchange. Sends the account, the client's identity and
// connection preferences; the reply is a refusal, the back end's messages, or the
// account's whole service description, which fills the session record.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

inline constexpr int kUserCheckOk = 1;
inline constexpr int kUserCheckFailed = -1;     // no answer, server messages, no time left
inline constexpr int kUserCheckRefused = -2;    // wrong identifier or password
inline constexpr int kUserCheckSuspended = -3;  // the account's service is suspended

// The parameter text of the request (in the order the back end reads it).
std::string UserCheckParams(const session::SessionRecord& r, const std::string& clientMac,
                            const std::string& sysInfo);

int UserCheck(ExchangeContext& ctx);

}  // namespace protocol
