#include "app/tray/tray_icon.h"

namespace app {

int CTrayIcon::Create(platform::WindowHandle owner) {
  wanted_ = true;
  platform::OsVersion version;
  if (!system_.GetVersionEx(version) || version.major < 4 || !owner || !shell_.IsWindow(owner)) {
    icon_valid_ = false;
    return 0;
  }
  data_ = platform::NotifyIconData{};
  data_.owner = owner;
  data_.id = TRAY_ICON_ID;
  data_.flags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
  data_.callbackMessage = WM_TRAY_NOTIFY;
  data_.tip = kTrayTip;
  icon_valid_ = shell_.NotifyIcon(platform::kNimAdd, data_);
  return icon_valid_ ? 1 : 0;
}

void CTrayIcon::Remove() {
  wanted_ = false;
  if (!icon_valid_) return;
  data_.flags = 0;
  shell_.NotifyIcon(platform::kNimDelete, data_);
  icon_valid_ = false;
}

int CTrayIcon::SetIcon(int id) {
  const platform::IconHandle icon = shell_.LoadIcon(id);
  if (!icon_valid_) return 0;
  data_.flags = platform::kNifIcon;
  data_.icon = icon;
  return shell_.NotifyIcon(platform::kNimModify, data_) ? 1 : 0;
}

int CTrayIcon::SetTip(const std::string& tip) {
  if (!icon_valid_) return 0;
  data_.flags = platform::kNifTip;
  data_.tip = tip;
  return shell_.NotifyIcon(platform::kNimModify, data_) ? 1 : 0;
}

}  // namespace app
