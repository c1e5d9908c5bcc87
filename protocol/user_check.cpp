#include "protocol/user_check.h"


#include "settings/reg_ctrl.h"
#include "net/network_mgmt.h"
#include "protocol/login_params.h"
#include "protocol/payload_codec.h"
#include "protocol/reply_parser.h"
#include "protocol/texts.h"
#include "protocol/web_pages.h"
#include "text/cp949.h"
#include "text/field.h"

namespace protocol {

namespace {


// Hardware address of the interface that carries the route to the probe address.
std::string DefaultInterfaceMac(platform::INetTables& tables) {
  net::CNetworkMgmt network(tables);
  std::string gateway;
  const int index = network.FindDefaultPath(gateway);
  return index < 0 ? std::string() : network.GetAdapterMac(static_cast<std::uint32_t>(index));
}

// A piece the browser may open: a web address and nothing else. The reply is not
// authenticated, so a piece that merely holds "http://" (an "ms-…:" or "file:" URI
// around it, a program path) is shown as text and never reaches the shell.
bool IsWebPage(const std::string& piece) {
  const std::string lower = text::ToLowerAscii(piece.substr(0, 8));
  return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

void Show(ExchangeContext& ctx, const std::string& message) {
  ctx.mainWindow.MessageBox(message, kConnectErrorCaption, platform::kMbOk);
}

// Server messages: retry count first, then each `^`-piece of the message list shown
// in turn, or opened as a page when it is a link.
void ShowServerMessages(ExchangeContext& ctx, const std::string& reply) {
  std::string messages;
  text::FieldCursor fields(reply, '|');
  for (std::string_view field; fields.Next(field);) {
    if (text::Contains(field, "login_retry_count=")) {
      const std::string value = text::ExtractField(field, 1, '=');
      if (!value.empty()) ctx.record.loginRetryCount = text::AtoI(value);
      continue;
    }
    if (text::Contains(field, "server_error=")) {
      messages = text::ExtractField(field, 1, '=');
      break;
    }
  }
  ctx.hooks.StopProgress();
  for (const std::string& piece : text::Split(messages, '^')) {
    if (IsWebPage(piece))
      ctx.shell.ShellExecute(ctx.mainWindow.Handle(), "open", piece, "", "", platform::kSwShowDefault);
    else
      Show(ctx, piece);
  }
}

}  // namespace

std::string UserCheckParams(const session::SessionRecord& r, const std::string& clientMac,
                            const std::string& sysInfo) {
  return LoginParams(r, clientMac, sysInfo) + "|ip_change_type=" + std::to_string(r.ipChangeType);
}

int UserCheck(ExchangeContext& ctx) {
  session::SessionRecord& r = ctx.record;

  // 1. The reply refills these lists.
  r.routeList.clear();
  r.gameList.clear();

  // 2. The preferred VPN server, as saved in the options.
  std::string serverCode;
  settings::CRegCtrl(ctx.registry).ReadValue(r.settingsRoot, r.settingsKeyPath, "VSvrCode", serverCode);
  r.vpnConnServerCode = serverCode;

  // 3. This computer's description.
  const std::string mac = DefaultInterfaceMac(ctx.netTables);
  const std::string sysInfo = SystemReportOf(ctx);

  // 4. Request URL (the test script when the login dialog asks for it).
  const char* script = ctx.hooks.TestCertificateChecked() ? "/ClientLogin/user_check_v0.php?bin="
                                                          : "/ClientLogin/user_check_v1.php?bin=";
  const std::string url = HttpUrl(r.webHost, script) + EncodePayload(UserCheckParams(r, mac, sysInfo));

  // 5. Send, decode, drop line breaks.
  const std::string reply = text::ReplaceAll(DecodePayload(ctx.web.SendQueryRequest(url)), "\r\n", "");

  // 6-10. The markers, in this order.
  if (reply.empty()) {
    Show(ctx, kUserCheckNoAnswerText);
    return kUserCheckFailed;
  }
  if (text::Contains(reply, "login_auth=no")) {
    Show(ctx, kUserCheckRefusedText);
    return kUserCheckRefused;
  }
  if (text::Contains(reply, "login_auth=stop")) {
    Show(ctx, kUserCheckSuspendedText);
    return kUserCheckSuspended;
  }
  if (text::Contains(reply, "server_error=")) {
    ShowServerMessages(ctx, reply);
    return kUserCheckFailed;
  }
  if (text::Contains(reply, "xxxtime=|") && text::Contains(reply, "xxxdate=|")) {
    // No time and no end date left: the help pages tell how to extend the service.
    ctx.shell.ShellExecute(ctx.mainWindow.Handle(), "open", kHelpPageUrl, "", "", platform::kSwShowDefault);
    return kUserCheckFailed;
  }

  // A text that holds no field of an account (an error or portal page answered with
  // status 200, bytes that never came from the codec) is no answer: taken as a success
  // it logged in with an empty account.
  if (!HoldsSessionField(reply)) {
    Show(ctx, kUserCheckNoAnswerText);
    return kUserCheckFailed;
  }

  // 11. Success: keep and parse the reply, then prepare the tunnel kind.
  r.userCheckReply = reply;
  r.replyHasZeroIp = text::Contains(reply, "0.0.0.0") ? 1 : 0;
  ParseSessionReply(r, [&ctx](const LocalDateTime& t) {
    platform::SystemTime st;
    st.year = static_cast<std::uint16_t>(t.year);
    st.month = static_cast<std::uint16_t>(t.month);
    st.day = static_cast<std::uint16_t>(t.day);
    st.hour = static_cast<std::uint16_t>(t.hour);
    st.minute = static_cast<std::uint16_t>(t.minute);
    st.second = static_cast<std::uint16_t>(t.second);
    ctx.clock.SetLocalTime(st);  // refused without the privilege: ignored
  });
  if (r.vpnType == session::kVpnPptp || r.vpnType == session::kVpnL2tp)
    ctx.hooks.WritePhonebook(r.vpnType, r.replyHasZeroIp);
  else if (r.vpnType == session::kVpnOpenVpn && r.authMode == "vpn")
    ctx.hooks.CheckTapAdapter();
  return kUserCheckOk;
}

}  // namespace protocol
