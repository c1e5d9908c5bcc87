#include "protocol/event_report.h"

#include "settings/file_mgmt.h"
#include "protocol/payload_codec.h"

namespace protocol {

std::string EventText(int clientVersion, const std::string& reason, const std::string& sysInfo,
                      const std::string& log) {
  return "<<<<<<  Version =  " + std::to_string(clientVersion) + "  " + reason + " >>>>>>\r\n" + sysInfo +
         "\r\n" + log;
}

std::string EventParams(const session::SessionRecord& r, const std::string& eventText) {
  // The event text holds CR LF, `|` and `=` as they are; the codec carries every byte.
  return "client_code=" + r.clientCode + "|client_id=" + r.userLongId + "|event=" + eventText;
}

void SendEventReport(ExchangeContext& ctx, const std::string& reason) {
  const session::SessionRecord& r = ctx.record;

  // 1. The whole log, each line ending in CR LF; nothing when there is no log.
  std::string log;
  settings::CFileMgmt(ctx.files).ReadAll(r.programDir + "/" + r.openVpnLogName, log);

  // 2. This computer's description.
  const std::string sysInfo = SystemReportOf(ctx);

  // 3. Send; the reply is ignored.
  const std::string params = EventParams(r, EventText(r.clientVersion, reason, sysInfo, log));
  ctx.web.SendFormRequest(HttpUrl(r.webHost, "/ClientLogin/client_event_v1.php"), "bin=" + EncodePayload(params));
}

}  // namespace protocol
