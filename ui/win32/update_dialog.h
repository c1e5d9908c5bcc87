// The update dialog on the real system: template 141 run modally over the main
// window, bound to the dialog's logic (app/update/update_dlg.h). The update page's
// area shows the skin's picture; a click on it opens the page in the user's browser,
// as the banners do.
#pragma once

#include "platform/win32/windows_include.h"

#include "app/update/program_update.h"
#include "platform/shell.h"
#include "session/session_record.h"

namespace ui {

struct UpdateDialogParts {
  HWND owner;  // the main window: disabled while the dialog runs
  const session::SessionRecord& record;
  app::CProgramUpdate& update;
  app::IUpdateShell& shell;
  platform::IShell& systemShell;  // opens the update page
};

// Shows the dialog and returns when it is closed (by its own buttons, by the update
// starting, or with the main window). Enter, Escape and Alt+F4 never close it.
void RunUpdateDialog(const UpdateDialogParts& parts);

}  // namespace ui
