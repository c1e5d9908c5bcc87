// The main window's logic: it lives for the whole process and owns every other piece
// of the shell — the HTTP client and the exchanges' context, the tray icon, the dialer,
// the login, account and IP list panels, the connection progress dialog and the
// session login — and the tunnel start and teardowns. Its windows come from the host;
// the subsystems it does not own (OpenVPN tunnel services, program hooks, update,
// banners) come as peers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/account/logout_dlg.h"
#include "app/iplist/dynamic_ip_tab_dlg.h"
#include "app/iplist/ip_mgmt_tab5_dlg.h"
#include "app/iplist/ip_panel_host.h"
#include "app/login/login_dlg.h"
#include "app/main/main_timers.h"
#include "app/main/main_window_host.h"
#include "app/main/main_window_peers.h"
#include "app/main/main_window_state.h"
#include "app/main/timer_notices.h"
#include "app/main/reconnect.h"
#include "app/progress/vpn_conn_dlg.h"
#include "app/session/login_session.h"
#include "app/tray/tray_icon.h"
#include "net/network_mgmt.h"
#include "platform/platform.h"
#include "protocol/exchange_context.h"
#include "protocol/web_mgmt.h"
#include "resources/resource_ids.h"
#include "session/session_hooks.h"
#include "session/session_record.h"
#include "settings/reg_ctrl.h"
#include "text/crt_random.h"
#include "tunnel/ras_config_file.h"
#include "tunnel/ras_mgmt.h"
#include "app/main/main_diag_log.h"
#include "app/update/update_mgmt.h"
#include "net/adapter_mgmt.h"

namespace app {

inline constexpr const char* kTapAdapterWow64 = "TAP-Win32 Adapter V9";
inline constexpr const char* kTapAdapterDefault = "Corvane PCI Fast Controller";

// The OpenVPN teardown's reason codes (kTeardownError ...) are in app/iplist/ip_panel_host.h.

class CTunraDlg final : public IAccountPanelOwner,
                        public ILoginMainWindow,
                        public IIpPanelHost,
                        public session::SessionHooks {
 public:
  // A 64-bit program runs only on 64-bit Windows, where it is never under WOW64; the
  // adapter rule asks about 64-bit Windows, so such a program counts as under WOW64.
  static constexpr bool kProgram64 = sizeof(void*) == 8;

  CTunraDlg(session::SessionRecord& record, platform::Platform& platform, IMainWindowHost& host,
            MainWindowPeers peers, bool program64 = kProgram64);
  CTunraDlg(const CTunraDlg&) = delete;
  CTunraDlg& operator=(const CTunraDlg&) = delete;
  ~CTunraDlg() override;

  // WM_INITDIALOG: the whole initialisation in order. Returns true.
  bool OnInitDialog();
  // Program directory, tunnel adapter name, file names, settings, start values. False
  // when the program's folder cannot be named in code page 949 (the working files
  // would go to a mangled path).
  bool PrepareEnvironment();
  // Child dialogs and their logic, title, tray icon, narrow layout and panel places.
  void SetUpWindows();
  // Switches between the narrow and the wide layout.
  void ToggleLayout();
  // Centres `target` (kSelf in screen coordinates) on the main window.
  void CenterOnMainWindow(platform::IWindow& target);

  // WM_COMMAND from a button or the tray menu.
  void OnCommand(int id);
  // WM_SYSCOMMAND. The system close command hides the window, removes the tray icon
  // and ends the main window, with no question, logout notice or teardown; other
  // commands go on to their default processing.
  void OnSysCommand(std::uint32_t command);
  // WM_CLOSE sent from outside (an installer, taskkill without /F, the update path):
  // the window ends as the system close command ends it.
  void OnClose();
  // Close button: asks, then logs out, ends a tunnel and ends the program.
  void OnCloseButton();
  // Tray menu "끝내기": asks, then logs out, ends a connected tunnel and ends the program.
  void OnTrayExit();
  // Tray menu "진단 정보 저장": the report for support written to the user's documents
  // folder (app/main/diagnostics_report.h), then that folder opened; a message when it
  // cannot be written.
  void SaveDiagnostics();
  // WM_APP_RESTORE from a second instance.
  std::intptr_t OnAppRestore();
  // WM_TRAY_NOTIFY: the tray icon's mouse messages.
  std::intptr_t OnTrayNotify(std::uintptr_t wparam, std::intptr_t lparam);
  // The message a shell broadcasts once it has (re)created the taskbar; 0 before the
  // windows are set up or when it could not be registered.
  std::uint32_t taskbarCreatedMessage() const { return taskbar_created_; }
  // That message: a restarted shell has forgotten every icon, so the icon is added
  // again with the picture of the connection state (or the retry timer runs on).
  void OnTaskbarCreated();
  // WM_TIMER of the main window: the timer table's ticks.
  void OnTimer(unsigned timerId);
  // Timer 1 for a dialled tunnel: a link that is no longer up is ended, with the
  // logout notice ("vpn") and CODE-022.
  void CheckRasLink();
  // Timer 3: the connected time, and the service time counted down: the less-than-a-
  // day notice once, the account refresh once under five minutes, and at the end the
  // tunnel ended with CODE-001 and the help page.
  void ServiceTimeTick();
  // Timer 12: counts reconnect attempts while no tunnel is up, each followed by the
  // 20-second wait of timer 13; stops after the set number of attempts.
  void ReconnectTick();
  // The reconnect: the session login and the tunnel start for the IP chosen last.
  void StartAgain();

  // Writes the dialer's phonebook for `vpnType` (1 PPTP, 3 L2TP) into the program's
  // folder and keeps its path. Returns 1.
  int WritePhonebookFile(int vpnType, int replyHasZeroIp);

  // Ends a RAS tunnel: timers 1 and 3, tray picture, hang-up, connState 0, the
  // "OUT_START" and "OUT_STOP" hooks. Returns 1.
  int TeardownRas() override;

  // Brings the tunnel of the session's kind up for the chosen IP: 1 when started (or
  // refused because a tunnel is already starting or up), -1 when it failed and was
  // cleaned up.
  int StartTunnel() override;
  // The dialled branch of the start: progress dialog, then the dial of the phonebook's
  // entry. -1 when the dial could not be started, else 1.
  int DialRas();
  // WM_RAS_NOTIFY: one notification of the dial (connection state, error code). -1
  // when the dial failed, 1 otherwise; 0 when no dial is running (a late notification
  // of a dial that has already ended is ignored).
  int OnRasNotify(std::uint32_t state, std::uint32_t error);

  // The OpenVPN branch of the start: bindings, certificate, files, adapter address,
  // program. 1 started; -1 failed, its files removed.
  int StartOpenVpnTunnel();
  // The certificate the configuration names: downloaded when the back end's version
  // is newer than the installed one or the file is missing. -1 when there is none.
  int PrepareCertificate();
  // 1 downloaded; -1 after CODE-020.
  int DownloadCertificate();
  // Launches the OpenVPN program and starts its supervision. 1 started; -1 refused
  // (a tunnel is up) or failed (the event report tore it down).
  int StartOpenVpn();
  // Timer 1 for an OpenVPN tunnel: the log's status against the time allowed.
  void SuperviseOpenVpn(int status);
  // Ends the OpenVPN tunnel; reason code 0 also sends an event report with the text
  // (declared with the panels' operations below).

  // IAccountPanelOwner
  void OpenHelpPage() override;
  void ShowLayout(bool narrow) override;
  void SendLogout(const std::string& mode) override;
  void TeardownByKind() override;
  // ILoginMainWindow
  void ShowWideLayout() override { ShowLayout(false); }
  // IIpPanelHost (StartTunnel and TeardownRas above)
  int LoginSession() override;
  void TeardownOpenVpn(int reasonCode, const std::string& reasonText) override;
  void StopOpenVpn() override;
  int EnableConnectionByDevice(const std::string& device, bool enable) override;
  void FetchIpPool() override;
  void RequestIpChange(const std::string& ipCode) override;
  void SetAccountStatus(const std::string& text) override;
  // session::SessionHooks: what the exchanges report to the panels and tunnels.
  bool TestCertificateChecked() override;
  void StopProgress() override;  // also the panels' IIpPanelHost::StopProgress
  void WritePhonebook(int vpnType, int replyHasZeroIp) override;
  void CheckTapAdapter() override;

  bool narrowLayout() const { return narrow_layout_; }
  bool ended() const { return ended_; }
  CTrayIcon& tray() { return tray_; }
  CTimerNotices& notices() { return notices_; }
  ReconnectSettings& reconnect() { return reconnect_; }
  MainWindowState& state() { return state_; }
  const tunnel::CRasConfigFile& rasConfig() const { return ras_config_; }
  tunnel::CRasMgmt& ras() { return ras_; }
  CMainDiagLog& diagLog() { return diag_log_; }
  CLoginDlg& login() { return login_; }
  CIpMgmtTab5Dlg& ipMgmtTab5() { return ip_mgmt_tab5_; }
  DynamicIpTabDlg& dynamicIpTab() { return dynamic_ip_tab_; }
  CLogoutDlg& account() { return account_; }
  CVpnConnDlg& progress() { return progress_; }
  CLoginSession& session() { return session_; }

 private:
  // Asks `text` with Yes and No; true for Yes when the program has not ended meanwhile.
  bool Confirm(const char* text, const char* caption);
  // Removes the tray icon and ends the main window, once.
  void EndProgram();
  // Adds the tray icon with its tip and the picture of the connection state.
  bool AddTrayIcon();
  // A message raised by a timer: now, or after another program's full screen (with a
  // balloon at once when `balloon`); `after` follows the answered box.
  void ShowTimerNotice(const char* text, const char* caption, bool balloon, std::function<void()> after = {});
  // The two ends of a dial that the notifications announce.
  int OnDialFailed(std::uint32_t error);
  int OnDialConnected();
  // The start's steps once it is allowed; StartTunnel guards them.
  int RunTunnelStart();
  // Deletes the phonebook file when one was written.
  void RemovePhonebookFile();
  // An OpenVPN tunnel that failed: logout notice, teardown with the event, message.
  // `after` follows the answered box.
  void FailOpenVpn(const char* reason, const char* text, const char* caption, std::function<void()> after = {});
  // The OpenVPN tunnel came up with this adapter address.
  void OnOpenVpnUp(const std::string& address);
  // Kept for the report for support: a dial's error, and the OpenVPN log before the
  // teardown deletes it.
  void NoteRasError(std::uint32_t error, const std::string& text);
  void KeepOpenVpnLog();
  std::string OpenVpnLogPath() const;

  session::SessionRecord& record_;
  platform::Platform& platform_;
  IMainWindowHost& host_;
  MainWindowPeers peers_;
  MainWindowPanels windows_;
  const bool program64_;

  // Managers, in the order the main window builds them.
  protocol::CWebMgmt web_;
  net::CNetworkMgmt network_;
  settings::CRegCtrl reg_;
  CTrayIcon tray_;
  tunnel::CRasConfigFile ras_config_;
  CMainDiagLog& diag_log_;
  CTimerNotices notices_;  // timer messages held while another program runs full screen
  net::CAdapterMgmt adapters_;
  CUpdateMgmt update_mgmt_;
  tunnel::CRasMgmt ras_;

  MainWindowState state_;
  ReconnectSettings reconnect_;
  protocol::ExchangeContext ctx_;
  ProtocolLoginExchanges exchanges_;

  // The panels' logic. The IP list panels come before the login and account panels,
  // which are handed them.
  text::CrtRandom random_;  // the C runtime's rand(), seeded once at initialisation
  CIpMgmtTab5Dlg ip_mgmt_tab5_;
  DynamicIpTabDlg dynamic_ip_tab_;
  CVpnConnDlg progress_;
  CLoginSession session_;
  CLoginDlg login_;
  CLogoutDlg account_;

  platform::Rect client_;  // full (wide) client rectangle
  bool narrow_layout_ = false;
  bool ended_ = false;
  std::uint32_t taskbar_created_ = 0;
};

// The tunnel adapter's device description: the newer driver's name for 64-bit
// processes on Windows 8 and 8.1 (version "6.2" or "6.3"), the older one otherwise.
std::string TapAdapterName(bool wow64, const std::string& windows_version);

}  // namespace app
