// Entry point of tunra.exe: the application object's start-up, then the main window
// until it is closed.
#include "platform/win32/windows_include.h"

#include <cstdlib>

#include "app/startup/tunra_app.h"
#include "platform/win32/win32_app_shell.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/main_window.h"

namespace {
// The process-wide session record.
session::SessionRecord g_session;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  platform::win32::Win32AppShell shell;
  platform::win32::Win32System system;
  app::CTunraApp application(g_session, shell, system);
  // The first argument after the program name, split by the C runtime's rules.
  const char* branding = __argc > 1 ? __argv[1] : "";
  application.InitInstance(branding, [instance] {
    ui::MainWindow main_window(g_session);
    if (main_window.Create(instance)) main_window.Run();
  });
  return 0;
}
