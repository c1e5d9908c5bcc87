// The main window's tunnel start and the dialled tunnel's notifications: StartTunnel
// with its guard, the dialled branch (DialRas) and the WM_RAS_NOTIFY handler.
#include <cstdio>

#include "app/main/tunra_dlg.h"
#include "app/session/login_session.h"
#include "app/texts.h"

namespace app {

namespace {

bool IsDialled(int vpnType) { return vpnType == session::kVpnPptp || vpnType == session::kVpnL2tp; }

}  // namespace

int CTunraDlg::StartTunnel() {
  // A start while another is starting or up would overwrite the running tunnel's
  // state, and its failure would remove the running tunnel's files. Nothing is
  // changed; the caller sees "nothing to do".
  if (state_.startRunning || record_.connState == session::kConnConnecting ||
      record_.connState == session::kConnConnected) {
    windows_.main.MessageBox(kAlreadyConnectedText, kConnectionInfoCaption, platform::kMbOk);
    return 1;
  }
  // A kind the program cannot start must not leave the progress dialog up and the
  // state at "connecting" with nothing that could ever end it.
  if (!IsDialled(record_.vpnType) && record_.vpnType != session::kVpnOpenVpn) {
    // Back to "logged in": "IP chosen" would keep the options dialog refusing changes.
    if (record_.connState == session::kConnIpChosen) record_.connState = session::kConnLoggedIn;
    windows_.main.MessageBox(kUnknownTunnelKindText, kConnectionInfoCaption, platform::kMbOk);
    return -1;
  }
  // Message boxes below run nested message loops, in which a reconnect tick or a
  // second double-click could arrive.
  state_.startRunning = true;
  const int result = RunTunnelStart();
  state_.startRunning = false;
  return result;
}

int CTunraDlg::RunTunnelStart() {
  // 1-2. The user's programs for the start, the state and the progress dialog.
  peers_.programHooks.RunProgramHook("IN_STOP");
  record_.connState = session::kConnConnecting;
  progress_.StartProgress();
  progress_.ResetProgress();

  // 3. The OpenVPN branch.
  if (record_.vpnType == session::kVpnOpenVpn) return StartOpenVpnTunnel();

  // 4. The dialled branch: the phonebook, then the dial.
  WritePhonebookFile(record_.vpnType, record_.replyHasZeroIp);
  if (DialRas() >= 0) return 1;
  TeardownRas();
  return -1;
}

int CTunraDlg::DialRas() {
  state_.connectStartTime = static_cast<long long>(platform_.clock.Now());
  progress_.ResetProgress();
  windows_.vpnConn.Show(platform::kSelf, true);
  state_.dialStep = 0;
  state_.dialing = true;
  diag_log_.AddSecret(record_.password);  // no line holds it; should one ever, it shows as ***
  // The dialer calls this on its own thread; the host hands it to this window's thread.
  IMainWindowHost& host = host_;
  const int result = ras_.Dial(state_.phonebookPath, record_.serverIp, record_.userId, record_.password,
                               [&host](std::uint32_t, std::uint32_t state, std::uint32_t error) {
                                 host.SendRasNotify(state, error);
                               });
  if (result < 0) {
    state_.dialing = false;
    return -1;
  }
  // A link that is already up gets no notification: it is taken as connected now.
  if (result == 1) OnDialConnected();
  return 1;
}

int CTunraDlg::OnRasNotify(std::uint32_t state, std::uint32_t error) {
  // A notification after the dial ended (the user hung up, a teardown ran) belongs to
  // no attempt: it must neither revive "connecting" nor count as connected.
  if (!state_.dialing) return 0;

  // 1-2. Connecting; the step's text in the progress dialog.
  record_.connState = session::kConnConnecting;
  progress_.ShowDialStep(tunnel::CRasMgmt::StateText(state), state_.dialStep);
  ++state_.dialStep;

  // 3. An error ends the attempt, whatever the state.
  if (error != 0) return OnDialFailed(error);
  // 4. Only "connected" is success; "disconnected" ends the attempt as a failure.
  if (state == platform::kRasConnected) return OnDialConnected();
  if (state == platform::kRasDisconnected) return OnDialFailed(0);
  return 1;  // 5. an intermediate state
}

int CTunraDlg::OnDialFailed(std::uint32_t error) {
  // 3.1-3.4. The platform's text, hang-up, the progress dialog away, idle.
  const std::string text =
      error != 0 ? ras_.ErrorText(error, 256) : tunnel::CRasMgmt::StateText(platform::kRasDisconnected);
  NoteRasError(error, text);
  ras_.HangUp();
  state_.dialing = false;
  state_.dialStep = 0;
  progress_.ResetProgress();
  progress_.StopProgress();
  windows_.vpnConn.Show(platform::kSelf, false);
  record_.connState = session::kConnIdle;
  // The phonebook holds nothing secret, but no working file of a failed attempt stays.
  RemovePhonebookFile();
  // 3.5-3.6. The text, then the focus to the identifier field.
  windows_.main.MessageBox(text, kDialErrorCaption, platform::kMbOk);
  windows_.login.SetFocus(IDC_LOGIN_USER);
  return -1;
}

int CTunraDlg::OnDialConnected() {
  // 4.1-4.2. The progress dialog away; the phonebook is no longer needed.
  state_.dialing = false;
  state_.dialStep = 0;
  windows_.vpnConn.Show(platform::kSelf, false);
  progress_.ResetProgress();
  progress_.StopProgress();
  RemovePhonebookFile();

  // 4.3. The service end date and the game on the account panel.
  windows_.account.SetText(IDC_ACCOUNT_END_DATE, ServiceEndDateText(record_.serviceEndDate));
  windows_.account.Redraw(IDC_ACCOUNT_END_DATE);
  windows_.account.SetText(IDC_ACCOUNT_GAME, record_.myGame);
  windows_.account.Redraw(IDC_ACCOUNT_GAME);

  // 4.4. Service time and link supervision, once a second.
  windows_.main.SetTimer(kTimerServiceTime, TimerPeriod(kTimerServiceTime));
  windows_.main.SetTimer(kTimerSupervise, TimerPeriod(kTimerSupervise));

  // 4.5-4.7. The assigned address, the tray picture, connected.
  state_.tunnelAddress = ras_.GetAssignedAddress();
  SetAccountStatus(state_.tunnelAddress);
  tray_.SetIcon(IDI_TRAY_CONNECTED);
  record_.connState = session::kConnConnected;
  state_.relinkWanted = false;
  reconnect_.count = 0;  // a link that is back starts a fresh count of attempts

  // 4.8-4.10. The chosen exit IP, the disconnect button, the user's programs.
  if (record_.ipChangeType == 1) RequestIpChange(record_.ipCode);
  account_.ShowDisconnectButton();
  peers_.programHooks.RunProgramHook("IN_START");
  return 1;
}

void CTunraDlg::RemovePhonebookFile() {
  if (!state_.phonebookPath.empty()) platform_.files.Delete(state_.phonebookPath);
}

}  // namespace app
