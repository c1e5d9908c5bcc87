// The options dialog on the real system: template 145 run modally over the main
// window, bound to the dialog's logic (app/options), with the system's open-file
// dialog for the program rows.
#pragma once

#include "platform/win32/windows_include.h"

#include "app/iplist/ip_panel_host.h"
#include "app/main/reconnect.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "session/session_record.h"

namespace ui {

// What the dialog needs from the main window and its logic.
struct OptionsDialogParts {
  HWND owner;                     // the main window: disabled while the dialog runs
  platform::IWindow& mainWindow;  // its timers
  session::SessionRecord& record;
  platform::IRegistry& registry;
  app::ReconnectSettings& reconnect;
  app::IIpPanelHost& mainHost;    // switches the OpenVPN adapter's connection
};

// Shows the dialog and returns when it is closed (by its own buttons, or with the
// main window). Enter, Escape and Alt+F4 never close it.
void RunOptionsDialog(const OptionsDialogParts& parts);

}  // namespace ui
