// Entry point of tunra.exe: one instance per session, then the main window until it
// is closed.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "ui/win32/main_window.h"
#include "ui/win32/single_instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  InitCommonControlsEx(&controls);
  OleInitialize(nullptr);

  int result = 0;
  if (ui::ClaimSingleInstance()) {
    ui::MainWindow main_window;
    if (main_window.Create(instance)) result = main_window.Run();
  }
  OleUninitialize();
  return result;
}
