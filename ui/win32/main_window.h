// The main window on the real system: the dialog of template 102 and its child
// dialogs, bound to the logic classes (main window, login panel, session login,
// account panel, progress dialog) through control IDs, with the exchanges running over
// WinINet.
#pragma once

#include "platform/win32/windows_include.h"

#include <memory>

#include "app/login/login_dlg.h"
#include "app/main/exchange_logout_notice.h"
#include "app/main/tunra_dlg.h"
#include "app/session/login_session.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_internet.h"
#include "platform/win32/win32_net_tables.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "protocol/exchange_context.h"
#include "protocol/web_mgmt.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/font_static.h"
#include "ui/win32/main_window_services.h"
#include "ui/win32/panel_router.h"
#include "ui/win32/session_bindings.h"

namespace ui {

class MainWindow final : public app::IMainWindowHost, public app::ILoginMainWindow {
 public:
  explicit MainWindow(session::SessionRecord& record);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Creates the (hidden) window from its template; false on failure.
  bool Create(HINSTANCE instance);
  // Shows the window and runs its message loop until the window is closed.
  int Run();

  // app::IMainWindowHost
  platform::WindowHandle Handle() override { return reinterpret_cast<platform::WindowHandle>(window_.hwnd()); }
  void SetIcons(int iconId) override;
  app::MainWindowPanels CreatePanels() override;
  platform::Rect DesktopRect() override;
  void Minimize() override;
  void ShowNormal() override;
  void EndDialog() override;
  void ShowTrayMenu() override;
  void RunUpdateDialog() override {}   // the update dialog comes with the update work
  void RunOptionsDialog() override {}  // the options dialog comes with the options work

  // app::ILoginMainWindow
  void ShowWideLayout() override { dlg_->ShowLayout(false); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Result(LRESULT value);
  bool CreatePanel(PanelRouter& panel, int templateId, int background, bool child);
  bool IsInLoginPanel(HWND window) const;
  void Paint();

  session::SessionRecord& record_;
  HINSTANCE instance_ = nullptr;

  // The system.
  platform::win32::Win32System system_;
  platform::win32::Win32SystemFacts facts_;
  platform::win32::Win32Registry registry_;
  platform::win32::Win32Shell shell_;
  platform::win32::Win32Files files_;
  platform::win32::Win32Clock clock_;
  platform::win32::Win32NetTables tables_;
  platform::win32::Win32Internet internet_;
  MainWindowServices services_{tables_};

  // Windows.
  DialogWindow window_;
  PanelRouter login_, account_, ip_mgmt_tab5_, dynamic_ip_tab_, vpn_conn_, prog_update_;
  FontStatic version_;
  HBITMAP background_ = nullptr;
  HICON icon_ = nullptr;

  // The session and its collaborators.
  protocol::CWebMgmt web_{internet_, record_.requestHeaders, "tunra",
                          [this](const std::string& text, const std::string& caption) {
                            window_.MessageBox(text, caption, platform::kMbOk);
                          }};
  std::unique_ptr<app::CTunraDlg> dlg_;
  std::unique_ptr<app::CLoginDlg> login_dlg_;
  MainWindowSessionHooks hooks_{[this] { return login_dlg_ && login_dlg_->TestCertificateChecked(); },
                                [this] {
                                  if (dlg_ && dlg_->connProgress()) dlg_->connProgress()->StopProgress();
                                }};
  protocol::ExchangeContext ctx_{record_, web_,  window_, account_.window(), registry_, system_, facts_,
                                 tables_, shell_, files_,  clock_,           hooks_,    0};
  app::ProtocolLoginExchanges exchanges_{ctx_};
  app::ExchangeLogoutNotice logout_notice_{ctx_};
  ConnProgressLink progress_link_{[this] { return dlg_ ? dlg_->connProgress() : nullptr; }};
  NotYetInProgram not_yet_;
  app::NoUpdateOffered update_;
  BannerLink login_banner_{shell_, [this] { return reinterpret_cast<platform::WindowHandle>(login_.hwnd()); }};
  BannerLink account_banner_{shell_, [this] { return reinterpret_cast<platform::WindowHandle>(account_.hwnd()); }};
  app::LoginWindowState login_state_;
  std::unique_ptr<app::CLoginSession> session_;
};

}  // namespace ui
