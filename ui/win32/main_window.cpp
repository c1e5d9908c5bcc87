#include "ui/win32/main_window.h"

#include "app/main/window_rules.h"
#include "resources/resource_ids.h"
#include "ui/win32/skin.h"
#include "ui/win32/tray_menu.h"

namespace ui {

namespace {

constexpr COLORREF kLabelBack = RGB(0x29, 0x29, 0x29);
constexpr COLORREF kLabelText = RGB(0xEA, 0xEA, 0xEA);
constexpr COLORREF kPanelBack = RGB(0x22, 0x22, 0x22);

HBRUSH PanelBrush() {
  static HBRUSH brush = CreateSolidBrush(kPanelBack);
  return brush;
}

}  // namespace

MainWindow::MainWindow(app::SessionRecord& record) : record_(record) {}

MainWindow::~MainWindow() {
  dlg_.reset();  // removes the tray icon if it is still there
  for (Panel* panel : {&login_, &account_, &ip_mgmt_tab5_, &dynamic_ip_tab_, &vpn_conn_, &prog_update_})
    if (panel->hwnd != nullptr) DestroyWindow(panel->hwnd);
  if (window_.hwnd() != nullptr) DestroyWindow(window_.hwnd());
  if (background_ != nullptr) DeleteObject(background_);
}

bool MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  dlg_ = std::make_unique<app::CTunraDlg>(record_, app::MainWindowPlatform{window_, system_, registry_, shell_},
                                          *this, services_);
  HWND window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, &MainWindow::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  return window != nullptr;
}

int MainWindow::Run() {
  ShowWindow(window_.hwnd(), SW_SHOW);
  UpdateWindow(window_.hwnd());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
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
    self->background_ = LoadBitmapW(self->instance_, MAKEINTRESOURCEW(IDB_MAIN_BACKGROUND));
    self->version_.Attach(window, IDC_MAIN_VERSION);
    self->version_.SetBackColor(kLabelBack);
    self->version_.SetFontStyle(L"굴림", 11, kLabelText, FontStatic::kCenter);
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
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        dlg_->OnCommand(app::kIdClose);  // the default processing would end the dialog
        return TRUE;
      }
      return FALSE;  // default processing (minimize, ...)
    case WM_TRAY_NOTIFY:
      return Result(dlg_->OnTrayNotify(wparam, lparam));
    case WM_APP_RESTORE:
      return Result(dlg_->OnAppRestore());
    case WM_DESTROY:
      PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK MainWindow::PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    return TRUE;
  }
  auto* panel = reinterpret_cast<Panel*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(PanelBrush());
    case WM_DRAWITEM:
      return panel != nullptr && panel->window.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    case WM_NCHITTEST:
      // Panels drag the main window too, like every point of its surface.
      SetWindowLongPtrW(window, DWLP_MSGRESULT, HTTRANSPARENT);
      return TRUE;
    default:
      (void)wparam;
      return FALSE;
  }
}

bool MainWindow::CreatePanel(Panel& panel, int templateId, HWND parent, bool child) {
  panel.hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId), parent, &MainWindow::PanelProc,
                                  reinterpret_cast<LPARAM>(&panel));
  panel.window.Attach(panel.hwnd);
  // Child panels lie under the main window's own buttons and label, which share the
  // top rows of the client area with them.
  if (child && panel.hwnd != nullptr)
    SetWindowPos(panel.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return panel.hwnd != nullptr;
}

void MainWindow::SetIcons(int iconId) {
  icon_ = LoadIconW(instance_, MAKEINTRESOURCEW(iconId));
  SendMessageW(window_.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window_.hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

app::MainWindowPanels MainWindow::CreatePanels() {
  HWND main = window_.hwnd();
  app::MainWindowPanels panels;
  if (CreatePanel(login_, IDD_LOGIN, main, true)) panels.login = &login_.window;
  if (CreatePanel(account_, IDD_ACCOUNT, main, true)) panels.account = &account_.window;
  if (CreatePanel(ip_mgmt_tab5_, IDD_IP_CLASSES, main, true)) panels.ipMgmtTab5 = &ip_mgmt_tab5_.window;
  if (CreatePanel(dynamic_ip_tab_, IDD_IP_POOL, main, true)) panels.dynamicIpTab = &dynamic_ip_tab_.window;
  if (CreatePanel(vpn_conn_, IDD_VPN_CONN, main, false)) panels.vpnConn = &vpn_conn_.window;
  if (CreatePanel(prog_update_, IDD_PROG_UPDATE, main, false)) panels.progUpdate = &prog_update_.window;
  return panels;
}

platform::Rect MainWindow::DesktopRect() {
  RECT r{};
  GetWindowRect(GetDesktopWindow(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void MainWindow::Minimize() { SendMessageW(window_.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void MainWindow::ShowNormal() { ShowWindow(window_.hwnd(), SW_SHOWNORMAL); }

void MainWindow::EndDialog() { DestroyWindow(window_.hwnd()); }

void MainWindow::ShowTrayMenu() { ui::ShowTrayMenu(window_.hwnd()); }

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_.hwnd(), &paint);
  PaintBitmap(dc, background_);
  EndPaint(window_.hwnd(), &paint);
}

}  // namespace ui
