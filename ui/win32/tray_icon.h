// The client's notification-area icon: its picture, tip and menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace ui {

class TrayIcon {
 public:
  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Adds the icon for `owner`; false when the shell refuses it.
  bool Create(HWND owner);
  void Remove();
  bool SetIcon(int icon_id);
  bool SetTip(const std::wstring& tip);
  bool valid() const { return valid_; }

  // The callback message's parameters: a right click opens the tray menu, a double
  // click sends its first command. Returns true when `wparam` names this icon.
  bool OnNotification(WPARAM wparam, LPARAM lparam);

 private:
  NOTIFYICONDATAW data_{};
  bool valid_ = false;
};

}  // namespace ui
