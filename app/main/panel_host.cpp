// What the main window does for the IP list panels: the session login, the
// teardown and adapter services, the IP exchanges and the account panel's status line.
#include "app/main/tunra_dlg.h"
#include "protocol/ip_change.h"

namespace app {

int CTunraDlg::LoginSession() { return session_.LoginSession(); }

void CTunraDlg::StopOpenVpn() { peers_.tunnel.StopOpenVpn(); }

int CTunraDlg::EnableConnectionByDevice(const std::string& device, bool enable) {
  return static_cast<int>(adapters_.EnableConnectionByDevice(device, enable));
}

void CTunraDlg::FetchIpPool() {
  // A server message is shown over the panel that asked, the class panel.
  exchanges_.FetchIpPool(windows_.dynamicIpTab);
}

void CTunraDlg::RequestIpChange(const std::string& ipCode) {
  std::string assigned;
  protocol::RequestIpChange(ctx_, ipCode, assigned);
  if (!assigned.empty()) SetAccountStatus(assigned);
}

void CTunraDlg::SetAccountStatus(const std::string& text) {
  windows_.account.SetText(IDC_ACCOUNT_STATUS, text);
  windows_.account.Redraw(IDC_ACCOUNT_STATUS);
}

}  // namespace app
