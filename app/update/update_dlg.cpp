#include "app/update/update_dlg.h"

#include <cstdio>

#include "app/update/texts.h"
#include "protocol/web_pages.h"

namespace app {

namespace {

struct ButtonBitmaps {
  int id, normal, pressed;
};
constexpr ButtonBitmaps kButtons[] = {
    {IDC_UPD_START, IDB_UPDATE_START, IDB_UPDATE_START_PRESSED},
    {IDC_UPD_CANCEL, IDB_UPDATE_CANCEL, IDB_UPDATE_CANCEL},
    {IDC_UPD_CLOSE, IDB_CLOSE, IDB_CLOSE_PRESSED},
};

}  // namespace

bool CUpdateDlg::OnInitDialog() {
  platform::IWindow& w = p_.dialog;
  for (const ButtonBitmaps& b : kButtons) w.SetBitmaps(b.id, b.normal, b.pressed);
  p_.page.Navigate(protocol::kUpdatePageUrl);
  p_.update.VersionCheck();
  char message[256];
  if (p_.update.NewerVersionOffered())
    std::snprintf(message, sizeof message, kNewerVersionFormat, p_.record.updateVersion);
  else
    std::snprintf(message, sizeof message, kCurrentVersionFormat, p_.record.clientVersion);
  w.SetText(IDC_UPD_MESSAGE, message);
  w.Redraw(platform::kSelf);
  return true;
}

void CUpdateDlg::OnCommand(int id) {
  switch (id) {
    case IDC_UPD_START: OnUpdate(); break;
    case IDC_UPD_CANCEL:
    case IDC_UPD_CLOSE: p_.view.Close(); break;
    default: break;
  }
}

void CUpdateDlg::OnUpdate() {
  platform::IWindow& w = p_.dialog;
  if (!p_.update.NewerVersionOffered()) {
    w.MessageBox(kAlreadyLatestText, kUpdateInfoCaption, platform::kMbOk);
    return;
  }
  p_.update.DeleteInstallerCopy();
  if (p_.update.DownloadUpdate(w) < 0) return;
  if (!p_.update.StartInstaller(false)) {
    p_.update.DeleteInstallerCopy();  // what would not start is no installer to keep
    w.MessageBox(kUpdateFailedText, kUpdateFailedCaption, platform::kMbOk);
    return;
  }
  p_.view.Close();
  p_.shell.RemoveTrayIcon();
  p_.shell.CloseMainWindow();
}

}  // namespace app
