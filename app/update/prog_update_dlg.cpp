#include "app/update/prog_update_dlg.h"

#include "app/update/texts.h"

namespace app {

bool CProgUpdateDlg::OnInitDialog() {
  window_.ProgressSetRange(IDC_PROG_UPDATE_BAR, 0, 100);
  window_.ProgressSetPos(IDC_PROG_UPDATE_BAR, 0);
  window_.SetText(IDC_PROG_UPDATE_BAR, kUpdateProgressCaption);
  return true;
}

}  // namespace app
