// The main window's own state: what the login, the panels and the teardowns read and
// write besides the session record. All zero or empty when the main window is built.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/route_mgmt.h"

namespace app {

struct MainWindowState {
  int elapsedSeconds = 0;          // seconds of the current connection (account panel)
  int superviseTicks = 0;          // supervision ticks since the tunnel start
  int dayNoticeShown = 0;          // the less-than-a-day notice was shown
  int fiveMinuteRefreshDone = 0;   // the account refresh before the end was done
  std::uint32_t localIfIndex = 0;  // interface of the physical default route; 0 when none
  std::string localGateway;        // its next hop
  std::string localAddress;        // its address
  std::string remoteSupportPeer;   // remote end of a remote-support session; empty when none
  std::string phonebookPath;       // the dialer's phonebook, written before each dial
  int dialStep = 0;                // dial notifications received in the current dial
  bool dialing = false;            // a dial was started and has not ended yet
  long long connectStartTime = 0;  // when the current tunnel start began (seconds since 1970)
  std::string tunnelAddress;       // the address the tunnel's server assigned

  // Automatic reconnection: set when the link dropped while the user was logged in
  // (never by a user's disconnect or logout); the reconnect tick starts the tunnel
  // again only then. `startRunning` keeps a tick from starting a second start.
  bool relinkWanted = false;
  bool startRunning = false;

  // The default route the full-tunnel swap replaced, put back by the OpenVPN teardown
  // (metric 50), and the mark that the tunnel's routes are in the table.
  std::uint32_t savedDefaultIfIndex = 0;
  std::string savedDefaultGateway;
  int routesInstalled = 0;
  // What the full-tunnel swap of an OpenVPN tunnel changed, undone by its teardown.
  net::TunnelRouteUndo routeUndo;

  // For the report for support: the last dialer errors ("stamp code text", oldest
  // first, at most kKeptRasErrors) and the OpenVPN log as the last teardown found it
  // (the teardown deletes the file).
  std::vector<std::string> rasErrors;
  std::string lastOpenVpnLog;
};

}  // namespace app
