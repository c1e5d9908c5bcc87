#include "ui/win32/tray_menu.h"

#include "resources/resource_ids.h"

namespace ui {

void ShowTrayMenu(HWND owner) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  if (popup != nullptr) {
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageW(owner, WM_USER, 0, 0);
  }
  DestroyMenu(menu);
}

}  // namespace ui
