#include "app/openvpn/openvpn_services.h"

#include "net/network_mgmt.h"

namespace app {

COpenVpnServices::COpenVpnServices(session::SessionRecord& record, platform::Platform& platform,
                                   platform::IWindow& owner, net::IDiagLog& log)
    : record_(record),
      platform_(platform),
      log_(log),
      adapters_(platform.netTables, platform.registry, platform.netConnections, log),
      binding_tools_(platform.processes, platform.system, log),
      files_(platform.files, owner, log),
      openvpn_(platform.processes, platform.files, owner, log),
      tap_(platform.processes, platform.system, adapters_, openvpn_, owner, log) {}

void COpenVpnServices::ApplyAdapterMac() {
  // The address the service assigned, on the tunnel adapter; its connection restarts
  // for the driver to take it, and is connected again only if it went down.
  const int index = adapters_.FindAdapterIndex(record_.tapAdapterName);
  if (index <= 0 || record_.macAddr.empty()) return;
  const std::string guid = adapters_.GetAdapterGuid(static_cast<std::uint32_t>(index));
  adapters_.SetAdapterMac(record_.macAddr, guid);
  if (adapters_.RestartConnection(guid, false) == 1) adapters_.RestartConnection(guid, true);
}

std::string COpenVpnServices::TunnelAdapterAddress() {
  const int index = adapters_.FindAdapterIndex(record_.tapAdapterName);
  if (index <= 0) return "";
  return net::CNetworkMgmt(platform_.netTables).GetInterfaceAddress(static_cast<std::uint32_t>(index));
}

void COpenVpnServices::StartAdapterInstaller() {
  // Beside the program, by its full path and quoted, hidden; not waited for.
  std::string path = record_.programDir + "/" + kAdapterInstallerName;
  for (char& c : path)
    if (c == '/') c = '\\';
  platform::CreateProcessOptions options;
  options.inheritHandles = false;
  options.applicationName = path;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0;
  std::uint32_t error = 0;
  const bool started = platform_.processes.CreateProcess("\"" + path + "\"", options, process, pid, error);
  log_.Write("adapter installer \"" + path + "\" -> " + (started ? "0" : std::to_string(error)));
  if (started) platform_.processes.CloseHandle(process);
}

}  // namespace app
