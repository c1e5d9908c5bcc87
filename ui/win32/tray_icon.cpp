#include "ui/win32/tray_icon.h"

#include <cwchar>

#include "resources/resource_ids.h"

namespace ui {

bool TrayIcon::Create(HWND owner) {
  valid_ = false;
  if (owner == nullptr || !IsWindow(owner)) return false;
  data_ = NOTIFYICONDATAW{};
  data_.cbSize = sizeof data_;
  data_.hWnd = owner;
  data_.uID = TRAY_ICON_ID;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = WM_TRAY_NOTIFY;
  valid_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
  return valid_;
}

void TrayIcon::Remove() {
  if (!valid_) return;
  data_.uFlags = 0;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  valid_ = false;
}

bool TrayIcon::SetIcon(int icon_id) {
  if (!valid_) return false;
  data_.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon_id),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  data_.uFlags = NIF_ICON;
  return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

bool TrayIcon::SetTip(const std::wstring& tip) {
  if (!valid_) return false;
  // The tip field holds 127 characters and the terminator; a longer tip is cut.
  wcsncpy(data_.szTip, tip.c_str(), ARRAYSIZE(data_.szTip) - 1);
  data_.szTip[ARRAYSIZE(data_.szTip) - 1] = L'\0';
  data_.uFlags = NIF_TIP;
  return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

bool TrayIcon::OnNotification(WPARAM wparam, LPARAM lparam) {
  if (wparam != TRAY_ICON_ID) return false;
  const UINT mouse = LOWORD(lparam);
  if (mouse != WM_RBUTTONUP && mouse != WM_LBUTTONDBLCLK) return true;

  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  if (menu == nullptr) return true;
  HMENU popup = GetSubMenu(menu, 0);
  if (popup != nullptr) {
    SetForegroundWindow(data_.hWnd);
    if (mouse == WM_RBUTTONUP) {
      SetMenuDefaultItem(popup, 0, TRUE);
      POINT cursor{};
      GetCursorPos(&cursor);
      TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, data_.hWnd, nullptr);
      // Lets the menu close properly when the user clicks elsewhere.
      PostMessageW(data_.hWnd, WM_USER, 0, 0);
    } else {
      SendMessageW(data_.hWnd, WM_COMMAND, GetMenuItemID(popup, 0), 0);
    }
  }
  DestroyMenu(menu);
  return true;
}

}  // namespace ui
