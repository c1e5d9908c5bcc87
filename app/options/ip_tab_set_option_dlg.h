// The options dialog's logic (CIPTabSetOptionDlg, template 145): the connection
// method, one-click IP change, automatic reconnection, the VPN server and the four
// programs run around a tunnel. The radios and the program rows store their values at
// once; the reconnection settings and the server take effect at save.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/main/reconnect.h"
#include "app/options/options_host.h"
#include "app/options/server_list.h"
#include "platform/window.h"
#include "resources/resource_ids.h"
#include "session/session_record.h"
#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"

namespace app {

struct OptionsParts {
  platform::IWindow& dialog;      // this dialog, by control ID
  platform::IWindow& mainWindow;  // owner of the reconnect timers
  session::SessionRecord& record;
  settings::CRegCtrl& reg;
  ReconnectSettings& reconnect;   // the main window's, outliving the dialog
  IOptionsHost& host;
  IOptionsView& view;
};

// One program row: its buttons, its stored value and the label that shows it.
struct ProgramRow {
  int registerId;
  int deleteId;
  settings::Setting value;
  int labelId;
  const char* prompt;  // the label's text while nothing is registered
};

extern const ProgramRow kProgramRows[4];

class CIPTabSetOptionDlg {
 public:
  explicit CIPTabSetOptionDlg(OptionsParts parts);
  CIPTabSetOptionDlg(const CIPTabSetOptionDlg&) = delete;
  CIPTabSetOptionDlg& operator=(const CIPTabSetOptionDlg&) = delete;

  // WM_INITDIALOG: every control from the session, the main window's reconnection
  // settings and the stored values. Returns true.
  bool OnInitDialog();
  // BN_CLICKED of a button or radio.
  void OnCommand(int id);
  // CBN_SELCHANGE of the reconnection switch (1027).
  void OnReconnectSwitchChanged();

  // The radios: OpenVPN (1021) or PPTP (1022). Refused while a tunnel is starting or
  // up: the check marks go back to the stored method and a message says why.
  void OnMethod(int radioId);
  // The one-click radios; allowed at any time.
  void OnOneClick(bool on);
  // A row's register and delete buttons.
  void RegisterProgram(const ProgramRow& row);
  void DeleteProgram(const ProgramRow& row);
  // Save (1012): the reconnection settings and the server, then the dialog closes.
  // Refused while a tunnel is starting or up.
  void OnSave();

  const std::vector<VpnServer>& servers() const { return servers_; }

 private:
  // True while a tunnel is being started (an IP was chosen, or the start runs) or is
  // up: changing the method then would leave its program or routes behind.
  bool TunnelBusy() const;
  settings::SettingsKey Key() const;
  void CheckMethod(int vpnType);
  void FillCombo(int id, const char* const* items, std::size_t count);
  void SelectItem(int id, int value, const char* const* items, std::size_t count);

  OptionsParts p_;
  std::vector<VpnServer> servers_;
  int checkedMethod_ = session::kVpnOpenVpn;  // the method the radios show and VCType holds
};

}  // namespace app
