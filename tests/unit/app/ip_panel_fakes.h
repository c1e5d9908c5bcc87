// The IP list panels over fakes: a journalling main window (what the panels ask of
// it, in order, with scripted results) and a rig holding one panel with its windows,
// settings and session record.
#pragma once

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "app/iplist/dynamic_ip_tab_dlg.h"
#include "app/iplist/ip_mgmt_tab5_dlg.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_window.h"
#include "settings/settings_table.h"

namespace iptest {

using Journal = std::vector<std::string>;

class JournalIpHost : public app::IIpPanelHost {
 public:
  JournalIpHost(Journal& journal, session::SessionRecord& record) : journal_(journal), record_(record) {}

  int LoginSession() override {
    journal_.push_back("login " + record_.authMode + " " + record_.ipCode);
    return loginResult;
  }
  int StartTunnel() override {
    journal_.push_back("start tunnel " + record_.ipCode);
    return startResult;
  }
  void SendLogout(const std::string& mode) override { journal_.push_back("logout " + mode); }
  void TeardownOpenVpn(int reasonCode, const std::string& reasonText) override {
    journal_.push_back("teardown openvpn " + std::to_string(reasonCode) + " '" + reasonText + "'");
    record_.connState = session::kConnIdle;
  }
  int TeardownRas() override {
    journal_.push_back("teardown ras");
    record_.connState = session::kConnIdle;
    return 1;
  }
  void StopOpenVpn() override { journal_.push_back("stop openvpn"); }
  int EnableConnectionByDevice(const std::string& device, bool enable) override {
    journal_.push_back((enable ? "enable " : "disable ") + device);
    return 1;
  }
  // The exchange refreshes ipPoolList from the pools by class; an unknown class is a
  // failed exchange, which empties it.
  void FetchIpPool() override {
    journal_.push_back("fetch pool " + record_.classCode);
    const auto it = pools.find(record_.classCode);
    record_.ipPoolList = it != pools.end() ? it->second : "";
  }
  void RequestIpChange(const std::string& ipCode) override { journal_.push_back("ip change " + ipCode); }
  void SetAccountStatus(const std::string& text) override { journal_.push_back("status " + text); }
  void StopProgress() override { journal_.push_back("stop progress"); }

  int loginResult = 1;
  int startResult = 1;
  std::map<std::string, std::string> pools;

 private:
  Journal& journal_;
  session::SessionRecord& record_;
};

// One panel of kind Panel (CIpMgmtTab5Dlg or DynamicIpTabDlg) and what it works on.
template <class Panel>
class IpPanelRig {
 public:
  static constexpr int kSeed = 20240611;

  IpPanelRig() {
    record.settingsRoot = settings::kSettingsRoot;
    record.settingsKeyPath = settings::kSettingsKeyPath;
    record.connState = session::kConnLoggedIn;
    record.tapAdapterName = "TAP-Win32 Adapter V9";
    panel.OnInitDialog();
  }

  // The name of this panel's favourites value.
  static const char* ValueName() {
    return std::is_same_v<Panel, app::CIpMgmtTab5Dlg> ? "IpCode" : "IpList";
  }
  void StoreFavourites(const std::string& value) {
    registry.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, ValueName(), value);
  }
  // The stored favourites, "<absent>" when the value does not exist.
  std::string StoredFavourites() {
    const platform::RegValue* v = registry.Find(settings::kSettingsRoot, settings::kSettingsKeyPath, ValueName());
    return v == nullptr ? "<absent>" : v->data.substr(0, v->data.find('\0'));
  }
  std::vector<std::string> Texts(int list) {
    std::vector<std::string> rows;
    for (const auto& cells : window.control(list).rows) rows.push_back(cells.at(0));
    return rows;
  }
  void Select(int list, std::initializer_list<int> rows) {
    window.ListClearSelection(list);
    for (int row : rows) window.ListSelect(list, row);
  }

  Journal journal;
  session::SessionRecord record;
  fakes::FakeRegistry registry;
  settings::CRegCtrl reg{registry};
  fakes::FakeWindow window, mainWindow;
  app::ReconnectSettings reconnect;
  JournalIpHost host{journal, record};
  text::CrtRandom random{kSeed};
  Panel panel{app::IpPanelParts{window, mainWindow, record, reg, reconnect, host, random}};
};

}  // namespace iptest
