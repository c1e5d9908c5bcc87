// The whole-pool panel (template 222): every IP of the account's pool in one list,
// the favourites (value IpCode) in another, a random button for each.
#pragma once

#include "app/iplist/ip_panel_base.h"

namespace app {

class CIpMgmtTab5Dlg final : public CIpPanelBase {
 public:
  explicit CIpMgmtTab5Dlg(IpPanelParts parts);

  // Filled once per login: the pool of the session record and its favourites, no
  // current row.
  void LoadIpPool();
  // Button 1015: a random favourite, chosen in both lists.
  void ChooseRandomFavourite();

  void OnCommand(int id) override;
  // A tunnel still up is stopped before the new one starts.
  int StartIpConnection() override;

  // IIpListPanel
  void LoadList() override { LoadIpPool(); }
};

}  // namespace app
