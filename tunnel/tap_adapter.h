// The tunnel adapter and the firewall before an OpenVPN tunnel: firewall exceptions for
// the client and the OpenVPN program, the check that exactly one tunnel adapter exists
// (CODE-017 and a driver reinstall otherwise).
#pragma once

#include <string>

#include "net/adapter_mgmt.h"
#include "net/diag_log.h"
#include "platform/process.h"
#include "platform/system.h"
#include "platform/window.h"
#include "session/session_record.h"
#include "tunnel/openvpn_mgmt.h"

namespace tunnel {

class CTapAdapter {
 public:
  CTapAdapter(platform::IProcesses& processes, platform::ISystem& system, net::CAdapterMgmt& adapters,
              COpenVpnMgmt& openVpn, platform::IWindow& owner, net::IDiagLog& log);
  virtual ~CTapAdapter() = default;

  // Firewall exceptions for the client and the OpenVPN program (netsh by its full
  // system path, bounded waits). Always 1.
  int AllowThroughFirewall(const session::SessionRecord& record);
  // Exactly one adapter named tapAdapterName: nothing to do. Otherwise CODE-017 and
  // ReinstallTapDriver. Always 0.
  int CheckTapAdapter(const session::SessionRecord& record);
  // Removes and installs the tunnel adapter's driver with the shipped driver tool
  // (quoted paths, bounded waits, 64-bit Windows told by GetNativeSystemInfo). Always 1.
  int ReinstallTapDriver(const session::SessionRecord& record);
};

}  // namespace tunnel
