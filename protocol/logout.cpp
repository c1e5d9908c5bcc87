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

  // 3. The account panel's idle look.
  ctx.accountPanel.SetText(kAccountElapsedText, "0:00:00");
  ctx.accountPanel.SetText(kAccountIpText, kChooseIpText);
  ctx.accountPanel.Redraw(kAccountElapsedText);
  ctx.accountPanel.Redraw(kAccountIpText);
  ctx.accountPanel.Show(kAccountConnectButton, false);
}

}  // namespace protocol
