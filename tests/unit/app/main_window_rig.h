// The main window's logic over fakes of every platform service, window and peer. What
// the peers are asked and the requests sent to the back end go into one journal, so a
// test sees their order across them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main/tunra_dlg.h"
#include "fakes/fake_app_shell.h"
#include "fakes/fake_background.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_net_connections.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_profile.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "unit/app/peer_fakes.h"
#include "net/ipv4_text.h"
#include "settings/settings_table.h"

namespace maintest {

using apptest::FakeBanner;
using apptest::Journal;
using apptest::JournalHooks;
using apptest::JournalRas;
using apptest::JournalTunnel;

// The back end: every request noted, the logout notice with its mode.
class JournalInternet : public fakes::FakeInternet {
 public:
  explicit JournalInternet(Journal& journal) : journal_(journal) {}
  bool SendRequest(platform::InternetHandle request, const std::string& headers, const std::string& body) override {
    const bool sent = FakeInternet::SendRequest(request, headers, body);
    const Request& r = requests().back();
    const std::string params = r.Params();
    if (r.Path() == "/ClientLogin/client_logout.php")
      journal_.push_back("logout " + params.substr(params.find("auth_mode=") + 10));
    else if (r.Path() == "/ClientLogin/client_event_v1.php")
      journal_.push_back("event report");
    else
      journal_.push_back("request " + r.Path());
    return sent;
  }

 private:
  Journal& journal_;
};

class FakeUpdate : public app::IUpdateAtLogin {
 public:
  app::UpdateOutcome ApplyUpdateAtLogin() override { return outcome; }
  app::UpdateOutcome outcome = app::UpdateOutcome::kNoUpdate;
};


// The network connections: one for each name the tunnel adapter has; switching one
// on or off is journalled with its device's name.
class JournalNetConnections : public fakes::FakeNetConnections {
 public:
  explicit JournalNetConnections(Journal& journal) : journal_(journal) {
    connections = {{"{TAP-1}", "Local Area Connection 2", app::kTapAdapterDefault, 2},
                   {"{TAP-2}", "Local Area Connection 3", app::kTapAdapterWow64, 2}};
  }
  long Connect(const std::string& guid) override { return Note("enable ", guid, true); }
  long Disconnect(const std::string& guid) override { return Note("disable ", guid, false); }

 private:
  long Note(const char* what, const std::string& guid, bool connect) {
    for (const auto& c : connections)
      if (c.guid == guid) journal_.push_back(what + c.deviceName);
    return connect ? FakeNetConnections::Connect(guid) : FakeNetConnections::Disconnect(guid);
  }
  Journal& journal_;
};

// The main dialog is 897 x 395 pixels (598 x 263 dialog units); panels in their own sizes.
class FakeHost : public app::IMainWindowHost {
 public:
  FakeHost() {
    main.Move(platform::kSelf, {100, 200, 997, 595});
    main.handle = 0x500;
    login.Move(platform::kSelf, {0, 0, 452, 377});
    login.handle = 0x501;
    account.Move(platform::kSelf, {0, 0, 384, 377});
    ipMgmtTab5.Move(platform::kSelf, {0, 0, 428, 390});
    dynamicIpTab.Move(platform::kSelf, {0, 0, 428, 390});
    vpnConn.Move(platform::kSelf, {0, 0, 257, 135});
    progUpdate.Move(platform::kSelf, {0, 0, 300, 100});
  }
  app::MainWindowPanels Panels() override {
    return {main, login, account, ipMgmtTab5, dynamicIpTab, vpnConn, progUpdate};
  }
  void SetIcons(int id) override { calls.push_back("icons " + std::to_string(id)); }
  bool CreatePanels() override {
    calls.push_back("panels");
    return true;
  }
  platform::Rect DesktopRect() override { return {0, 0, 1280, 1024}; }
  int Dpi() override { return dpi; }
  void Minimize() override { calls.push_back("minimize"); }
  void ShowNormal() override { calls.push_back("show normal"); }
  void SetForeground() override { calls.push_back("foreground"); }
  void EndDialog() override { calls.push_back("end"); }
  void ShowTrayMenu() override { calls.push_back("tray menu"); }
  void RunUpdateDialog() override { calls.push_back("update dialog"); }
  void RunOptionsDialog() override { calls.push_back("options dialog"); }
  void SendRasNotify(std::uint32_t state, std::uint32_t error) override {
    if (rasNotify) rasNotify(state, error);
  }
  std::function<void(std::uint32_t, std::uint32_t)> rasNotify;

  fakes::FakeWindow main, login, account, ipMgmtTab5, dynamicIpTab, vpnConn, progUpdate;
  std::vector<std::string> calls;
  int dpi = 96;  // the screen's logical DPI the host reports
};

struct MainWindow {
  Journal journal;
  session::SessionRecord record;
  fakes::FakeRegistry registry;
  fakes::FakeProfile profile;
  JournalInternet internet{journal};
  fakes::FakeNetTables tables;
  fakes::FakeShell shell;
  fakes::FakeSystem system;
  fakes::FakeSystemFacts facts;
  fakes::FakeClock clock;
  fakes::FakeFiles files;
  fakes::FakeAppShell appShell;
  JournalRas ras{journal};
  JournalNetConnections connections{journal};
  fakes::FakeProcesses processes;
  fakes::FakeBackgroundWork background{internet};  // downloads run inline, on `internet`
  platform::Platform services{registry, profile, internet, tables,  ras,   connections, processes,
                              shell,    system,  facts,    clock, files, appShell, background};
  FakeHost host;
  fakes::FakeWindow& window = host.main;
  JournalTunnel tunnel{journal};
  JournalHooks hooks{journal};
  FakeUpdate update;
  FakeBanner loginBanner, accountBanner;
  app::CMainDiagLog diagLog{files, clock};
  bool program64 = false;
  std::unique_ptr<app::CTunraDlg> dlg;

  MainWindow() {
    tables.hosts[TUNRA_LOGIN_HOST] = {net::Ipv4FromText("127.0.0.1")};
    record.clientCode = "tunra";
    record.userId = "";
  }
  app::CTunraDlg& Init() {
    dlg = std::make_unique<app::CTunraDlg>(
        record, services, host,
        app::MainWindowPeers{tunnel, hooks, update, loginBanner, accountBanner, diagLog}, program64);
    host.rasNotify = [this](std::uint32_t state, std::uint32_t error) { dlg->OnRasNotify(state, error); };
    dlg->OnInitDialog();
    return *dlg;
  }
  // A dialled tunnel of `vpnType` started for a logged-in user; the notifications
  // follow through `ras`.
  int StartDial(int vpnType = session::kVpnPptp) {
    record.vpnType = vpnType;
    record.serverIp = "192.0.2.10";
    record.userId = "gamer";
    record.password = "secret";
    record.connState = session::kConnIpChosen;
    return dlg->StartTunnel();
  }
  // The session in `connState` with a tunnel of `vpnType`: a dialled tunnel that is
  // coming up or up got there through a real dial (the dialer holds its handle);
  // anything else is only set.
  void Enter(int connState, int vpnType) {
    const bool dialled = vpnType == session::kVpnPptp || vpnType == session::kVpnL2tp;
    if (dialled && (connState == session::kConnConnecting || connState == session::kConnConnected)) {
      StartDial(vpnType);
      if (connState == session::kConnConnected) ReportConnected();
    }
    record.connState = connState;
    record.vpnType = vpnType;
  }
  // Every state of a dial up to "connected".
  void ReportConnected() {
    for (std::uint32_t state : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 10u, 14u, 18u}) ras.Report(state);
    ras.Report(platform::kRasConnected);
  }
  void Store(const char* name, const char* text) {
    registry.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, name, text);
  }
};

// What each orderly teardown asks of the peers.
inline Journal OpenVpnTeardown() {
  return {"stop openvpn", "remove openvpn files", "hook OUT_START", "hook OUT_STOP"};
}
inline Journal RasTeardown() { return {"hang up", "hook OUT_START", "hook OUT_STOP"}; }
// A RAS teardown when no dial was made: nothing to hang up.
inline Journal RasTeardownNoLink() { return {"hook OUT_START", "hook OUT_STOP"}; }
inline Journal Then(Journal a, const Journal& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace maintest
