// The main window: a borderless dialog painted from the skin, narrow at start, with
// its bitmap buttons, version label and tray icon.
#pragma once

#include <windows.h>

#include "ui/win32/font_static.h"
#include "ui/win32/skin.h"
#include "ui/win32/tray_icon.h"

namespace ui {

class MainWindow {
 public:
  static constexpr int kClientVersion = 1185;

  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  // Creates the (hidden) window from its template; false on failure.
  bool Create(HINSTANCE instance);
  // Shows the window and runs the message loop until the window is destroyed.
  int Run();

  HWND window() const { return window_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void OnInitDialog();
  void OnCommand(int id);
  void ToggleLayout();
  void Exit();
  void Paint();
  INT_PTR Result(LRESULT value);

  HWND window_ = nullptr;
  HBITMAP background_ = nullptr;
  HICON icon_ = nullptr;
  BitmapButton minimize_, close_, update_, options_, help_;
  FontStatic version_;
  TrayIcon tray_;
  RECT full_client_{};
  bool narrow_layout_ = false;
};

}  // namespace ui
