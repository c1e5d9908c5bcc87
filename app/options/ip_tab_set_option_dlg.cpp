#include "app/options/ip_tab_set_option_dlg.h"

#include <iterator>

#include "app/main/main_timers.h"
#include "app/options/path_label.h"
#include "app/options/texts.h"
#include "text/cp949.h"

namespace app {

const ProgramRow kProgramRows[4] = {
    {IDC_OPT_IN_STOP_SET, IDC_OPT_IN_STOP_DELETE, settings::Setting::kInStop, IDC_OPT_IN_STOP_PATH,
     kStopProgramPrompt},
    {IDC_OPT_IN_START_SET, IDC_OPT_IN_START_DELETE, settings::Setting::kInStart, IDC_OPT_IN_START_PATH,
     kStartProgramPrompt},
    {IDC_OPT_OUT_START_SET, IDC_OPT_OUT_START_DELETE, settings::Setting::kOutStart, IDC_OPT_OUT_START_PATH,
     kStartProgramPrompt},
    {IDC_OPT_OUT_STOP_SET, IDC_OPT_OUT_STOP_DELETE, settings::Setting::kOutStop, IDC_OPT_OUT_STOP_PATH,
     kStopProgramPrompt},
};

namespace {

// The reconnection combo boxes' items, in their order in the lists.
constexpr const char* kReconnectItems[] = {kReconnectOff, kReconnectOn};
constexpr const char* kIntervalItems[] = {"60", "90", "120"};
constexpr const char* kAttemptsItems[] = {"5", "4", "3", "2", "1"};
constexpr int kReconnectOnItem = 1;

// VCType's texts of the two methods.
constexpr const char* kPptpValue = "1";
constexpr const char* kOpenVpnValue = "4";

struct ButtonBitmaps {
  int id, normal, pressed;
};
constexpr ButtonBitmaps kButtons[] = {
    {IDC_OPT_CLOSE, IDB_CLOSE, IDB_CLOSE_PRESSED},
    {IDC_OPT_SAVE, IDB_OPT_SAVE, IDB_OPT_SAVE_PRESSED},
    {IDC_OPT_CANCEL, IDB_OPT_CANCEL, IDB_OPT_CANCEL_PRESSED},
};

}  // namespace

CIPTabSetOptionDlg::CIPTabSetOptionDlg(OptionsParts parts) : p_(parts) {}

settings::SettingsKey CIPTabSetOptionDlg::Key() const { return {p_.record.settingsRoot, p_.record.settingsKeyPath}; }

bool CIPTabSetOptionDlg::TunnelBusy() const {
  const int state = p_.record.connState;
  return state == session::kConnIpChosen || state == session::kConnConnecting || state == session::kConnConnected;
}

void CIPTabSetOptionDlg::FillCombo(int id, const char* const* items, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) p_.dialog.ComboAdd(id, items[i]);
  p_.dialog.ComboSetSelection(id, 0);
}

void CIPTabSetOptionDlg::SelectItem(int id, int value, const char* const* items, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (text::AtoI(items[i]) == value) p_.dialog.ComboSetSelection(id, static_cast<int>(i));
}

void CIPTabSetOptionDlg::CheckMethod(int vpnType) {
  checkedMethod_ = vpnType;
  p_.dialog.SetCheck(IDC_OPT_PPTP, vpnType == session::kVpnPptp ? 1 : 0);
  p_.dialog.SetCheck(IDC_OPT_OPENVPN, vpnType == session::kVpnPptp ? 0 : 1);
}

bool CIPTabSetOptionDlg::OnInitDialog() {
  platform::IWindow& w = p_.dialog;
  session::SessionRecord& r = p_.record;
  ReconnectSettings& rc = p_.reconnect;
  const settings::SettingsKey key = Key();

  // 1-2. The servers; the stored one is selected, else the first. vpnConnServerCode
  // changes only when the user saves a choice: a cancelled dialog changes nothing.
  servers_ = ParseServerList(r.vpnServerList);
  const std::string storedServer = settings::ReadSetting(p_.reg, key, settings::Setting::kServerCode);
  int selected = -1;
  for (std::size_t i = 0; i < servers_.size(); ++i) {
    w.ComboAdd(IDC_OPT_SERVER, servers_[i].name);
    if (selected < 0 && servers_[i].code == storedServer) selected = static_cast<int>(i);
  }
  if (!servers_.empty()) w.ComboSetSelection(IDC_OPT_SERVER, selected < 0 ? 0 : selected);

  // 3-4. The reconnection lists at their first items, the bitmap buttons.
  FillCombo(IDC_OPT_RECONNECT, kReconnectItems, std::size(kReconnectItems));
  FillCombo(IDC_OPT_INTERVAL, kIntervalItems, std::size(kIntervalItems));
  FillCombo(IDC_OPT_ATTEMPTS, kAttemptsItems, std::size(kAttemptsItems));
  for (const ButtonBitmaps& b : kButtons) w.SetBitmaps(b.id, b.normal, b.pressed);

  // 5-7. The reconnection switch follows the back end's permission and the main
  // window's settings.
  w.Enable(IDC_OPT_RECONNECT, r.autoConnChange != 0);
  if (rc.locked == 1) {
    w.Enable(IDC_OPT_RECONNECT, false);
    w.Enable(IDC_OPT_INTERVAL, false);
    w.Enable(IDC_OPT_ATTEMPTS, false);
    rc.attempts = 0;
    rc.interval = 0;
  }
  if (rc.enabled == 1) {
    w.ComboSetSelection(IDC_OPT_RECONNECT, kReconnectOnItem);
    if (rc.attempts > 0) {
      SelectItem(IDC_OPT_ATTEMPTS, rc.attempts, kAttemptsItems, std::size(kAttemptsItems));
      w.Enable(IDC_OPT_ATTEMPTS, true);
    }
    if (rc.interval > 0) {
      SelectItem(IDC_OPT_INTERVAL, rc.interval, kIntervalItems, std::size(kIntervalItems));
      w.Enable(IDC_OPT_INTERVAL, true);
    }
    w.Enable(IDC_OPT_RECONNECT, true);
  }

  // 8. The stored method, and the OpenVPN adapter's connection to match it; not while
  // a tunnel is starting or up, whose traffic may be on that connection.
  const bool pptp = settings::ReadSetting(p_.reg, key, settings::Setting::kTunnelType) == kPptpValue;
  CheckMethod(pptp ? session::kVpnPptp : session::kVpnOpenVpn);
  if (!TunnelBusy()) p_.host.EnableConnectionByDevice(r.tapAdapterName, !pptp);

  // 9. One-click IP change.
  const bool oneClick = settings::ReadSetting(p_.reg, key, settings::Setting::kIpChangeType) == "1";
  w.SetCheck(IDC_OPT_ONECLICK_ON, oneClick ? 1 : 0);
  w.SetCheck(IDC_OPT_ONECLICK_OFF, oneClick ? 0 : 1);
  r.ipChangeType = oneClick ? 1 : 0;

  // 10. The programs, in the form a registration shows them.
  for (const ProgramRow& row : kProgramRows) {
    const std::string path = settings::ReadSetting(p_.reg, key, row.value);
    w.SetText(row.labelId, path.empty() ? std::string(row.prompt) : ProgramPathLabel(path));
  }
  return true;
}

void CIPTabSetOptionDlg::OnCommand(int id) {
  switch (id) {
    case IDC_OPT_OPENVPN:
    case IDC_OPT_PPTP: OnMethod(id); return;
    case IDC_OPT_ONECLICK_ON: OnOneClick(true); return;
    case IDC_OPT_ONECLICK_OFF: OnOneClick(false); return;
    case IDC_OPT_SAVE: OnSave(); return;
    case IDC_OPT_CLOSE:
    case IDC_OPT_CANCEL: p_.view.Close(); return;
    default: break;
  }
  for (const ProgramRow& row : kProgramRows) {
    if (id == row.registerId) RegisterProgram(row);
    else if (id == row.deleteId) DeleteProgram(row);
  }
}

void CIPTabSetOptionDlg::OnReconnectSwitchChanged() {
  platform::IWindow& w = p_.dialog;
  const bool on = w.ComboGetText(IDC_OPT_RECONNECT, w.ComboGetSelection(IDC_OPT_RECONNECT)) == kReconnectOn;
  w.Enable(IDC_OPT_INTERVAL, on);
  w.Enable(IDC_OPT_ATTEMPTS, on);
  if (on) {
    p_.reconnect.locked = 0;
  } else {
    w.ComboSetSelection(IDC_OPT_INTERVAL, 0);
  }
  w.ComboSetSelection(IDC_OPT_ATTEMPTS, 0);
}

void CIPTabSetOptionDlg::OnMethod(int radioId) {
  platform::IWindow& w = p_.dialog;
  session::SessionRecord& r = p_.record;
  if (TunnelBusy()) {
    // A switch now would leave the running method's program or routes behind.
    CheckMethod(checkedMethod_);
    w.Redraw(IDC_OPT_PPTP);
    w.Redraw(IDC_OPT_OPENVPN);
    w.MessageBox(kMethodWhileConnectedText, kMethodCaption, platform::kMbOk);
    return;
  }
  const bool openVpn = radioId == IDC_OPT_OPENVPN;
  p_.host.EnableConnectionByDevice(r.tapAdapterName, openVpn);
  settings::WriteSetting(p_.reg, Key(), settings::Setting::kTunnelType, openVpn ? kOpenVpnValue : kPptpValue);
  r.vpnType = openVpn ? session::kVpnOpenVpn : session::kVpnPptp;
  CheckMethod(r.vpnType);
}

void CIPTabSetOptionDlg::OnOneClick(bool on) {
  settings::WriteSetting(p_.reg, Key(), settings::Setting::kIpChangeType, on ? "1" : "0");
  p_.record.ipChangeType = on ? 1 : 0;
  p_.dialog.SetCheck(IDC_OPT_ONECLICK_ON, on ? 1 : 0);
  p_.dialog.SetCheck(IDC_OPT_ONECLICK_OFF, on ? 0 : 1);
}

void CIPTabSetOptionDlg::RegisterProgram(const ProgramRow& row) {
  std::string path;
  const ProgramChoice choice = p_.view.ChooseProgram(path);
  if (choice == ProgramChoice::kNotCp949) {
    p_.dialog.MessageBox(kProgramPathNotCp949Text, kProgramCaption, platform::kMbOk);
    return;
  }
  if (choice != ProgramChoice::kChosen || path.size() <= 1) return;
  p_.dialog.SetText(row.labelId, ProgramPathLabel(path));
  settings::WriteSetting(p_.reg, Key(), row.value, path);
}

void CIPTabSetOptionDlg::DeleteProgram(const ProgramRow& row) {
  settings::DeleteSetting(p_.reg, Key(), row.value);
  p_.dialog.SetText(row.labelId, row.prompt);
}

void CIPTabSetOptionDlg::OnSave() {
  platform::IWindow& w = p_.dialog;
  if (TunnelBusy()) {
    w.MessageBox(kSaveWhileConnectedText, kSaveErrorCaption, platform::kMbOk);
    return;
  }
  p_.mainWindow.KillTimer(kTimerReconnect);
  p_.mainWindow.KillTimer(kTimerReconnectWait);

  // "설정" takes the attempts and the interval; "해제" turns reconnecting off. Neither
  // locks the switch, so the user can always turn it on again. A new setting starts a
  // fresh count of attempts.
  ReconnectSettings& rc = p_.reconnect;
  const bool on = w.ComboGetText(IDC_OPT_RECONNECT, w.ComboGetSelection(IDC_OPT_RECONNECT)) == kReconnectOn;
  rc.enabled = on ? 1 : 0;
  rc.attempts = on ? text::AtoI(w.ComboGetText(IDC_OPT_ATTEMPTS, w.ComboGetSelection(IDC_OPT_ATTEMPTS))) : 0;
  rc.interval = on ? text::AtoI(w.ComboGetText(IDC_OPT_INTERVAL, w.ComboGetSelection(IDC_OPT_INTERVAL))) : 0;
  rc.locked = 0;
  rc.count = 0;

  // The server of the selected row (the list is in the combo box's order); text typed
  // into the box's edit field selects nothing. Two servers of the same name stay
  // apart.
  const int server = w.ComboGetSelection(IDC_OPT_SERVER);
  if (server >= 0 && static_cast<std::size_t>(server) < servers_.size()) {
    const std::string& code = servers_[static_cast<std::size_t>(server)].code;
    settings::WriteSetting(p_.reg, Key(), settings::Setting::kServerCode, code);
    p_.record.vpnConnServerCode = code;
  }

  w.MessageBox(kSavedText, kSavedCaption, platform::kMbOk);
  p_.view.Close();
}

}  // namespace app
