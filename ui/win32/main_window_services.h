// What the main window asks of the network and firewall subsystems at start-up, on
// the real system.
#pragma once

#include "app/main/main_window_host.h"
#include "net/network_mgmt.h"
#include "platform/iphelper.h"

namespace ui {

class MainWindowServices final : public app::IMainWindowServices {
 public:
  explicit MainWindowServices(platform::INetTables& tables) : network_(tables) {}
  std::string ResolveLoginHost() override { return network_.ResolveLoginHost(); }
  // The firewall exceptions and the network connection switch come with the tunnel
  // adapter work; until then start-up leaves the firewall and connections as they are.
  int AllowThroughFirewall() override { return 1; }
  int EnableConnectionByDevice(const std::string&, bool) override { return kNotFound; }

 private:
  static constexpr int kNotFound = static_cast<int>(0x80070002);  // HRESULT of ERROR_FILE_NOT_FOUND
  net::CNetworkMgmt network_;
};

}  // namespace ui
