#include "protocol/ip_pool.h"

#include "protocol/login_params.h"
#include "text/cp949.h"

namespace protocol {

std::string IpPoolParams(const session::SessionRecord& r) {
  // client_mac and client_sysInfo travel empty with this request.
  return LoginParams(r, "", "") + "|class_code=" + r.classCode;
}

void ShowIpServerError(ExchangeContext& ctx, platform::IWindow& owner, const std::string& reply) {
  const std::string message = ValueOfFieldContaining(reply, "server_error=");
  ctx.record.ipPoolList.clear();
  owner.MessageBox(message, kIpInfoCaption, platform::kMbOk);
}

int FetchIpPool(ExchangeContext& ctx, platform::IWindow& owner) {
  // 1-2. Send; the decoded reply comes back without blanks.
  const std::string reply = SendFormAndDecode(ctx, "/Info/ip_pool_list.php", IpPoolParams(ctx.record));

  // 3. A server message.
  if (text::Contains(reply, "server_error=")) {
    ShowIpServerError(ctx, owner, reply);
    return -1;
  }

  // 4. The list less its final separator (no reply leaves the list empty).
  ctx.record.ipPoolList = text::WithoutLastChar(reply);
  return 0;
}

}  // namespace protocol
