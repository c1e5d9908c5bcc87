#include "ui/win32/main_window.h"

#include <shellapi.h>

#include <string>

#include "resources/resource_ids.h"
#include "platform/win32/cp949_wide.h"

namespace ui {

namespace {

// Minimize and close button rectangles (client pixels) of the two layouts.
constexpr RECT kNarrowMinimize{387, 10, 412, 32}, kNarrowClose{417, 10, 442, 32};
constexpr RECT kWideMinimize{835, 10, 860, 32}, kWideClose{865, 10, 890, 32};

constexpr COLORREF kLabelBack = RGB(0x29, 0x29, 0x29);
constexpr COLORREF kLabelText = RGB(0xEA, 0xEA, 0xEA);

void MoveControl(HWND control, const RECT& rect) {
  MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace

MainWindow::~MainWindow() {
  tray_.Remove();
  if (window_ != nullptr) DestroyWindow(window_);
  if (background_ != nullptr) DeleteObject(background_);
}

bool MainWindow::Create(HINSTANCE instance) {
  window_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                               &MainWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  return window_ != nullptr;
}

int MainWindow::Run() {
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsSwallowedKey(message, true)) continue;
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND window, UINT message, WPARAM wparam,
                                        LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MainWindow*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    self->window_ = window;
    self->OnInitDialog();
    return TRUE;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  return self != nullptr ? self->Handle(message, wparam, lparam) : FALSE;
}

INT_PTR MainWindow::Result(LRESULT value) {
  SetWindowLongPtrW(window_, DWLP_MSGRESULT, value);
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
      return Result(HitTestAsCaption(window_, wparam, lparam));
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      for (const BitmapButton* button : {&minimize_, &close_, &update_, &options_, &help_}) {
        if (button->window() == item.hwndItem) {
          button->Draw(item);
          return TRUE;
        }
      }
      return FALSE;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wparam));
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(window_, SW_SHOW);
        return FALSE;  // the default processing minimizes
      }
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        ShowWindow(window_, SW_HIDE);
        Exit();
        return TRUE;
      }
      return FALSE;
    case WM_TRAY_NOTIFY:
      if (LOWORD(lparam) == WM_LBUTTONUP) ShowWindow(window_, SW_SHOWNORMAL);
      return Result(tray_.OnNotification(wparam, lparam) ? 1 : 0);
    case WM_APP_RESTORE:
      ShowWindow(window_, SW_SHOWNORMAL);
      return Result(0);
    case WM_DESTROY:
      tray_.Remove();
      PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}

void MainWindow::OnInitDialog() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  icon_ = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  background_ = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_MAIN_BACKGROUND));

  minimize_.Attach(window_, IDC_MAIN_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_PRESSED);
  close_.Attach(window_, IDC_MAIN_CLOSE, IDB_CLOSE, IDB_CLOSE_PRESSED);
  update_.Attach(window_, IDC_MAIN_UPDATE, IDB_UPDATE, IDB_UPDATE_PRESSED);
  options_.Attach(window_, IDC_MAIN_OPTIONS, IDB_OPTIONS, IDB_OPTIONS_PRESSED);
  help_.Attach(window_, IDC_MAIN_HELP, IDB_HELP, IDB_HELP);

  // A second instance finds the running one by this title.
  SetWindowTextW(window_, TUNRA_WINDOW_TITLE);

  if (tray_.Create(window_)) {
    tray_.SetTip(platform::win32::Cp949ToWide(" TUNRA 매니저 "));
    tray_.SetIcon(IDI_TRAY_IDLE);
    GetClientRect(window_, &full_client_);
    ToggleLayout();  // the window starts narrow
  }

  version_.Attach(window_, IDC_MAIN_VERSION);
  version_.SetBackColor(kLabelBack);
  version_.SetFontStyle(L"굴림", 11, kLabelText, FontStatic::kCenter);
  version_.SetText(L"( Ver " + std::to_wstring(kClientVersion) + L" )");
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case IDC_MAIN_MINIMIZE:
      SendMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      break;
    case IDC_MAIN_CLOSE:
    case ID_TRAY_EXIT:
      Exit();
      break;
    case ID_TRAY_OPEN:
      ShowWindow(window_, SW_SHOW);
      break;
    case IDC_MAIN_HELP: {
      const std::wstring url =
          L"http://" + platform::win32::Cp949ToWide(TUNRA_WEB_HOST) + L"/customer/faq.php";
      ShellExecuteW(window_, L"open", url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
      break;
    }
    default:
      // IDOK and IDCANCEL (Enter and Escape reaching the dialog) and commands whose
      // dialogs do not exist yet do nothing.
      break;
  }
}

void MainWindow::ToggleLayout() {
  const int height = full_client_.bottom - full_client_.top;
  const int full_width = full_client_.right - full_client_.left;
  const bool to_narrow = !narrow_layout_;
  MoveControl(minimize_.window(), to_narrow ? kNarrowMinimize : kWideMinimize);
  MoveControl(close_.window(), to_narrow ? kNarrowClose : kWideClose);
  SetWindowPos(window_, nullptr, 0, 0, to_narrow ? full_width / 2 : full_width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  narrow_layout_ = to_narrow;
}

void MainWindow::Exit() {
  // The logout question and the tunnel teardown belong here once sessions exist.
  tray_.Remove();
  DestroyWindow(window_);
}

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  PaintBitmap(dc, background_);
  EndPaint(window_, &paint);
}

}  // namespace ui
