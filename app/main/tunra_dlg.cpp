#include "app/main/tunra_dlg.h"

#include <cstdio>

#include "app/main/main_layout.h"
#include "settings/settings_table.h"
#include "text/cp949.h"

namespace app {

namespace {

constexpr std::uint32_t kScMinimize = 0xF020;
constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr int kSwShowDefault = 10;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

struct ButtonBitmaps {
  int id, normal, pressed;
};
constexpr ButtonBitmaps kButtons[] = {
    {kIdMinimize, 161, 162}, {kIdClose, 157, 158}, {kIdUpdate, 159, 160},
    {kIdOptions, 181, 182},  {kIdHelp, 221, 221},
};

std::string ForwardSlashes(const std::string& path) { return text::ReplaceAll(path, "\\", "/"); }

}  // namespace

std::string TapAdapterName(bool wow64, const std::string& windows_version) {
  return wow64 && (windows_version == "6.2" || windows_version == "6.3") ? kTapAdapterWow64 : kTapAdapterDefault;
}

CTunraDlg::CTunraDlg(session::SessionRecord& record, MainWindowPlatform platform, IMainWindowHost& host,
                     IMainWindowServices& services)
    : record_(record),
      platform_(platform),
      host_(host),
      services_(services),
      reg_(platform.registry),
      tray_(platform.shell, platform.system) {}

CTunraDlg::~CTunraDlg() = default;

bool CTunraDlg::OnInitDialog() {
  platform::IWindow& w = platform_.window;
  host_.SetIcons(kMainIcon);

  record_.webHost = services_.ResolveLoginHost();
  if (record_.webHost.empty()) record_.webHost = "0.0.0.0";

  for (const ButtonBitmaps& b : kButtons) w.SetBitmaps(b.id, b.normal, b.pressed);
  minimize_rect_ = w.GetRect(kIdMinimize);
  close_rect_ = w.GetRect(kIdClose);

  services_.AllowThroughFirewall();
  PrepareEnvironment();
  SetUpWindows();
  if (panels_.login) panels_.login->SetFocus(kIdLoginUser);

  // Create the settings key when it is missing; reads before this simply failed.
  platform::RegKey key = 0;
  if (platform_.registry.CreateKeyEx(record_.settingsRoot, record_.settingsKeyPath, kKeyAllAccess, key) !=
      platform::kErrorSuccess) {
    w.MessageBox("RegCreateKeyEx 오류", kAppTitle, platform::kMbOk);
  } else {
    platform_.registry.CloseKey(key);
  }

  char version[32];
  std::snprintf(version, sizeof version, "( Ver %d )", record_.clientVersion);
  w.SetText(kIdVersion, version);
  w.Redraw(kIdVersion);

  if (!record_.userId.empty() && !record_.password.empty() && panels_.login) {
    panels_.login->SetText(kIdLoginUser, record_.userId);
    panels_.login->SetText(kIdLoginPassword, record_.password);
  }
  return true;
}

void CTunraDlg::PrepareEnvironment() {
  platform::ISystem& sys = platform_.system;

  // 1. The program's folder becomes the current directory and the tunnel files' home.
  const std::string module = sys.ModuleFileName();
  const std::size_t slash = module.rfind('\\');
  sys.SetCurrentDirectory(slash == std::string::npos ? module : module.substr(0, slash + 1));
  record_.programDir = ForwardSlashes(sys.CurrentDirectory());

  // 2-3. The tunnel adapter's name by WOW64 and the Windows version.
  const bool wow64 = platform_.program64 || (sys.HasIsWow64Process() && sys.IsWow64Process());
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
    services_.EnableConnectionByDevice(record_.tapAdapterName, false);
  } else {
    record_.vpnType = session::kVpnOpenVpn;
    services_.EnableConnectionByDevice(record_.tapAdapterName, true);
  }

  // 9-10. Start values and the update download folder.
  record_.ResetStartValues();
  record_.tempDir = ForwardSlashes(record_.windowsDir + "/" + "Temp");
  sys.CreateDirectory(record_.tempDir);
}

void CTunraDlg::SetUpWindows() {
  platform::IWindow& w = platform_.window;
  panels_ = host_.CreatePanels();
  if (panels_.account && panels_.login) {
    account_ = std::make_unique<CLogoutDlg>(
        CLogoutDlg::Context{record_, *panels_.account, *panels_.login, w, reconnect_, *this, peers_});
    account_->OnInitDialog();
  }
  if (panels_.vpnConn) {
    conn_progress_ = std::make_unique<CVpnConnDlg>(record_, *panels_.vpnConn);
    conn_progress_->OnInitDialog();
  }
  w.SetText(platform::kSelf, "Lumrex");  // a second instance finds the window by it

  if (!tray_.Create(host_.Handle())) return;  // the panels keep their template places
  tray_.SetTip(kTrayTip);
  tray_.SetIcon(kTrayIconIdle);

  const platform::Rect window = w.GetRect(platform::kSelf);
  client_ = {0, 0, window.Width(), window.Height()};
  ToggleLayout();

  if (panels_.login) {
    panels_.login->Move(platform::kSelf, BottomLeft(client_, panels_.login->GetRect(platform::kSelf)));
    panels_.login->Show(platform::kSelf, true);
  }
  if (panels_.account) {
    panels_.account->Move(platform::kSelf, BottomLeft(client_, panels_.account->GetRect(platform::kSelf)));
    panels_.account->Show(platform::kSelf, false);
  }
  if (panels_.ipMgmtTab5) {
    const platform::Rect place = IpPanelPlace(client_, panels_.ipMgmtTab5->GetRect(platform::kSelf));
    panels_.ipMgmtTab5->Move(platform::kSelf, place);
    panels_.ipMgmtTab5->Show(platform::kSelf, false);
    if (panels_.dynamicIpTab) {
      panels_.dynamicIpTab->Move(platform::kSelf, place);
      panels_.dynamicIpTab->Show(platform::kSelf, false);
    }
  }
  for (platform::IWindow* progress : {panels_.progUpdate, panels_.vpnConn}) {
    if (!progress) continue;
    progress->Show(platform::kSelf, false);
    CenterOnMainWindow(*progress);
  }
}

void CTunraDlg::ToggleLayout() {
  platform::IWindow& w = platform_.window;
  const LayoutButtons& places = narrow_layout_ ? kWideButtons : kNarrowButtons;
  w.Move(kIdMinimize, places.minimize);
  w.Move(kIdClose, places.close);
  if (panels_.account) panels_.account->SetBitmaps(kIdAccountExpand, places.expandNormal, places.expandPressed);
  const int width = narrow_layout_ ? client_.Width() : client_.Width() / 2;
  w.Move(platform::kSelf, ResizedMainWindow(w.GetRect(platform::kSelf), width, client_.Height()));
  w.Redraw(kIdMinimize);
  w.Redraw(kIdClose);
  if (panels_.account) panels_.account->Redraw(kIdAccountExpand);
  narrow_layout_ = !narrow_layout_;
}

void CTunraDlg::CenterOnMainWindow(platform::IWindow& target) {
  // The window is borderless: its client area on the screen is the window itself.
  const platform::Rect area = host_.Handle() ? platform_.window.GetRect(platform::kSelf) : host_.DesktopRect();
  target.Move(platform::kSelf, CenteredOn(area, target.GetRect(platform::kSelf)));
}

void CTunraDlg::OnCommand(int id) {
  switch (id) {
    case kIdMinimize: host_.Minimize(); break;
    case kIdUpdate: host_.RunUpdateDialog(); break;
    case kIdOptions: host_.RunOptionsDialog(); break;
    case kIdHelp: OpenHelpPage(); break;
    case kIdTrayOpen: platform_.window.Show(platform::kSelf, true); break;
    case kIdClose: OnCloseButton(); break;
    case kIdTrayExit: OnTrayExit(); break;
    default: break;  // kIdTrayTitle included
  }
}

void CTunraDlg::OnSysCommand(std::uint32_t command) {
  if ((command & 0xFFF0) == kScMinimize) {
    platform_.window.Show(platform::kSelf, true);
  } else if ((command & 0xFFF0) == kScClose) {
    // A tunnel and the session are left as they are; only the icon goes.
    platform_.window.Show(platform::kSelf, false);
    EndProgram();
  }
}

bool CTunraDlg::Confirm(const char* text, const char* caption) {
  if (ended_) return false;
  const int answer = platform_.window.MessageBox(text, caption, platform::kMbYesNo);
  // The box runs a nested message loop: another exit may have ended the program.
  return answer == platform::kIdYes && !ended_;
}

void CTunraDlg::SendLogoutNotice() {
  if (peers_.logoutNotice) peers_.logoutNotice->SendLogout(kLogoutByUserMode);
}

void CTunraDlg::OnCloseButton() {
  // Connecting counts as connected here.
  const bool tunnel = record_.connState == session::kConnConnected || record_.connState == session::kConnConnecting;
  if (!Confirm(tunnel ? kExitConnectedText : kExitText, kCloseButtonCaption)) return;
  // What runs is decided by the state after the answer: timer ticks and dialer
  // notifications arrive while the question is open, and may end or start a tunnel.
  const int state = record_.connState;
  if (state == session::kConnConnected || state == session::kConnConnecting) {
    SendLogoutNotice();
    TeardownByKind(record_.vpnType, peers_.teardown);
  } else if (state == session::kConnLoggedIn) {
    SendLogoutNotice();
  }
  EndProgram();
}

void CTunraDlg::OnTrayExit() {
  const bool connected = record_.connState == session::kConnConnected;
  if (!Confirm(connected ? kExitConnectedText : kExitText, kTrayExitCaption)) return;
  // The tray's exit notifies the back end in every state and ends only a connected tunnel.
  SendLogoutNotice();
  if (record_.connState == session::kConnConnected) TeardownByKind(record_.vpnType, peers_.teardown);
  EndProgram();
}

void CTunraDlg::EndProgram() {
  if (ended_) return;
  ended_ = true;
  tray_.Remove();  // no icon of an ended program may stay in the notification area
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
  const std::uint32_t mouse = static_cast<std::uint32_t>(lparam) & 0xFFFF;
  if (mouse == kWmLButtonUp) host_.ShowNormal();
  if (wparam != kTrayIconId) return 0;
  if (mouse == kWmRButtonUp) host_.ShowTrayMenu();
  // A double click sends the menu's default item, which has no handler: the left
  // button's restore above is all it does.
  (void)kWmLButtonDblClk;
  return 1;
}

void CTunraDlg::OpenHelpPage() {
  platform_.shell.ShellExecute(host_.Handle(), "open", std::string("http://") + TUNRA_WEB_HOST + "/customer/faq.php",
                               "", "", kSwShowDefault);
}

}  // namespace app
