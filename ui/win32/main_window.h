// The main window on the real system: the dialog of template 102 and its child
// dialogs, bound to the main window's logic (CTunraDlg, which owns every panel's
// logic) through control IDs. This class owns the windows and the main window's peers
// (banners, tunnel services, program hooks, the program update); it routes each
// window's messages to the logic and does the drawing the logic describes. For the
// program update it is the main window's side: the teardown, the tray icon and the
// close it asks for.
#pragma once

#include "platform/win32/windows_include.h"

#include <memory>

#include "app/hooks/program_hooks_on_system.h"
#include "app/main/tunra_dlg.h"
#include "app/openvpn/openvpn_services.h"
#include "app/update/prog_update_dlg.h"
#include "app/update/program_update.h"
#include "platform/platform.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/font_static.h"
#include "ui/win32/ip_panel_view.h"
#include "ui/win32/panel_router.h"
#include "ui/win32/progress_ex.h"
#include "ui/win32/banner_link.h"

namespace ui {

class MainWindow final : public app::IMainWindowHost, public app::IUpdateShell {
 public:
  MainWindow(session::SessionRecord& record, platform::Platform& platform);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Creates the (hidden) window from its template; false on failure.
  bool Create(HINSTANCE instance);
  // Shows the window and runs its message loop until the window is closed.
  int Run();

  // app::IMainWindowHost
  app::MainWindowPanels Panels() override;
  void SetIcons(int iconId) override;
  bool CreatePanels() override;
  platform::Rect DesktopRect() override;
  int Dpi() override;
  void Minimize() override;
  void ShowNormal() override;
  void SetForeground() override;
  void EndDialog() override;
  void ShowTrayMenu() override;
  void RunUpdateDialog() override;
  void RunOptionsDialog() override;
  void SendRasNotify(std::uint32_t state, std::uint32_t error) override;

  // app::IUpdateShell
  void TeardownForUpdate() override;
  void RemoveTrayIcon() override;
  void CloseMainWindow() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Result(LRESULT value);
  bool CreatePanel(PanelRouter& panel, int templateId, int background, bool child);
  bool IsInLoginPanel(HWND window) const;
  void Paint();

  session::SessionRecord& record_;
  platform::Platform& platform_;
  HINSTANCE instance_ = nullptr;

  // Windows.
  DialogWindow window_;
  PanelRouter login_, account_, ip_mgmt_tab5_, dynamic_ip_tab_, vpn_conn_, prog_update_;
  // The IP list panels' lists, and their notifications routed to the panels' logic.
  IpPanelView ip_pool_view_{ip_mgmt_tab5_, app::kPoolPanelLook}, ip_classes_view_{dynamic_ip_tab_, app::kClassPanelLook};
  FontStatic version_;
  ProgressEx conn_progress_bar_, update_progress_bar_;
  app::CProgUpdateDlg prog_update_logic_{prog_update_.window()};
  HBITMAP background_ = nullptr;
  HICON icon_ = nullptr;

  // Peers of the main window: the banners, and what other work brings.
  BannerLink login_banner_{platform_.shell, [this] { return reinterpret_cast<platform::WindowHandle>(login_.hwnd()); }};
  BannerLink account_banner_{platform_.shell,
                             [this] { return reinterpret_cast<platform::WindowHandle>(account_.hwnd()); }};
  // The diagnostics log and the OpenVPN tunnel's services, which report to it.
  app::CMainDiagLog diag_log_{platform_.files, platform_.clock};
  app::COpenVpnServices openvpn_services_{record_, platform_, window_, diag_log_};
  app::ProgramHooksOnSystem program_hooks_{platform_, record_};
  app::CProgramUpdate update_{app::ProgramUpdateParts{record_, platform_.internet, platform_.background, platform_.files,
                                                      platform_.processes, window_, prog_update_.window(),
                                                      diag_log_, *this}};

  std::unique_ptr<app::CTunraDlg> dlg_;
};

}  // namespace ui
