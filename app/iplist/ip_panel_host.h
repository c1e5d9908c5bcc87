// What the IP list panels ask of the main window: the session login, the tunnel start
// and teardowns, the IP exchanges and the account panel's status line. The main window
// implements it; the panels only call it.
#pragma once

#include <string>

namespace app {

// Reason codes of the OpenVPN teardown: 0 an error ended the tunnel (an event report
// is sent), 4 an orderly end after a logout notice, -1 before an update installer runs.
inline constexpr int kTeardownError = 0;
inline constexpr int kTeardownOrderly = 4;
inline constexpr int kTeardownForUpdate = -1;

class IIpPanelHost {
 public:
  virtual ~IIpPanelHost() = default;

  // The session login (user check with the chosen IP and account information):
  // negative on failure.
  virtual int LoginSession() = 0;
  // Brings the tunnel up for the session record's ipCode: negative on failure.
  virtual int StartTunnel() = 0;
  // The logout notice with this authentication mode ("vpn").
  virtual void SendLogout(const std::string& mode) = 0;
  // The OpenVPN teardown (reason code 4: orderly, no event report) and the RAS one.
  virtual void TeardownOpenVpn(int reasonCode, const std::string& reasonText) = 0;
  virtual int TeardownRas() = 0;
  // Ends a running OpenVPN process.
  virtual void StopOpenVpn() = 0;
  // Connects or disconnects every network connection of the device `device`.
  virtual int EnableConnectionByDevice(const std::string& device, bool enable) = 0;
  // The IP pool exchange for the record's classCode: refreshes ipPoolList.
  virtual void FetchIpPool() = 0;
  // The in-place IP change of the running tunnel to `ipCode`.
  virtual void RequestIpChange(const std::string& ipCode) = 0;
  // Sets the account panel's status line (control 1035) and repaints it at once.
  virtual void SetAccountStatus(const std::string& text) = 0;
  // Stops the connection progress dialog's animation and hides it.
  virtual void StopProgress() = 0;
};

}  // namespace app
