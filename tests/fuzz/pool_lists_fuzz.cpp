// The lists the back end sends and the favourites stored beside them: `ipPoolList`
// ("code^ip^…" records separated by '|'), the stored favourites ('^'-separated), the
// class names of `ipPoolClass` and the servers of `vpnServerList`. Input: the three
// texts separated by NUL bytes (the third is used as both lists). Checked: every pool
// record gives one row showing its IP; the favourites survive being stored and read
// back unchanged once stored (a reload shows the same rows and stores the same value); classes and
// servers split without faults, and every offered server has a code.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/options/server_list.h"
#include "text/cp949.h"
#include "text/field.h"
#include "unit/app/ip_panel_fakes.h"

namespace {

std::vector<std::string_view> Parts(std::string_view input) {
  std::vector<std::string_view> parts;
  for (int i = 0; i < 2; ++i) {
    const std::size_t nul = input.find('\0');
    parts.push_back(input.substr(0, nul));
    input = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
  }
  parts.push_back(input);
  return parts;
}

void CheckPoolPanel(std::string_view pool, std::string_view stored) {
  iptest::IpPanelRig<app::CIpMgmtTab5Dlg> rig;
  rig.StoreFavourites(std::string(stored));
  rig.record.ipPoolList = std::string(pool);
  rig.panel.LoadIpPool();

  // Split walks the list once, apart from the panel's own walk (a field per call would
  // make each run quadratic in the number of records).
  const std::vector<std::string> rows = rig.Texts(IDC_IP_AVAILABLE);
  if (rows.size() != rig.panel.pool().size()) std::abort();
  const std::vector<std::string> records = text::Split(pool, '|');
  if (rows.size() > records.size()) std::abort();
  std::string ip;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!text::ExtractField(records[i], 1, '^', ip)) ip.clear();
    if (rows[i] != ip) std::abort();
  }

  // The first store may clean the value (an entry that is half a character goes);
  // from then on storing and reading back changes nothing.
  rig.panel.RemoveFavourites();  // nothing selected: only stores the value
  rig.panel.LoadIpPool();
  const std::vector<std::string> favourites = rig.Texts(IDC_IP_FAVOURITES);
  rig.panel.RemoveFavourites();
  const std::string first = rig.StoredFavourites();
  rig.panel.LoadIpPool();
  if (rig.Texts(IDC_IP_FAVOURITES) != favourites) std::abort();
  rig.panel.RemoveFavourites();
  if (rig.StoredFavourites() != first) std::abort();
}

void CheckClassesAndServers(std::string_view list) {
  iptest::IpPanelRig<app::DynamicIpTabDlg> rig;
  rig.record.ipPoolClass = std::string(list);
  rig.panel.LoadIpClasses();
  for (const app::VpnServer& server : app::ParseServerList(list)) {
    if (server.code.empty()) std::abort();
    // A '^' byte may be the second byte of a Korean character, never a separator.
    if (text::Contains(server.name, "^") || text::Contains(server.code, "^")) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;
  const std::vector<std::string_view> parts = Parts(std::string_view(reinterpret_cast<const char*>(data), size));
  CheckPoolPanel(parts[0], parts[1]);
  CheckClassesAndServers(parts[2]);
  return 0;
}
