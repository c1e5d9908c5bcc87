#include "app/session/login_session.h"

#include "app/texts.h"
#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"
#include "net/network_mgmt.h"
#include "net/route_mgmt.h"
#include "protocol/exchange_context.h"
#include "protocol/ip_pool.h"
#include "protocol/payload_codec.h"
#include "protocol/user_check.h"
#include "text/crt_random.h"
#include "text/field.h"

namespace app {

int ProtocolLoginExchanges::UserCheck() { return protocol::UserCheck(ctx_); }

int ProtocolLoginExchanges::FetchIpPool(platform::IWindow& owner) {
  return protocol::FetchIpPool(ctx_, owner);
}

std::string ServiceEndDateText(const std::string& serviceEndDate) {
  if (serviceEndDate == session::kNoEndDate) return std::string();
  const std::string date = text::ExtractField(serviceEndDate, 0, ' ');
  return text::ExtractField(date, 0, '-') + kYearSuffix + text::ExtractField(date, 1, '-') + kMonthSuffix +
         text::ExtractField(date, 2, '-') + kDaySuffix;
}

std::string DrawSessionKey(std::time_t seconds) {
  // srand((unsigned)time(NULL)); rand() % 1000000
  text::CrtRandom random(static_cast<std::uint32_t>(seconds));
  return std::to_string(random.Next() % 1000000);
}

void CLoginSession::SetAccountText(int id, const std::string& text) {
  p_.accountPanel.SetText(id, text);
  p_.accountPanel.Redraw(id);
}

void CLoginSession::PinBackEndRoutes() {
  net::CNetworkMgmt network(p_.netTables);
  net::CRouteMgmt routes(p_.netTables, p_.diagLog);
  MainWindowState& s = p_.state;
  std::string gateway;
  // The physical path: a best route through a dialled tunnel or the tunnel adapter
  // (a login while one is up) is not it.
  const int ifIndex = routes.FindPhysicalPath(gateway, p_.record.tapAdapterName);
  if (ifIndex <= 0) {
    // No physical default route now: forget the previous network's gateway, so no
    // route is pinned to it, now or by the routes that follow the login.
    s.localIfIndex = 0;
    s.localGateway.clear();
    s.localAddress.clear();
    return;
  }
  s.localIfIndex = static_cast<std::uint32_t>(ifIndex);
  s.localGateway = gateway;
  s.localAddress = network.GetInterfaceAddress(s.localIfIndex);
  routes.AddRoute(s.localIfIndex, s.localGateway, p_.record.serverIp, net::kHostMask, net::kMetricBackEnd);
  routes.AddRoute(s.localIfIndex, s.localGateway, p_.record.webHost, net::kHostMask, net::kMetricBackEnd);
}

int CLoginSession::LoginSession() {
  session::SessionRecord& r = p_.record;
  if (r.connState == session::kConnConnecting) return kLoginStopped;

  r.sessionKey = DrawSessionKey(p_.clock.Now());
  r.remainingMinutes = 0;
  r.serviceEndDate = session::kNoEndDate;

  p_.tunnel.StopOpenVpn();
  p_.tunnel.RemoveOpenVpnFiles();
  p_.state.elapsedSeconds = 0;

  // The account is saved at every login; the remember box only decides whether the
  // next start fills the fields from it.
  settings::CRegCtrl reg(p_.registry);
  const settings::SettingsKey key{r.settingsRoot, r.settingsKeyPath};
  settings::WriteSetting(reg, key, settings::Setting::kAccountId, protocol::EncodePayload(r.userId));
  settings::WriteSetting(reg, key, settings::Setting::kPassword, protocol::EncodePayload(r.password));

  p_.state.superviseTicks = 0;
  p_.progress.ResetProgress();
  p_.progressWindow.Show(platform::kSelf, true);
  p_.progressWindow.Redraw(platform::kSelf);

  if (p_.exchanges.UserCheck() < 0) {
    p_.progress.StopProgress();
    p_.progressWindow.Show(platform::kSelf, false);
    return kLoginStopped;
  }

  SetAccountText(IDC_ACCOUNT_USER, r.userId);
  SetAccountText(IDC_ACCOUNT_GAME, r.myGame);
  SetAccountText(IDC_ACCOUNT_END_DATE, ServiceEndDateText(r.serviceEndDate));
  SetAccountText(IDC_ACCOUNT_TIME, kZeroElapsed);
  SetAccountText(IDC_ACCOUNT_STATUS, kChooseIpPrompt);

  PinBackEndRoutes();

  switch (p_.update.ApplyUpdateAtLogin()) {
    case UpdateOutcome::kStarted:
      return kLoginStopped;
    case UpdateOutcome::kDownloadFailed:
      return kLoginUpdateFailed;
    case UpdateOutcome::kNoUpdate:
      break;
  }

  // For a tunnel start ("vpn") the progress dialog stays up for what follows.
  if (r.authMode == "user") {
    p_.progress.StopProgress();
    p_.progressWindow.Show(platform::kSelf, false);
  }
  p_.loginPanel.Show(platform::kSelf, false);
  p_.accountPanel.Show(platform::kSelf, true);
  return kLoginOk;
}

}  // namespace app
