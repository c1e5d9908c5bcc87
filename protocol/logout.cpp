#include "protocol/logout.h"

#include "protocol/payload_codec.h"

namespace protocol {

std::string LogoutParams(const session::SessionRecord& r, const std::string& mode) {
  // The identifier as typed at login (not the back end's long id); no password.
  return "ccver=" + std::to_string(r.clientVersion) + "|longid=" + r.userId + "|cccode=" + r.clientCode +
         "|auth_mode=" + mode;
}

void SendLogout(ExchangeContext& ctx, const std::string& mode) {
  // 1-2. Send; the reply means nothing to the client.
  ctx.web.SendFormRequest(HttpUrl(ctx.record.webHost, "/ClientLogin/client_logout.php"),
                          "bin=" + EncodePayload(LogoutParams(ctx.record, mode)));
}

}  // namespace protocol
