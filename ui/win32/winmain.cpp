// Entry point of tunra.exe: builds the one bundle of platform services, runs the
// application object's start-up, then the main window until it is closed.
#include "platform/win32/windows_include.h"

#include <cstdlib>

#include "app/startup/client_version.h"
#include "app/startup/tunra_app.h"
#include "platform/platform.h"
#include "platform/win32/win32_app_shell.h"
#include "platform/win32/win32_background.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_internet.h"
#include "platform/win32/win32_net_connections.h"
#include "platform/win32/win32_net_tables.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_ras.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/main_window.h"

namespace {

// The process-wide session record.
session::SessionRecord g_session;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  platform::win32::Win32Registry registry;
  platform::win32::Win32Profile profile;
  platform::win32::Win32Internet internet;
  platform::win32::Win32NetTables net_tables;
  platform::win32::Win32Ras ras;
  platform::win32::Win32NetConnections net_connections;
  platform::win32::Win32Processes processes;
  platform::win32::Win32Shell shell;
  platform::win32::Win32System system;
  platform::win32::Win32SystemFacts system_facts;
  platform::win32::Win32Clock clock;
  platform::win32::Win32Files files;
  platform::win32::Win32AppShell app_shell;
  platform::win32::Win32BackgroundWork background;
  platform::Platform services{registry, profile, internet, net_tables, ras, net_connections, processes, shell, system, system_facts, clock, files, app_shell, background};

  app::CTunraApp application(g_session, services.appShell, services.system, app::BuildClientVersion());
  // The first argument after the program name, split by the C runtime's rules.
  const char* branding = __argc > 1 ? __argv[1] : "";
  application.InitInstance(branding, [instance, &services] {
    ui::MainWindow main_window(g_session, services);
    if (main_window.Create(instance)) main_window.Run();
  });
  return 0;
}
