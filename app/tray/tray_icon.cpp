#include "app/tray/tray_icon.h"

#include "text/cp949.h"

namespace app {

std::string BalloonField(const std::string& text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size() && chars < maxChars; ++chars) {
    if (text[i] == '\r' || text[i] == '\n') {
      // CR LF is one break, one blank.
      i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      out += ' ';
      continue;
    }
    const std::size_t n = text::CharLength(text, i);
    out.append(text, i, n);
    i += n;
  }
  return out;
}

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

int CTrayIcon::ShowBalloon(const std::string& title, const std::string& text, std::uint32_t icon) {
  if (!icon_valid_) return 0;
  data_.flags = platform::kNifInfo;
  data_.infoTitle = BalloonField(title, platform::kBalloonTitleChars);
  data_.info = BalloonField(text, platform::kBalloonTextChars);
  data_.infoFlags = icon;
  return shell_.NotifyIcon(platform::kNimModify, data_) ? 1 : 0;
}

}  // namespace app
