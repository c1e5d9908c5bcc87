#include "ui/win32/main_window.h"

#include "app/main/window_rules.h"
#include "platform/win32/cp949_wide.h"
#include "resources/resource_ids.h"
#include "ui/win32/options_dialog.h"
#include "ui/win32/screen_dpi.h"
#include "ui/win32/skin.h"
#include "ui/win32/tray_menu.h"
#include "ui/win32/update_dialog.h"

namespace ui {

namespace {

constexpr COLORREF kLabelBack = RGB(0x29, 0x29, 0x29);
constexpr COLORREF kLabelText = RGB(0xEA, 0xEA, 0xEA);
constexpr COLORREF kPanelText = RGB(0xDD, 0xDD, 0xDD);
constexpr COLORREF kPanelBack = RGB(0x22, 0x22, 0x22);

HBRUSH PanelBrush() {
  static HBRUSH brush = CreateSolidBrush(kPanelBack);
  return brush;
}

// An owner-painted label styled as the logic's table says.
void ApplyLabelStyle(PanelRouter& panel, const app::LabelStyle& style) {
  FontStatic& label = panel.Label(style.id);
  label.SetBackColor(style.backColor);
  label.SetFontStyle(platform::win32::Cp949ToWide(style.face), style.height, style.textColor, style.flags);
}

}  // namespace

MainWindow::MainWindow(session::SessionRecord& record, platform::Platform& platform)
    : record_(record), platform_(platform) {}

MainWindow::~MainWindow() {
  dlg_.reset();  // removes the tray icon if it is still there
  for (PanelRouter* panel : {&login_, &account_, &ip_mgmt_tab5_, &dynamic_ip_tab_, &vpn_conn_, &prog_update_})
    if (panel->hwnd() != nullptr) DestroyWindow(panel->hwnd());
  if (window_.hwnd() != nullptr) DestroyWindow(window_.hwnd());
  if (background_ != nullptr) DeleteObject(background_);
}

app::MainWindowPanels MainWindow::Panels() {
  return {window_,         login_.window(),    account_.window(),    ip_mgmt_tab5_.window(),
          dynamic_ip_tab_.window(), vpn_conn_.window(), prog_update_.window()};
}

bool MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  dlg_ = std::make_unique<app::CTunraDlg>(
      record_, platform_, *this,
      app::MainWindowPeers{openvpn_services_, program_hooks_, update_, login_banner_, account_banner_,
                           diag_log_});
  program_hooks_.AttachLog(diag_log_);
  HWND window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, &MainWindow::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  return window != nullptr;
}

bool MainWindow::IsInLoginPanel(HWND window) const {
  return login_.hwnd() != nullptr && window != nullptr && (window == login_.hwnd() || IsChild(login_.hwnd(), window));
}

int MainWindow::Run() {
  if (window_.hwnd() == nullptr || !IsWindow(window_.hwnd())) return 0;  // ended while starting
  ShowWindow(window_.hwnd(), SW_SHOW);
  UpdateWindow(window_.hwnd());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The login panel's keys: Enter moves to the password, then logs in.
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && IsInLoginPanel(message.hwnd) &&
        dlg_->login().PreTranslateMessage(message.message, message.wParam, GetDlgCtrlID(GetFocus())))
      continue;
    // Enter, Escape and Alt+F4 never reach a window: no key closes the client.
    if (app::SwallowKey(message.message, message.wParam)) continue;
    if (IsDialogMessageW(window_.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MainWindow*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    self->window_.Attach(window);
    self->background_ = LoadSkinBitmap(IDB_MAIN_BACKGROUND);
    self->version_.Attach(window, IDC_MAIN_VERSION);
    self->version_.SetBackColor(kLabelBack);
    self->version_.SetFontStyle(platform::win32::Cp949ToWide(app::kGulim), 11, kLabelText, app::kFontCenter);
    return self->dlg_->OnInitDialog() ? TRUE : FALSE;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  return self != nullptr ? self->Handle(message, wparam, lparam) : FALSE;
}

INT_PTR MainWindow::Result(LRESULT value) {
  SetWindowLongPtrW(window_.hwnd(), DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  // A registered message has no fixed number: it is compared before the table.
  if (message != 0 && message == dlg_->taskbarCreatedMessage()) {
    dlg_->OnTaskbarCreated();
    return Result(0);
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return TRUE;
    case WM_ERASEBKGND:
      return Result(1);  // the background bitmap covers the whole client area
    case WM_NCHITTEST:
      return Result(app::DragAnywhere(static_cast<int>(DefWindowProcW(window_.hwnd(), message, wparam, lparam))));
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DRAWITEM:
      return window_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)) ? TRUE : FALSE;
    case WM_COMMAND:
      dlg_->OnCommand(LOWORD(wparam));
      return TRUE;
    case WM_SYSCOMMAND:
      dlg_->OnSysCommand(static_cast<std::uint32_t>(wparam));
      // The system close ends the window in the logic; the rest (minimize, ...) gets
      // the default processing.
      return (wparam & 0xFFF0) == SC_CLOSE ? TRUE : FALSE;
    case WM_CLOSE:
      // Without this the dialog manager turns WM_CLOSE into an IDCANCEL command, which
      // the window ignores: an installer or taskkill could never close the client.
      dlg_->OnClose();
      return TRUE;
    case WM_TIMER:
      dlg_->OnTimer(static_cast<unsigned>(wparam));
      return TRUE;
    case WM_TRAY_NOTIFY:
      return Result(dlg_->OnTrayNotify(wparam, lparam));
    case WM_APP_RESTORE:
      return Result(dlg_->OnAppRestore());
    case WM_RAS_NOTIFY:
      return Result(dlg_->OnRasNotify(static_cast<std::uint32_t>(wparam), static_cast<std::uint32_t>(lparam)));
    case WM_DESTROY:
      PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}

bool MainWindow::CreatePanel(PanelRouter& panel, int templateId, int background, bool child) {
  if (background) panel.SetBackground(background);
  panel.SetSurface(child ? PanelRouter::Surface::kParentDrags : PanelRouter::Surface::kDrags);
  if (!background) {
    panel.onCtlColor = [](UINT message, HDC, HWND) { return message == WM_CTLCOLORDLG ? PanelBrush() : nullptr; };
  }
  HWND hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId), window_.hwnd(), &PanelRouter::DialogProc,
                                 reinterpret_cast<LPARAM>(&panel));
  // Child panels lie under the main window's own buttons and label, which share the
  // top rows of the client area with them.
  if (child && hwnd != nullptr)
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return hwnd != nullptr;
}

void MainWindow::SetIcons(int iconId) {
  icon_ = LoadIconW(instance_, MAKEINTRESOURCEW(iconId));
  SendMessageW(window_.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window_.hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

bool MainWindow::CreatePanels() {
  bool created = true;

  // Login panel: the remember box, the test box and the banner show the background.
  login_.onInit = [this] {
    login_.SetTransparent(IDC_LOGIN_REMEMBER, kPanelText);
    login_.SetTransparent(IDC_LOGIN_TEST_CERT, kPanelText);
    login_.SetTransparent(IDC_LOGIN_BANNER, kPanelText);
  };
  login_.onCommand = [this](int id, int code) {
    if (code != BN_CLICKED) return;  // STN_CLICKED of the banner is BN_CLICKED too
    if (id == IDC_LOGIN_BANNER) login_banner_.Open();
    else dlg_->login().OnCommand(id);
  };
  created &= CreatePanel(login_, IDD_LOGIN, IDB_LOGIN_BACKGROUND, true);

  // Account panel: five owner-painted labels in the logic's styles.
  account_.onInit = [this] {
    for (const app::LabelStyle& style : app::kAccountLabelStyles) ApplyLabelStyle(account_, style);
    account_.SetTransparent(IDC_ACCOUNT_BANNER, kPanelText);
  };
  account_.onCommand = [this](int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_ACCOUNT_BANNER) account_banner_.Open();
    else dlg_->account().OnCommand(id);
  };
  created &= CreatePanel(account_, IDD_ACCOUNT, IDB_ACCOUNT_BACKGROUND, true);

  // IP list panels: their views set up the lists and route the lists' notifications.
  ip_pool_view_.Bind(&dlg_->ipMgmtTab5());
  ip_classes_view_.Bind(&dlg_->dynamicIpTab());
  ip_pool_view_.Prepare();
  created &= CreatePanel(ip_mgmt_tab5_, IDD_IP_POOL, IDB_IP_PANEL_BACKGROUND, true);
  ip_classes_view_.Prepare();
  created &= CreatePanel(dynamic_ip_tab_, IDD_IP_CLASSES, IDB_IP_PANEL_BACKGROUND, true);

  // Progress dialog: a top-level popup with a styled status line and the two-colour
  // bar, animated on its own timer.
  vpn_conn_.onInit = [this] {
    ApplyLabelStyle(vpn_conn_, app::kConnStatusStyle);
    const app::ProgressBarLook& look = app::kConnProgressLook;
    // The caption over the filled part keeps the control's default: the window colour.
    conn_progress_bar_.Attach(vpn_conn_.hwnd(), IDC_PROGRESS_BAR,
                              {look.backColor, look.barColor, GetSysColor(COLOR_WINDOW), look.textOnBackColor});
  };
  vpn_conn_.onTimer = [this](unsigned timer) { dlg_->progress().OnTimer(timer); };
  created &= CreatePanel(vpn_conn_, IDD_VPN_CONN, IDB_PROGRESS_BACKGROUND, false);
  // Update progress window: the same popup look, a bar that only says a download runs.
  prog_update_.onInit = [this] {
    const app::ProgressBarLook& look = app::kUpdateProgressLook;
    update_progress_bar_.Attach(prog_update_.hwnd(), IDC_PROG_UPDATE_BAR,
                                {look.backColor, look.barColor, GetSysColor(COLOR_WINDOW), look.textOnBackColor});
    prog_update_logic_.OnInitDialog();
  };
  created &= CreatePanel(prog_update_, IDD_PROG_UPDATE, IDB_PROGRESS_BACKGROUND, false);
  return created;
}

platform::Rect MainWindow::DesktopRect() {
  RECT r{};
  GetWindowRect(GetDesktopWindow(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

int MainWindow::Dpi() { return ScreenDpi(); }

void MainWindow::Minimize() { SendMessageW(window_.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void MainWindow::ShowNormal() { ShowWindow(window_.hwnd(), SW_SHOWNORMAL); }

void MainWindow::SetForeground() { SetForegroundWindow(window_.hwnd()); }

void MainWindow::EndDialog() { DestroyWindow(window_.hwnd()); }

void MainWindow::ShowTrayMenu() { ui::ShowTrayMenu(window_.hwnd()); }

void MainWindow::RunOptionsDialog() {
  ui::RunOptionsDialog({window_.hwnd(), window_, record_, platform_.registry, dlg_->reconnect(), *dlg_});
}

void MainWindow::RunUpdateDialog() {
  ui::RunUpdateDialog({window_.hwnd(), record_, update_, *this, platform_.shell});
}

void MainWindow::TeardownForUpdate() { dlg_->TeardownOpenVpn(app::kTeardownForUpdate, ""); }

void MainWindow::RemoveTrayIcon() { dlg_->tray().Remove(); }

void MainWindow::CloseMainWindow() { PostMessageW(window_.hwnd(), WM_CLOSE, 0, 0); }

void MainWindow::SendRasNotify(std::uint32_t state, std::uint32_t error) {
  // On the dialer's thread: the handler runs on the window's thread, and the dialer
  // waits for it, so every state change happens on the window's thread in order.
  SendMessageA(window_.hwnd(), WM_RAS_NOTIFY, static_cast<WPARAM>(state), static_cast<LPARAM>(error));
}

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_.hwnd(), &paint);
  PaintBitmap(dc, background_);
  EndPaint(window_.hwnd(), &paint);
}

}  // namespace ui
