#include "protocol/ip_change.h"

#include "protocol/ip_pool.h"
#include "text/cp949.h"

namespace protocol {

std::string IpChangeParams(const session::SessionRecord& r, const std::string& ipCode) {
  return "client_code=" + r.clientCode + "|id=" + r.userId + "|password=" + r.password +
         "|ip_code=" + ipCode;
}

int RequestIpChange(ExchangeContext& ctx, const std::string& ipCode, std::string& assignedIp) {
  assignedIp.clear();
  // 1-2. Send; the decoded reply comes back without blanks.
  const std::string reply =
      SendFormAndDecode(ctx, "/ClientLogin/socket_change.php", IpChangeParams(ctx.record, ipCode));

  // 3. A server message wins over an address.
  if (text::Contains(reply, "server_error=")) {
    ShowIpServerError(ctx, ctx.mainWindow, reply);
    return -1;
  }

  // 4. The assigned address, for the caller to show at once.
  if (text::Contains(reply, "select_ip=")) {
    const std::string ip = ValueOfFieldContaining(reply, "select_ip=");
    if (ip.empty()) return 0;
    ctx.record.selectedIp = ip;
    assignedIp = ip;
    return -1;
  }

  // 5. Nothing to do.
  return 0;
}

}  // namespace protocol
