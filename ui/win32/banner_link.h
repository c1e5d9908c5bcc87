// The banners on the real system: the banner area (control 1010) shows the skin's
// picture, and a click on it opens the banner page in the user's browser. The embedded
// browser cannot be relied on: Wine has none, and a user's system may lack it.
#pragma once

#include <functional>
#include <string>

#include "app/main/main_window_peers.h"
#include "platform/shell.h"

namespace ui {

class BannerLink final : public app::IBanner {
 public:
  BannerLink(platform::IShell& shell, std::function<platform::WindowHandle()> owner)
      : shell_(shell), owner_(std::move(owner)) {}
  void Navigate(const std::string& url) override { url_ = url; }
  // The area was clicked: open the page, when there is one.
  void Open() {
    if (!url_.empty()) shell_.ShellExecute(owner_(), "open", url_, "", "", platform::kSwShowDefault);
  }

 private:
  platform::IShell& shell_;
  std::function<platform::WindowHandle()> owner_;
  std::string url_;
};

}  // namespace ui
