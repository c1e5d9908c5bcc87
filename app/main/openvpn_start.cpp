// The OpenVPN tunnel in the main window: the start's OpenVPN branch with its
// certificate, the program's launch, and the supervision of its log once a second.
#include <cstdio>
#include <utility>

#include "app/main/tunra_dlg.h"
#include "app/session/login_session.h"
#include "app/texts.h"
#include "net/ipv4_text.h"
#include "net/route_mgmt.h"
#include "protocol/event_report.h"
#include "protocol/logout.h"
#include "protocol/payload_codec.h"
#include "settings/settings_table.h"
#include "tunnel/openvpn_files.h"

namespace app {

namespace {

// An address the tunnel adapter holds once the server assigned one: dotted, not
// 0.0.0.0 (the adapter before the assignment).
bool IsAssignedAddress(const std::string& address) {
  return address != "0.0.0.0" && net::Ipv4FromText(address) != net::kInaddrNone;
}

}  // namespace

int CTunraDlg::StartOpenVpnTunnel() {
  ITunnelServices& tunnel = peers_.tunnel;
  // A step that fails before the program runs leaves no tunnel: the state goes back to
  // idle, or "connecting" would refuse every later start and the options for good.
  auto failBeforeLaunch = [&] {
    tunnel.RemoveOpenVpnFiles();
    record_.connState = session::kConnIdle;
    return -1;
  };
  // 3.1. Bindings the tunnel adapter must not carry.
  tunnel.UnbindAdapterServices();
  // 3.2. The certificate the configuration names.
  if (PrepareCertificate() < 0) return failBeforeLaunch();
  // 3.3-3.4. The configuration and the credentials.
  if (tunnel.WriteOpenVpnConfig() < 0 || tunnel.WriteCredentials() < 0) return failBeforeLaunch();
  // 3.5. The adapter's hardware address from the session.
  tunnel.ApplyAdapterMac();
  // 3.6. The program.
  if (StartOpenVpn() < 0) {
    tunnel.RemoveOpenVpnFiles();
    return -1;
  }
  return 1;
}

int CTunraDlg::PrepareCertificate() {
  // A name the back end sent becomes a file in the program's folder only when it is a
  // plain file name; otherwise the configuration writer refuses it with its message.
  if (!tunnel::COpenVpnFiles::IsSafeFileName(record_.certFileName)) return 1;
  const std::string path = record_.programDir + "/" + record_.certFileName;
  const int installed = update_mgmt_.ReadCertVersion(record_.programDir, record_.certVersionFileName);
  if (record_.certVersion <= installed && platform_.files.Exists(path)) return 1;

  // The download replaces the file only once the whole certificate arrived, and the
  // version is written only then: a failed download is tried again next time.
  if (DownloadCertificate() >= 0) {
    update_mgmt_.WriteCertVersion(record_.programDir, record_.certVersionFileName, record_.certVersion);
    return 1;
  }
  // Without any certificate the program could not start.
  return platform_.files.Exists(path) ? 1 : -1;
}

int CTunraDlg::DownloadCertificate() {
  windows_.progUpdate.Show(platform::kSelf, true);
  windows_.progUpdate.Redraw(platform::kSelf);
  const std::string path = record_.programDir + "/" + record_.certFileName;
  if (update_mgmt_.DownloadFile(record_.certUrl, path) == 0) return 1;
  windows_.progUpdate.Show(platform::kSelf, false);
  windows_.main.MessageBox(kCertDownloadFailedText, kUpdateErrorCaption, platform::kMbOk);
  return -1;
}

int CTunraDlg::StartOpenVpn() {
  state_.connectStartTime = static_cast<long long>(platform_.clock.Now());
  if (record_.connState == session::kConnConnected) {
    windows_.main.MessageBox(kAlreadyConnectedText, kConnectionInfoCaption, platform::kMbOk);
    return -1;
  }
  windows_.main.SetTimer(kTimerSupervise, TimerPeriod(kTimerSupervise));
  record_.connState = session::kConnConnecting;
  if (peers_.tunnel.LaunchOpenVpn() >= 0) return 1;
  // The event report tears the attempt down.
  TeardownOpenVpn(kTeardownError, protocol::kReasonConnectError);
  return -1;
}

void CTunraDlg::SuperviseOpenVpn(int status) {
  // 1. The tunnel adapter's address now.
  const std::string address = peers_.tunnel.TunnelAdapterAddress();
  const int delay = record_.loginDelay;
  const int ticks = state_.superviseTicks;

  if (status < 0) {
    if (ticks > 7 && ticks < delay) {
      // 2.1. The program wrote almost nothing: something blocks it.
      if (status == -14) FailOpenVpn(protocol::kReasonFirewallCheck, kFirewallText, kFirewallCaption);
    } else if (ticks > delay) {
      // 2.2. Past the time allowed (or down after being up): the failure of the code.
      if (status == -9 || status == -13) {
        // The adapter's installer follows the answered box, as the box may wait.
        FailOpenVpn(protocol::kReasonServerForce, kAdapterErrorText, kAdapterErrorCaption,
                    [this] { peers_.tunnel.StartAdapterInstaller(); });
      } else if (status == -10) {
        FailOpenVpn(protocol::kReasonProcessKilled, kProcessEndedText, kConnectErrorCaption);
      } else {
        FailOpenVpn(protocol::kReasonServerForce, kServerFailureText, kConnectErrorCaption);
      }
    }
  } else if (status == 1 && record_.connState == session::kConnConnecting) {
    if (IsAssignedAddress(address)) {
      OnOpenVpnUp(address);
    } else if (ticks > delay) {
      // The program says it is up but the adapter never got an address: it is not.
      FailOpenVpn(protocol::kReasonServerForce, kServerFailureText, kConnectErrorCaption);
    }
  }
  // 4.
  ++state_.superviseTicks;
}

void CTunraDlg::FailOpenVpn(const char* reason, const char* text, const char* caption,
                            std::function<void()> after) {
  const bool wasUp = record_.connState == session::kConnConnected;
  state_.superviseTicks = 0;
  progress_.ResetProgress();
  windows_.vpnConn.Show(platform::kSelf, false);
  SendLogout(protocol::kLogoutByTunnel);
  TeardownOpenVpn(kTeardownError, reason);
  // A tunnel that was up and dropped may be brought back by the reconnect ticks.
  state_.relinkWanted = wasUp;
  ShowTimerNotice(text, caption, true, std::move(after));
}

void CTunraDlg::OnOpenVpnUp(const std::string& address) {
  // 3.1.
  record_.connState = session::kConnConnected;
  state_.superviseTicks = record_.loginDelay;
  progress_.ResetProgress();
  windows_.vpnConn.Show(platform::kSelf, false);

  // 3.2. The account panel.
  state_.tunnelAddress = address;
  windows_.account.SetText(IDC_ACCOUNT_GAME, record_.myGame);
  windows_.account.Redraw(IDC_ACCOUNT_GAME);
  SetAccountStatus(address);
  windows_.account.SetText(IDC_ACCOUNT_END_DATE, ServiceEndDateText(record_.serviceEndDate));
  windows_.account.Redraw(IDC_ACCOUNT_END_DATE);
  windows_.account.SetText(IDC_ACCOUNT_TIME, kZeroElapsed);
  windows_.account.Redraw(IDC_ACCOUNT_TIME);

  // 3.3-3.4.
  windows_.main.SetTimer(kTimerServiceTime, TimerPeriod(kTimerServiceTime));
  windows_.main.SetTimer(kTimerSupervise, TimerPeriod(kTimerSupervise));
  tray_.SetIcon(IDI_TRAY_CONNECTED);

  // 3.5. The tunnel's routes; what a full-tunnel swap replaced is kept for the teardown.
  state_.localAddress.clear();
  net::CRouteMgmt routes(platform_.netTables, diag_log_);
  const net::TunnelRouteOutcome outcome =
      routes.InstallTunnelRoutes({state_.localIfIndex, state_.localGateway, record_.serverIp, record_.webHost,
                                  record_.gatewayIp, record_.routeList, record_.tapAdapterName});
  if (!outcome.undo.Empty()) {
    state_.routeUndo = outcome.undo;
    state_.routesInstalled = 1;
  }
  if (outcome.settingsDue) {
    const settings::SettingsKey key{record_.settingsRoot, record_.settingsKeyPath};
    settings::WriteSetting(reg_, key, settings::Setting::kReplacedIfIndex, outcome.adpi);
    settings::WriteSetting(reg_, key, settings::Setting::kReplacedAddress, protocol::EncodePayload(outcome.lgyPlain));
  }

  // 3.6-3.7.
  if (record_.ipChangeType == 1) RequestIpChange(record_.ipCode);
  account_.ShowDisconnectButton();
  reconnect_.count = 0;
  state_.relinkWanted = false;
}

}  // namespace app
