#include "app/iplist/dynamic_ip_tab_dlg.h"

#include "text/cp949.h"

namespace app {

DynamicIpTabDlg::DynamicIpTabDlg(IpPanelParts parts)
    : CIpPanelBase(parts, settings::Setting::kFavouriteIps, kClassPanelLook) {}

void DynamicIpTabDlg::LoadIpClasses() {
  platform::IWindow& w = p_.panel;
  w.ListDeleteAll(IDC_CLASS_LIST);
  // Class names joined with '^', with one trailing '^'.
  const std::vector<std::string> classes = text::Split(text::WithoutLastChar(p_.record.ipPoolClass), '^');
  for (std::size_t i = 0; i < classes.size(); ++i) w.ListInsertRow(IDC_CLASS_LIST, static_cast<int>(i), {classes[i]});
}

void DynamicIpTabDlg::LoadClassPool() {
  FillPool();
  rotation_ = 0;
  p_.panel.Redraw(IDC_CLASS_LIST);
}

void DynamicIpTabDlg::ChooseClass() {
  const int row = p_.panel.ListSelected(IDC_CLASS_LIST);
  classRow_ = row;
  p_.panel.Redraw(IDC_CLASS_LIST);
  if (row < 0) return;
  ClearUsedHistory();
  SetCurrentRow(-1);
  p_.record.classCode = p_.panel.ListGetText(IDC_CLASS_LIST, row, 0);
  p_.host.FetchIpPool();
  LoadClassPool();
}

void DynamicIpTabDlg::ChooseNextFavourite() {
  platform::IWindow& w = p_.panel;
  const int count = w.ListCount(IDC_IP_FAVOURITES);
  // Past the last favourite (also after removals) the rotation starts again at the first.
  if (rotation_ >= count || rotation_ < 0) rotation_ = 0;
  const int row = rotation_;
  SetCurrentRow(row);
  const std::string ip = row < count ? w.ListGetText(IDC_IP_FAVOURITES, row, 0) : std::string();
  const std::vector<int> entries = EntriesFor(ip);
  for (int entry : entries) TakeEntry(entry, true);
  if (row < count) SelectRow(IDC_IP_FAVOURITES, row);
  ++rotation_;
  RepaintList();
  // No favourite (or one that names no pool entry) chose nothing.
  if (!entries.empty()) ApplySelectedIp();
}

void DynamicIpTabDlg::OnCommand(int id) {
  switch (id) {
    case IDC_IP_ADD: AddFavourites(); break;
    case IDC_IP_REMOVE: RemoveFavourites(); break;
    case IDC_CLASS_RANDOM: ChooseRandomAvailable(); break;
    case IDC_CLASS_NEXT_FAVOURITE: ChooseNextFavourite(); break;
    default: break;  // the title images do nothing
  }
}

void DynamicIpTabDlg::OnDoubleClick(int listId) {
  if (listId == IDC_CLASS_LIST) ChooseClass();
  else CIpPanelBase::OnDoubleClick(listId);
}

RowColours DynamicIpTabDlg::RowColoursOf(int listId, int row) const {
  if (listId == IDC_CLASS_LIST) return ClassRowColours(row, classRow_);
  return CIpPanelBase::RowColoursOf(listId, row);
}

}  // namespace app
