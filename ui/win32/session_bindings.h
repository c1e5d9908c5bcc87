// The session's collaborators on the real system: what the login, the exchanges and
// the account panel ask of owners whose work is not in the program yet, and the
// banners, which open their page in the browser (the embedded browser cannot be
// relied on: Wine has none, and a user's system may lack it).
#pragma once

#include <functional>
#include <string>

#include "app/login/login_dlg.h"
#include "app/main/main_window_peers.h"
#include "app/session/login_session.h"
#include "session/session_hooks.h"
#include "platform/shell.h"

namespace ui {

// The banner area (control 1010) shows the skin's picture; a click on it opens the
// banner page in the user's browser.
class BannerLink final : public app::ILoginBanner, public app::IBanner {
 public:
  BannerLink(platform::IShell& shell, std::function<platform::WindowHandle()> owner)
      : shell_(shell), owner_(std::move(owner)) {}
  void Navigate(const std::string& url) override { url_ = url; }
  // The area was clicked: open the page, when there is one.
  void Open() {
    if (!url_.empty()) shell_.ShellExecute(owner_(), "open", url_, "", "", 10 /* SW_SHOWDEFAULT */);
  }

 private:
  platform::IShell& shell_;
  std::function<platform::WindowHandle()> owner_;
  std::string url_;
};

// Owners that come with the tunnel and IP list work. Until then there is no tunnel to
// stop or prepare and no IP list to fill: each call is a no-op by design.
class NotYetInProgram final : public app::ITunnelCleanup, public app::IIpListPanels {
 public:
  void StopOpenVpn() override {}
  void RemoveOpenVpnFiles() override {}
  void LoadIpPool() override {}
  void LoadIpClasses() override {}
};

// What the exchanges ask of the login panel, the progress dialog and the tunnel.
class MainWindowSessionHooks final : public session::SessionHooks {
 public:
  MainWindowSessionHooks(std::function<bool()> test_certificate, std::function<void()> stop_progress)
      : test_certificate_(std::move(test_certificate)), stop_progress_(std::move(stop_progress)) {}
  bool TestCertificateChecked() override { return test_certificate_(); }
  void StopProgress() override { stop_progress_(); }
  // The phonebook and the tunnel adapter come with the tunnel work.
  void WritePhonebook(int, int) override {}
  void CheckTapAdapter() override {}

 private:
  std::function<bool()> test_certificate_;
  std::function<void()> stop_progress_;
};

// The progress dialog's logic as the session login sees it (created with the panels).
class ConnProgressLink final : public app::IConnProgress {
 public:
  explicit ConnProgressLink(std::function<app::CVpnConnDlg*()> dialog) : dialog_(std::move(dialog)) {}
  void ResetProgress() override {
    if (auto* d = dialog_()) d->ResetProgress();
  }
  void StopProgress() override {
    if (auto* d = dialog_()) d->StopProgress();
  }

 private:
  std::function<app::CVpnConnDlg*()> dialog_;
};

}  // namespace ui
