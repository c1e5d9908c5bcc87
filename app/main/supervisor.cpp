// The main window's timers: the tunnel supervision, the service time counted down,
// the reconnect ticks, and the dialled tunnel's teardown.
#include <climits>
#include <ctime>
#include <utility>

#include "app/main/service_time.h"
#include "app/main/tunra_dlg.h"
#include "app/texts.h"
#include "protocol/account_info.h"
#include "protocol/event_report.h"
#include "protocol/logout.h"

namespace app {

void CTunraDlg::OnTimer(unsigned timerId) {
  switch (timerId) {
    case kTimerSupervise:
      // The kind is read again after the OpenVPN supervision, which may end the tunnel.
      if (record_.vpnType == session::kVpnOpenVpn) SuperviseOpenVpn(peers_.tunnel.ReadOpenVpnStatus());
      if (record_.vpnType == session::kVpnPptp || record_.vpnType == session::kVpnL2tp) CheckRasLink();
      break;
    case kTimerServiceTime:
      ServiceTimeTick();
      break;
    case kTimerReconnect:
      ReconnectTick();
      break;
    case kTimerReconnectWait:
      windows_.main.KillTimer(kTimerReconnectWait);
      break;
    case kTimerTrayRetry:
      if (AddTrayIcon()) windows_.main.KillTimer(kTimerTrayRetry);
      break;
    case kTimerNotices:
      notices_.OnPoll();
      break;
    default: break;  // other timers do nothing
  }
}

void CTunraDlg::ShowTimerNotice(const char* text, const char* caption, bool balloon,
                                std::function<void()> after) {
  notices_.Show(text, caption, balloon, std::move(after));
}

void CTunraDlg::CheckRasLink() {
  if (ras_.IsConnected() == 1) return;
  SendLogout(protocol::kLogoutByTunnel);
  TeardownRas();  // kills this timer before the box opens: no second notice from a tick
  // The link dropped under a logged-in user: the reconnect ticks may bring it back.
  state_.relinkWanted = true;
  ShowTimerNotice(kServerEndedText, kLinkErrorCaption, true);
}

void CTunraDlg::ServiceTimeTick() {
  std::time_t end = 0;
  const bool endKnown = ServiceEndInstant(record_.serviceEndDate, platform_.clock, end);
  const std::time_t now = platform_.clock.Now();

  windows_.account.SetText(IDC_ACCOUNT_TIME, ConnectedTimeText(state_.elapsedSeconds));
  windows_.account.Redraw(IDC_ACCOUNT_TIME);
  if (state_.elapsedSeconds < INT_MAX) ++state_.elapsedSeconds;

  // An end date the client cannot read ends nothing: the back end, which wrote it,
  // still ends the service when it is over.
  if (!endKnown) return;
  const long long minutes = (static_cast<long long>(end) - static_cast<long long>(now)) / 60;

  if (minutes <= 0) {
    // Both teardowns kill this timer before the box opens, so this happens once.
    if (record_.vpnType == session::kVpnOpenVpn) TeardownOpenVpn(kTeardownError, protocol::kReasonServiceTimeZero);
    else TeardownRas();
    // No logout notice follows this end: the panel must not go on looking connected
    // (the address, a disconnect button that can no longer disconnect anything).
    account_.ShowIdleLook();
    // The help page opens when the box is answered, after a full screen too.
    ShowTimerNotice(kServiceOverText, kPaymentErrorCaption, true, [this] { OpenHelpPage(); });
    return;
  }
  if (minutes <= 4 && state_.fiveMinuteRefreshDone == 0) {
    // Set first: ticks keep arriving while the exchange and its boxes run.
    state_.fiveMinuteRefreshDone = 1;
    protocol::AccountInfo(ctx_);
    windows_.account.SetText(IDC_ACCOUNT_END_DATE, record_.serviceEndDate);
    windows_.account.Redraw(IDC_ACCOUNT_END_DATE);
    return;
  }
  if (minutes < 1440 && state_.dayNoticeShown == 0) {
    state_.dayNoticeShown = 1;
    ShowTimerNotice(kLessThanADayText, kPaymentInfoCaption, false);  // no failure: no balloon
  }
}

void CTunraDlg::ReconnectTick() {
  if (record_.connState == session::kConnConnected) return;
  ++reconnect_.count;
  windows_.main.KillTimer(kTimerReconnectWait);
  windows_.main.SetTimer(kTimerReconnectWait, TimerPeriod(kTimerReconnectWait));
  if (reconnect_.count > reconnect_.attempts) {
    windows_.main.KillTimer(kTimerReconnect);
    return;
  }
  // Only a link that dropped under a logged-in user comes back: not one the user
  // ended, and never while a start or a dial is still running.
  if (!state_.relinkWanted || state_.startRunning || state_.dialing ||
      record_.connState == session::kConnConnecting)
    return;
  // A download runs in a message loop of its own (an update or a certificate of a
  // login): the reconnect waits for a later tick.
  if (platform_.background.Busy()) return;
  StartAgain();
}

void CTunraDlg::StartAgain() {
  // What the IP list panels do for a chosen IP, with the IP chosen last (ipCode).
  if (record_.vpnType == session::kVpnPptp) EnableConnectionByDevice(record_.tapAdapterName, false);
  record_.authMode = "vpn";
  if (LoginSession() < 0) return;
  record_.connState = session::kConnIpChosen;
  if (StartTunnel() < 0) {
    StopOpenVpn();
    StopProgress();
  }
}

int CTunraDlg::TeardownRas() {
  windows_.main.KillTimer(kTimerSupervise);
  windows_.main.KillTimer(kTimerServiceTime);
  tray_.SetIcon(IDI_TRAY_IDLE);
  // A failed hang-up is not shown (its text is not needed).
  if (ras_.HasHandle()) ras_.HangUp();
  state_.dialing = false;
  state_.dialStep = 0;
  RemovePhonebookFile();
  record_.connState = session::kConnIdle;
  peers_.programHooks.RunProgramHook("OUT_START");
  peers_.programHooks.RunProgramHook("OUT_STOP");
  return 1;
}

}  // namespace app
