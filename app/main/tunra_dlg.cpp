#include "app/main/tunra_dlg.h"

#include <climits>
#include <cstdio>

#include "app/main/main_layout.h"
#include "app/main/service_time.h"
#include "app/main/window_rules.h"
#include "app/texts.h"
#include "net/route_mgmt.h"
#include "protocol/account_info.h"
#include "protocol/event_report.h"
#include "protocol/logout.h"
#include "protocol/web_pages.h"
#include "settings/settings_table.h"
#include "text/cp949.h"

namespace app {

namespace {

constexpr std::uint32_t kScMinimize = 0xF020;
constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

struct ButtonBitmaps {
  int id, normal, pressed;
};
constexpr ButtonBitmaps kButtons[] = {
    {IDC_MAIN_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_PRESSED}, {IDC_MAIN_CLOSE, IDB_CLOSE, IDB_CLOSE_PRESSED},
    {IDC_MAIN_UPDATE, IDB_UPDATE, IDB_UPDATE_PRESSED},       {IDC_MAIN_OPTIONS, IDB_OPTIONS, IDB_OPTIONS_PRESSED},
    {IDC_MAIN_HELP, IDB_HELP, IDB_HELP},
};

}  // namespace

std::string TapAdapterName(bool wow64, const std::string& windows_version) {
  return wow64 && (windows_version == "6.2" || windows_version == "6.3") ? kTapAdapterWow64 : kTapAdapterDefault;
}

CTunraDlg::CTunraDlg(session::SessionRecord& record, platform::Platform& platform, IMainWindowHost& host,
                     MainWindowPeers peers, bool program64)
    : record_(record),
      platform_(platform),
      host_(host),
      peers_(peers),
      windows_(host.Panels()),
      program64_(program64),
      web_(platform.internet, record.requestHeaders, kAppTitle,
           [this](const std::string& text, const std::string& caption) {
             windows_.main.MessageBox(text, caption, platform::kMbOk);
           }),
      network_(platform.netTables),
      reg_(platform.registry),
      tray_(platform.shell, platform.system),
      ras_config_(platform.files, platform.profile),
      diag_log_(peers.diagLog),
      notices_(platform.shell, windows_.main, tray_, diag_log_),
      adapters_(platform.netTables, platform.registry, platform.netConnections, diag_log_),
      update_mgmt_(platform.background, platform.files, windows_.progUpdate, windows_.main, diag_log_),
      ras_(platform.ras, windows_.main, diag_log_),
      ctx_{record,          web_,           windows_.main,   platform.registry, platform.system, platform.systemFacts,
           platform.netTables, platform.shell, platform.files, platform.clock,    *this},
      exchanges_(ctx_),
      ip_mgmt_tab5_(IpPanelParts{windows_.ipMgmtTab5, windows_.main, record, reg_, reconnect_, *this, random_}),
      dynamic_ip_tab_(IpPanelParts{windows_.dynamicIpTab, windows_.main, record, reg_, reconnect_, *this, random_}),
      progress_(record, windows_.vpnConn),
      session_(LoginSessionParts{record, state_, platform.clock, platform.registry, platform.netTables, exchanges_,
                                 progress_, windows_.vpnConn, windows_.login, windows_.account, peers.tunnel,
                                 peers.update, diag_log_}),
      login_(LoginDlgParts{record, state_, windows_.login, platform.registry, platform.files, platform.shell,
                           platform.netTables, session_, exchanges_, windows_.ipMgmtTab5, windows_.dynamicIpTab,
                           ip_mgmt_tab5_, dynamic_ip_tab_, *this, peers.loginBanner, diag_log_}),
      account_(CLogoutDlg::Context{record, windows_.account, windows_.login, windows_.main, reconnect_, *this,
                                   ip_mgmt_tab5_, dynamic_ip_tab_, peers.accountBanner}) {}

CTunraDlg::~CTunraDlg() = default;

bool CTunraDlg::OnInitDialog() {
  platform::IWindow& w = windows_.main;
  host_.SetIcons(IDI_MAIN);
  // Once per process, so a random choice of IP is not the same row in every run.
  random_.Seed(static_cast<std::uint32_t>(platform_.clock.Now()));

  record_.webHost = network_.ResolveLoginHost();
  if (record_.webHost.empty()) record_.webHost = kUnresolvedHost;

  for (const ButtonBitmaps& b : kButtons) w.SetBitmaps(b.id, b.normal, b.pressed);

  // The diagnostics log opens in the program's folder first, so it holds the firewall
  // commands, which run before the environment is prepared.
  const std::string module = platform_.system.ModuleFileName();
  const std::size_t slash = module.rfind('\\');
  if (slash != std::string::npos) diag_log_.Open(text::ForwardSlashes(module.substr(0, slash)));
  peers_.tunnel.AllowThroughFirewall();
  if (!PrepareEnvironment()) {
    // Said now rather than failing later on files written to a different folder.
    w.MessageBox(kProgramDirNotAnsi, kCloseButtonCaption, platform::kMbOk);
    EndProgram();
    return true;
  }
  SetUpWindows();
  windows_.login.SetFocus(IDC_LOGIN_USER);

  // Create the settings key when it is missing; reads before this simply failed.
  platform::RegKey key = 0;
  if (platform_.registry.CreateKeyEx(record_.settingsRoot, record_.settingsKeyPath, kKeyAllAccess, key) !=
      platform::kErrorSuccess) {
    w.MessageBox(kRegCreateKeyFailed, kAppTitle, platform::kMbOk);
  } else {
    platform_.registry.CloseKey(key);
  }

  char version[32];
  std::snprintf(version, sizeof version, kVersionFormat, record_.clientVersion);
  w.SetText(IDC_MAIN_VERSION, version);
  w.Redraw(IDC_MAIN_VERSION);

  if (!record_.userId.empty() && !record_.password.empty()) {
    diag_log_.AddSecret(record_.password);
    windows_.login.SetText(IDC_LOGIN_USER, record_.userId);
    windows_.login.SetText(IDC_LOGIN_PASSWORD, record_.password);
  }
  return true;
}

bool CTunraDlg::PrepareEnvironment() {
  platform::ISystem& sys = platform_.system;

  // 1. The program's folder becomes the current directory and the tunnel files' home.
  // The system answers an empty text for a path code page 949 cannot write.
  const std::string module = sys.ModuleFileName();
  const std::size_t slash = module.rfind('\\');
  sys.SetCurrentDirectory(slash == std::string::npos ? module : module.substr(0, slash + 1));
  record_.programDir = text::ForwardSlashes(sys.CurrentDirectory());
  if (module.empty() || record_.programDir.empty()) return false;
  diag_log_.Open(record_.programDir);

  // 2-3. The tunnel adapter's name by WOW64 and the Windows version.
  const bool wow64 = program64_ || (sys.HasIsWow64Process() && sys.IsWow64Process());
  platform::OsVersion v;
  std::string version;
  if (sys.GetVersionEx(v)) version = std::to_string(v.major) + "." + std::to_string(v.minor);
  record_.tapAdapterName = TapAdapterName(wow64, version);

  // 4-6. File names, certificate version, settings key.
  const std::string& dir = record_.programDir;
  record_.openVpnExeDir = dir;
  record_.openVpnExeName = "vexoop.exe";
  record_.openVpnConfigDir = dir;
  record_.openVpnConfigName = "vexoen.opc";
  record_.openVpnLogDir = dir;
  record_.openVpnLogName = "event.log";
  record_.accountFileDir = dir;
  record_.accountFileName = "vrs.inf";
  record_.downloadDir = dir;
  record_.clientCertVersion = session::kClientCertVersion;
  record_.settingsRoot = settings::kSettingsRoot;
  record_.settingsKeyPath = settings::kSettingsKeyPath;

  // 7-8. One-click IP change and the preferred tunnel kind.
  const settings::SettingsKey key{record_.settingsRoot, record_.settingsKeyPath};
  record_.ipChangeType = settings::ReadSetting(reg_, key, settings::Setting::kIpChangeType) == "1" ? 1 : 0;
  if (settings::ReadSetting(reg_, key, settings::Setting::kTunnelType) == "1") {
    record_.vpnType = session::kVpnPptp;
    adapters_.EnableConnectionByDevice(record_.tapAdapterName, false);
  } else {
    record_.vpnType = session::kVpnOpenVpn;
    adapters_.EnableConnectionByDevice(record_.tapAdapterName, true);
  }

  // 9-10. Start values and the update download folder.
  record_.ResetStartValues();
  record_.tempDir = text::ForwardSlashes(record_.windowsDir + "/" + "Temp");
  sys.CreateDirectory(record_.tempDir);
  return true;
}

bool CTunraDlg::AddTrayIcon() {
  if (!tray_.Create(windows_.main.Handle())) return false;
  tray_.SetTip(kTrayTip);
  tray_.SetIcon(record_.connState == session::kConnConnected ? IDI_TRAY_CONNECTED : IDI_TRAY_IDLE);
  return true;
}

void CTunraDlg::OnTaskbarCreated() {
  // An icon the program removed (at its end, before an update) stays away.
  if (ended_ || !tray_.wanted()) return;
  // The old entry went with the old shell; the message also comes without a restart
  // (a display change), when the entry is still there and a second add would be
  // refused. Deleting first covers both.
  tray_.Remove();
  if (AddTrayIcon()) windows_.main.KillTimer(kTimerTrayRetry);
  else windows_.main.SetTimer(kTimerTrayRetry, TimerPeriod(kTimerTrayRetry));
}

void CTunraDlg::SetUpWindows() {
  platform::IWindow& w = windows_.main;
  host_.CreatePanels();
  login_.OnInitDialog();
  account_.OnInitDialog();
  progress_.OnInitDialog();
  w.SetText(platform::kSelf, TUNRA_WINDOW_TITLE);  // a second instance finds the window by it

  // At logon the client may start before the notification area exists. The window and
  // its panels are set up all the same, so the login panel is usable, and the icon is
  // added as soon as the shell takes it. A shell that restarts later announces itself
  // to every window; the client runs elevated and the shell does not, so the message
  // must be let through the system's filter of messages from lower integrity levels.
  taskbar_created_ = platform_.shell.RegisterWindowMessage(kTaskbarCreatedMessage);
  if (taskbar_created_ != 0) platform_.shell.AllowMessageFromLowerIntegrity(w.Handle(), taskbar_created_);
  if (!AddTrayIcon()) w.SetTimer(kTimerTrayRetry, TimerPeriod(kTimerTrayRetry));

  const platform::Rect window = w.GetRect(platform::kSelf);
  client_ = {0, 0, window.Width(), window.Height()};
  ToggleLayout();

  windows_.login.Move(platform::kSelf, BottomLeft(client_, windows_.login.GetRect(platform::kSelf)));
  windows_.login.Show(platform::kSelf, true);
  windows_.account.Move(platform::kSelf, BottomLeft(client_, windows_.account.GetRect(platform::kSelf)));
  windows_.account.Show(platform::kSelf, false);
  const platform::Rect place = IpPanelPlace(client_, windows_.ipMgmtTab5.GetRect(platform::kSelf), host_.Dpi());
  for (platform::IWindow* panel : {&windows_.ipMgmtTab5, &windows_.dynamicIpTab}) {
    panel->Move(platform::kSelf, place);
    panel->Show(platform::kSelf, false);
  }
  for (platform::IWindow* progress : {&windows_.progUpdate, &windows_.vpnConn}) {
    progress->Show(platform::kSelf, false);
    CenterOnMainWindow(*progress);
  }
}

void CTunraDlg::ToggleLayout() {
  platform::IWindow& w = windows_.main;
  const LayoutButtons& places = narrow_layout_ ? kWideButtons : kNarrowButtons;
  w.Move(IDC_MAIN_MINIMIZE, ScaleForDpi(places.minimize, host_.Dpi()));
  w.Move(IDC_MAIN_CLOSE, ScaleForDpi(places.close, host_.Dpi()));
  windows_.account.SetBitmaps(IDC_ACCOUNT_EXPAND, places.expandNormal, places.expandPressed);
  const int width = narrow_layout_ ? client_.Width() : client_.Width() / 2;
  w.Move(platform::kSelf, ResizedMainWindow(w.GetRect(platform::kSelf), width, client_.Height()));
  w.Redraw(IDC_MAIN_MINIMIZE);
  w.Redraw(IDC_MAIN_CLOSE);
  windows_.account.Redraw(IDC_ACCOUNT_EXPAND);
  narrow_layout_ = !narrow_layout_;
  // The progress dialogs stay centred on the window in either layout.
  for (platform::IWindow* progress : {&windows_.progUpdate, &windows_.vpnConn}) CenterOnMainWindow(*progress);
}

void CTunraDlg::CenterOnMainWindow(platform::IWindow& target) {
  // The window is borderless: its client area on the screen is the window itself.
  const platform::Rect area =
      windows_.main.Handle() ? windows_.main.GetRect(platform::kSelf) : host_.DesktopRect();
  target.Move(platform::kSelf, CenteredOn(area, target.GetRect(platform::kSelf)));
}

void CTunraDlg::OnCommand(int id) {
  // A download waits with the window's messages dispatched: nothing the buttons or the
  // tray menu start (another download, an exit) may run inside it.
  if (platform_.background.Busy()) return;
  switch (id) {
    case IDC_MAIN_MINIMIZE: host_.Minimize(); break;
    case IDC_MAIN_UPDATE: host_.RunUpdateDialog(); break;
    case IDC_MAIN_OPTIONS: host_.RunOptionsDialog(); break;
    case IDC_MAIN_HELP: OpenHelpPage(); break;
    case ID_TRAY_OPEN: windows_.main.Show(platform::kSelf, true); break;
    case IDC_MAIN_CLOSE: OnCloseButton(); break;
    case ID_TRAY_EXIT: OnTrayExit(); break;
    case ID_TRAY_DIAGNOSTICS: SaveDiagnostics(); break;
    default: break;  // ID_TRAY_TITLE included
  }
}

void CTunraDlg::OnSysCommand(std::uint32_t command) {
  if ((command & 0xFFF0) == kScMinimize) {
    windows_.main.Show(platform::kSelf, true);
  } else if ((command & 0xFFF0) == kScClose) {
    // A tunnel and the session are left as they are; only the icon goes.
    windows_.main.Show(platform::kSelf, false);
    EndProgram();
  }
}

void CTunraDlg::OnClose() {
  // Whoever sends WM_CLOSE decides the program ends now; nothing is asked or sent.
  windows_.main.Show(platform::kSelf, false);
  EndProgram();
}

bool CTunraDlg::Confirm(const char* text, const char* caption) {
  if (ended_) return false;
  const int answer = windows_.main.MessageBox(text, caption, platform::kMbYesNo);
  // The box runs a nested message loop: another exit may have ended the program.
  return answer == platform::kIdYes && !ended_;
}

void CTunraDlg::OnCloseButton() {
  // Connecting counts as connected here.
  const bool tunnel =
      record_.connState == session::kConnConnected || record_.connState == session::kConnConnecting;
  if (!Confirm(tunnel ? kExitConnectedText : kExitText, kCloseButtonCaption)) return;
  // What runs is decided by the state after the answer: timer ticks and dialer
  // notifications arrive while the question is open, and may end or start a tunnel.
  const int state = record_.connState;
  if (state == session::kConnConnected || state == session::kConnConnecting) {
    SendLogout(protocol::kLogoutByUser);
    TeardownByKind();
  } else if (state == session::kConnLoggedIn) {
    SendLogout(protocol::kLogoutByUser);
  }
  EndProgram();
}

void CTunraDlg::OnTrayExit() {
  const bool connected = record_.connState == session::kConnConnected;
  if (!Confirm(connected ? kExitConnectedText : kExitText, kTrayExitCaption)) return;
  // The tray's exit notifies the back end in every state and ends a tunnel that is up
  // or still starting (a starting program would otherwise outlive the client).
  SendLogout(protocol::kLogoutByUser);
  if (record_.connState == session::kConnConnected || record_.connState == session::kConnConnecting)
    TeardownByKind();
  EndProgram();
}

void CTunraDlg::EndProgram() {
  if (ended_) return;
  ended_ = true;
  // A waiting notice would open a box of a program that has ended.
  notices_.Drop();
  tray_.Remove();  // no icon of an ended program may stay in the notification area
  // The credential file holds the password: it never outlives the program, whichever
  // way the program ends (a system close leaves a running tunnel as it is). Nor does
  // the phonebook a login wrote for a dial that never came (a dial reads it when it
  // starts, and a link that came up had it removed already).
  peers_.tunnel.RemoveOpenVpnFiles();
  RemovePhonebookFile();
  host_.EndDialog();
}

void CTunraDlg::ShowLayout(bool narrow) {
  // ToggleLayout switches away from the layout its flag names as showing.
  narrow_layout_ = !narrow;
  ToggleLayout();
}

std::intptr_t CTunraDlg::OnAppRestore() {
  host_.ShowNormal();
  return 0;
}

std::intptr_t CTunraDlg::OnTrayNotify(std::uintptr_t wparam, std::intptr_t lparam) {
  if (platform_.background.Busy()) return 0;  // as for the buttons (OnCommand)
  const std::uint32_t mouse = static_cast<std::uint32_t>(lparam) & 0xFFFF;
  if (mouse == kWmLButtonUp) host_.ShowNormal();
  if (wparam != TRAY_ICON_ID) return 0;
  if (mouse == kWmRButtonUp) {
    host_.ShowTrayMenu();
  } else if (mouse == kWmLButtonDblClk) {
    // The menu's default item, which has no handler: the left button's restore above
    // is what a double click shows; the window also comes to the foreground.
    host_.SetForeground();
    OnCommand(ID_TRAY_TITLE);
  }
  return 1;
}

void CTunraDlg::OpenHelpPage() {
  platform_.shell.ShellExecute(windows_.main.Handle(), "open", protocol::kHelpPageUrl, "", "",
                               platform::kSwShowDefault);
}

void CTunraDlg::SendLogout(const std::string& mode) {
  // A notice means the session or the tunnel ends on purpose: nothing to bring back.
  state_.relinkWanted = false;
  // The user's own logout or disconnect (the user is at the client, not in a game)
  // ends the session the waiting notices tell of: they would come stale.
  if (mode == protocol::kLogoutByUser) notices_.Drop();
  protocol::SendLogout(ctx_, mode);
  // The panel goes back to its look without a tunnel whether or not the notice arrived.
  account_.ShowIdleLook();
}

void CTunraDlg::TeardownByKind() {
  if (record_.vpnType == session::kVpnOpenVpn) TeardownOpenVpn(kTeardownOrderly, "");
  else TeardownRas();
}

void CTunraDlg::TeardownOpenVpn(int reasonCode, const std::string& reasonText) {
  // 1-3. No more ticks, no process, no tunnel.
  windows_.main.KillTimer(kTimerSupervise);
  windows_.main.KillTimer(kTimerServiceTime);
  peers_.tunnel.StopOpenVpn();
  record_.connState = session::kConnIdle;

  // 4. The default routes the full-tunnel swap replaced go back, on the physical path.
  if (!state_.routeUndo.Empty()) {
    net::CRouteMgmt(platform_.netTables, diag_log_).UndoTunnelRoutes(state_.routeUndo);
    state_.routeUndo = {};
    state_.routesInstalled = 0;
  } else if (state_.savedDefaultIfIndex != 0 && !state_.savedDefaultGateway.empty()) {
    net::CRouteMgmt(platform_.netTables, diag_log_)
        .AddRoute(state_.savedDefaultIfIndex, state_.savedDefaultGateway, "0.0.0.0", "0.0.0.0",
                  net::kMetricBackEnd);
    state_.routesInstalled = 0;
  }

  // 5-7. The progress dialog goes away, the login button works again, the tray shows
  // no tunnel.
  progress_.ResetProgress();
  progress_.StopProgress();
  windows_.vpnConn.Show(platform::kSelf, false);
  windows_.login.Enable(IDC_LOGIN_BUTTON, true);
  tray_.SetIcon(IDI_TRAY_IDLE);

  // 8. An error ended the tunnel: the back end gets the reason, this computer's
  // description and the OpenVPN log.
  if (reasonCode == kTeardownError) protocol::SendEventReport(ctx_, reasonText);

  // 9-10. No working files stay behind (the log's last text is kept for the report for
  // support); the user's programs for the tunnel's end run.
  KeepOpenVpnLog();
  peers_.tunnel.RemoveOpenVpnFiles();
  peers_.programHooks.RunProgramHook("OUT_START");
  peers_.programHooks.RunProgramHook("OUT_STOP");
}

bool CTunraDlg::TestCertificateChecked() { return login_.TestCertificateChecked(); }

void CTunraDlg::StopProgress() {
  // The back end's messages follow: the progress dialog must not stay over them.
  progress_.StopProgress();
  windows_.vpnConn.Show(platform::kSelf, false);
}

void CTunraDlg::WritePhonebook(int vpnType, int replyHasZeroIp) { WritePhonebookFile(vpnType, replyHasZeroIp); }

int CTunraDlg::WritePhonebookFile(int vpnType, int replyHasZeroIp) {
  // In the program's folder, which start-up made the current directory; built from the
  // folder kept then, so a dialog that moves the current directory cannot move it.
  state_.phonebookPath = record_.programDir + "/" + tunnel::kPhonebookFileName;
  ras_config_.PrepareEntry(vpnType, replyHasZeroIp, state_.phonebookPath);
  ras_config_.WriteEntry();
  return 1;
}

void CTunraDlg::CheckTapAdapter() { peers_.tunnel.CheckTapAdapter(); }

}  // namespace app
