#include "app/iplist/ip_mgmt_tab5_dlg.h"

namespace app {

CIpMgmtTab5Dlg::CIpMgmtTab5Dlg(IpPanelParts parts)
    : CIpPanelBase(parts, settings::Setting::kFavouriteCodes, kPoolPanelLook) {}

void CIpMgmtTab5Dlg::LoadIpPool() {
  SetCurrentRow(-1);
  FillPool();
}

void CIpMgmtTab5Dlg::OnCommand(int id) {
  switch (id) {
    case IDC_IP_ADD: AddFavourites(); break;
    case IDC_IP_REMOVE: RemoveFavourites(); break;
    case IDC_POOL_RANDOM: ChooseRandomAvailable(); break;
    case IDC_POOL_RANDOM_FAVOURITE: ChooseRandomFavourite(); break;
    default: break;  // the title images do nothing
  }
}

void CIpMgmtTab5Dlg::ChooseRandomFavourite() {
  const int count = p_.panel.ListCount(IDC_IP_FAVOURITES);
  if (count <= 0) return;
  const int row = p_.random.Next() % count;
  SelectRow(IDC_IP_FAVOURITES, row);
  SetCurrentRow(row);
  const std::vector<int> entries = EntriesFor(p_.panel.ListGetText(IDC_IP_FAVOURITES, row, 0));
  for (int entry : entries) TakeEntry(entry, true);
  // A favourite that names no pool entry chose nothing.
  if (!entries.empty()) ApplySelectedIp();
}

int CIpMgmtTab5Dlg::StartIpConnection() {
  if (p_.record.connState == session::kConnConnected) StopForIpChange();
  return CIpPanelBase::StartIpConnection();
}

}  // namespace app
