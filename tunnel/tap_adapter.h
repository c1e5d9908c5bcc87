// The tunnel adapter and the firewall before an OpenVPN tunnel: firewall exceptions for
// the client and the OpenVPN program, the check that exactly one tunnel adapter exists
// (CODE-017 and a driver reinstall otherwise).
#pragma once

#include <cstdint>
#include <string>

#include "net/adapter_mgmt.h"
#include "net/diag_log.h"
#include "platform/process.h"
#include "platform/system.h"
#include "platform/window.h"
#include "session/session_record.h"
#include "tunnel/openvpn_mgmt.h"

namespace tunnel {

// How long the UI thread waits for each program it starts here (it waits: the calls
// are synchronous). A program still running then is left to finish on its own and
// logged: ending netsh or the driver tool in the middle of a change could leave the
// firewall or the device half configured.
//
// netsh adds a firewall exception in well under a second; 10 s allows for a loaded
// machine or a firewall service that is still starting, and bounds the start-up of the
// program (two commands) to 20 s at worst.
inline constexpr std::uint32_t kFirewallWaitMs = 10000;
// Removing the adapter stops its driver and deletes the device: a few seconds, longer
// while a program still holds the adapter open. 30 s covers that on a loaded machine.
inline constexpr std::uint32_t kDriverRemoveWaitMs = 30000;
// Installing copies the driver package into the driver store and creates the device
// (5-20 s), and Windows may first ask the user whether to trust the driver's
// publisher; the tool waits for that answer. 120 s leaves time to read and answer it.
inline constexpr std::uint32_t kDriverInstallWaitMs = 120000;

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

 private:
  enum class RunEnd { kExited, kNotStarted, kTimedOut };
  struct RunResult {
    RunEnd end;
    std::uint32_t error;  // the start's error when not started
  };

  // The program's folder (the executable's folder, Windows form), made the current
  // directory; empty when the executable's path cannot be had.
  std::string ProgramFolder();
  // netsh.exe of the system's own bitness: under WOW64 (a 32-bit build on 64-bit
  // Windows) through Sysnative, which the redirection leaves alone.
  std::string NetshPath(bool& sysnative);
  // Starts `program` hidden with `commandLine` (no inherited handles), waits up to
  // `waitMs` and logs "<what> "<command line>" -> <outcome>".
  RunResult Run(const std::string& what, const std::string& program, const std::string& commandLine,
                const std::string& folder, std::uint32_t waitMs);

  platform::IProcesses& processes_;
  platform::ISystem& system_;
  net::CAdapterMgmt& adapters_;
  COpenVpnMgmt& openVpn_;
  platform::IWindow& owner_;
  net::IDiagLog& log_;
};

}  // namespace tunnel
