// The update dialog's logic (CUpdateDlg, template 141), run modally from the main
// window's update button: the update page, the version check and its message, and the
// button that downloads the newer client's installer, starts it and closes the client.
#pragma once

#include "app/main/label_style.h"
#include "app/main/main_window_peers.h"
#include "app/texts.h"
#include "app/update/program_update.h"
#include "platform/window.h"
#include "resources/resource_ids.h"
#include "session/session_record.h"

namespace app {

// The version message's look: 굴림 12, black, bold and left-aligned, on #F9F9F9.
inline constexpr LabelStyle kUpdateMessageStyle{IDC_UPD_MESSAGE, 0xF9F9F9, kGulim, 12, 0x000000, 0x41};

// What the dialog asks of its own window that is not a control.
class IUpdateDlgView {
 public:
  virtual ~IUpdateDlgView() = default;
  // Ends the modal dialog.
  virtual void Close() = 0;
};

struct UpdateDlgParts {
  platform::IWindow& dialog;  // this dialog, by control ID; owns its message boxes
  const session::SessionRecord& record;
  CProgramUpdate& update;
  IUpdateShell& shell;
  IBanner& page;  // control 1010
  IUpdateDlgView& view;
};

class CUpdateDlg {
 public:
  explicit CUpdateDlg(UpdateDlgParts parts) : p_(parts) {}

  // WM_INITDIALOG: the bitmap buttons, the update page, the version check and the
  // message, repainted at once. Returns true.
  bool OnInitDialog();
  // BN_CLICKED: the update button, or 취소 and X, which close the dialog and do
  // nothing else.
  void OnCommand(int id);
  // The update button. Without a newer client it only says so. Otherwise the
  // installer is downloaded afresh (a file left in the temporary folder may be an
  // older one), then started; only when it runs does the dialog close, the tray icon
  // go and the client close. A failure says CODE-021 and the dialog stays (an
  // installer that would not start is deleted).
  void OnUpdate();

 private:
  UpdateDlgParts p_;
};

}  // namespace app
