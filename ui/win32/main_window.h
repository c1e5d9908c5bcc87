// The main window on the real system: the dialog of template 102 and its child
// dialogs, bound to the main window's logic (app::CTunraDlg) through control IDs.
#pragma once

#include "platform/win32/windows_include.h"

#include <memory>

#include "app/main/tunra_dlg.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/font_static.h"
#include "ui/win32/main_window_services.h"

namespace ui {

class MainWindow final : public app::IMainWindowHost {
 public:
  explicit MainWindow(app::SessionRecord& record);
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

 private:
  struct Panel {
    HWND hwnd = nullptr;
    DialogWindow window;
  };

  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  static INT_PTR CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Result(LRESULT value);
  bool CreatePanel(Panel& panel, int templateId, HWND parent, bool child);
  void Paint();

  app::SessionRecord& record_;
  platform::win32::Win32System system_;
  platform::win32::Win32Registry registry_;
  platform::win32::Win32Shell shell_;
  MainWindowServices services_;
  DialogWindow window_;
  std::unique_ptr<app::CTunraDlg> dlg_;
  Panel login_, account_, ip_mgmt_tab5_, dynamic_ip_tab_, vpn_conn_, prog_update_;
  FontStatic version_;
  HBITMAP background_ = nullptr;
  HICON icon_ = nullptr;
  HINSTANCE instance_ = nullptr;
};

}  // namespace ui
