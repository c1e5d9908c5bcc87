// The OpenVPN tunnel's services over the session record: its working files, the
// program and its log, the tunnel adapter (bindings, hardware address, address,
// driver) and the firewall. The window layer builds it from the platform bundle and
// hands it to the main window as its tunnel services.
#pragma once

#include <string>

#include "app/main/main_window_peers.h"
#include "net/adapter_mgmt.h"
#include "net/binding_tools.h"
#include "net/diag_log.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "session/session_record.h"
#include "tunnel/openvpn_files.h"
#include "tunnel/openvpn_mgmt.h"
#include "tunnel/tap_adapter.h"

namespace app {

// The driver installer beside the program, started when the tunnel adapter failed.
inline constexpr const char* kAdapterInstallerName = "AdapterInstall.exe";

class COpenVpnServices final : public ITunnelServices {
 public:
  // `owner` shows the operations' messages.
  COpenVpnServices(session::SessionRecord& record, platform::Platform& platform, platform::IWindow& owner,
                   net::IDiagLog& log);

  void StopOpenVpn() override { openvpn_.StopOpenVpn(); }
  void RemoveOpenVpnFiles() override { files_.RemoveOpenVpnFiles(record_); }
  int CheckTapAdapter() override { return tap_.CheckTapAdapter(record_); }
  int AllowThroughFirewall() override { return tap_.AllowThroughFirewall(record_); }
  int UnbindAdapterServices() override {
    return binding_tools_.UnbindAdapterServices(record_.programDir, record_.tapAdapterName);
  }
  int WriteOpenVpnConfig() override { return files_.WriteOpenVpnConfig(record_); }
  int WriteCredentials() override { return files_.WriteCredentials(record_); }
  void ApplyAdapterMac() override;
  int LaunchOpenVpn() override { return openvpn_.LaunchOpenVpn(record_); }
  int ReadOpenVpnStatus() override { return openvpn_.ReadOpenVpnStatus(record_); }
  std::string TunnelAdapterAddress() override;
  void StartAdapterInstaller() override;

 private:
  session::SessionRecord& record_;
  platform::Platform& platform_;
  net::IDiagLog& log_;
  net::CAdapterMgmt adapters_;
  net::CBindingTools binding_tools_;
  tunnel::COpenVpnFiles files_;
  tunnel::COpenVpnMgmt openvpn_;
  tunnel::CTapAdapter tap_;
};

}  // namespace app
