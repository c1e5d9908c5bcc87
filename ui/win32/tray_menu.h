// The tray icon's pop-up menu (menu 129) at the cursor.
#pragma once

#include "platform/win32/windows_include.h"

namespace ui {

// Shows the menu for `owner`, its first item bold; the chosen command reaches the
// owner as WM_COMMAND.
void ShowTrayMenu(HWND owner);

}  // namespace ui
