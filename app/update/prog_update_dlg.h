// The update progress window's logic (CProgUpdateDlg, template 134): created hidden
// with the main window, shown while the installer or the certificate downloads. Its
// one control is the two-colour bar, which nothing advances: the window only says that
// a download runs.
#pragma once

#include "app/progress/vpn_conn_dlg.h"
#include "platform/window.h"
#include "resources/resource_ids.h"

namespace app {

inline constexpr ProgressBarLook kUpdateProgressLook{2, 0xF3F3F3, 0x0096FF, 0x000000};

class CProgUpdateDlg {
 public:
  explicit CProgUpdateDlg(platform::IWindow& window) : window_(window) {}
  // WM_INITDIALOG: range 0 to 100, position 0, caption "0 %". Returns true.
  bool OnInitDialog();

 private:
  platform::IWindow& window_;
};

}  // namespace app
