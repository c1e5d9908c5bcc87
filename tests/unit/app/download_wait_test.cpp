// While a download waits (its window messages dispatched), the main window's buttons,
// its tray menu and the reconnect ticks start nothing: no exit question, no dialog, no
// second login or download inside the first.
#include <string>

#include <gtest/gtest.h>

#include "unit/app/main_window_rig.h"

namespace {

using maintest::MainWindow;

constexpr std::uintptr_t kWmRButtonUp = 0x0205;

TEST(DownloadWait, CommandsTrayAndReconnectWaitForTheDownload) {
  MainWindow m;
  m.Init();
  m.record.vpnType = session::kVpnOpenVpn;
  m.record.serverIp = "192.0.2.10";
  m.record.userId = "gamer";
  m.record.password = "secret";
  m.record.certUrl = "http://127.0.0.1/certs/tunra_ca.crt";
  m.record.certFileName = "tunra_ca.crt";
  m.record.certVersion = 1002;
  m.record.connState = session::kConnIpChosen;
  m.internet.Script("/certs/tunra_ca.crt", {200, "certificate", true, false});
  m.dlg->state().relinkWanted = true;
  m.dlg->reconnect().attempts = 5;
  m.host.calls.clear();

  std::size_t requestsBefore = 0, requestsDuring = 0;
  m.background.whileWaiting = [&] {
    requestsBefore = m.internet.requests().size();
    for (int id : {ID_TRAY_EXIT, IDC_MAIN_CLOSE, IDC_MAIN_UPDATE, IDC_MAIN_OPTIONS, IDC_MAIN_MINIMIZE})
      m.dlg->OnCommand(id);
    m.dlg->OnTrayNotify(TRAY_ICON_ID, kWmRButtonUp);
    m.dlg->ReconnectTick();
    requestsDuring = m.internet.requests().size();
  };
  EXPECT_EQ(m.dlg->StartTunnel(), 1);

  EXPECT_EQ(m.background.runs.size(), 1u);  // the certificate's download
  EXPECT_TRUE(m.host.calls.empty());
  EXPECT_TRUE(m.window.boxes().empty());
  EXPECT_FALSE(m.dlg->ended());
  EXPECT_EQ(requestsDuring, requestsBefore);

  // Once the download is done, the buttons work again.
  m.dlg->OnCommand(IDC_MAIN_UPDATE);
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"update dialog"});
}

}  // namespace
