#include "protocol/account_info.h"

#include "protocol/payload_codec.h"
#include "protocol/reply_parser.h"
#include "protocol/texts.h"
#include "text/cp949.h"

namespace protocol {

int AccountInfo(ExchangeContext& ctx) {
  session::SessionRecord& r = ctx.record;

  // 1-2. Identifier only; no password travels with this request.
  const std::string params = "client_code=" + r.clientCode + "|user_id=" + r.userId;
  const std::string url = HttpUrl(r.webHost, "/ClientLogin/get_info.php?bin=") + EncodePayload(params);
  const std::string raw = ctx.web.SendQueryRequest(url);

  // 3. Decode and lower-case.
  const std::string reply = text::ToLowerAscii(DecodePayload(raw));

  // 4. No answer.
  if (reply.empty()) {
    ctx.mainWindow.MessageBox(kAccountInfoNoAnswer, kConnectErrorCaption, platform::kMbOk);
    return -1;
  }

  // 5. xxxdate replaces the service end, xxxtime adds minutes.
  r.accountInfoReply = reply;
  ParseAccountReply(r);
  return 1;
}

}  // namespace protocol
