#include "app/iplist/ip_panel_base.h"

#include <cstdint>
#include <limits>

#include "app/iplist/texts.h"
#include "app/main/main_timers.h"
#include "app/texts.h"
#include "protocol/logout.h"
#include "text/field.h"

namespace app {

namespace {

// The favourites value is read whole: the settings' 1024-byte buffer would read a
// longer value as absent, and the next add or remove would store what is left.
constexpr std::uint32_t kWholeValue = std::numeric_limits<std::uint32_t>::max();

// The session login's mode for a tunnel start.
constexpr const char* kAuthModeTunnel = "vpn";

// SetTimer takes at most 0x7FFFFFFF milliseconds.
unsigned ReconnectPeriod(int seconds) {
  const long long ms = static_cast<long long>(seconds) * 1000;
  return static_cast<unsigned>(ms > 0x7FFFFFFF ? 0x7FFFFFFF : ms);
}

}  // namespace

CIpPanelBase::CIpPanelBase(IpPanelParts parts, settings::Setting favouritesValue, const IpPanelLook& look)
    : p_(parts), favouritesValue_(favouritesValue), look_(look) {}

bool CIpPanelBase::OnInitDialog() {
  for (std::size_t i = 0; i < look_.buttonCount; ++i) {
    const IpButtonBitmaps& b = look_.buttons[i];
    p_.panel.SetBitmaps(b.id, b.normal, b.pressed);
  }
  return true;
}

void CIpPanelBase::OnDoubleClick(int listId) {
  if (listId == IDC_IP_AVAILABLE) ChooseAvailableRow();
  else if (listId == IDC_IP_FAVOURITES) ChooseFavouriteRow();
}

RowColours CIpPanelBase::RowColoursOf(int listId, int row) const {
  if (listId == IDC_IP_AVAILABLE) return AvailableRowColours(row, currentRow_, used_);
  return {};
}

void CIpPanelBase::RepaintList() { p_.panel.Redraw(IDC_IP_AVAILABLE); }

void CIpPanelBase::FillPool() {
  platform::IWindow& w = p_.panel;
  std::string stored;
  const session::SessionRecord& r = p_.record;
  // A value that cannot be read is the empty text (the buffer stays as it was).
  p_.reg.ReadValue(r.settingsRoot, r.settingsKeyPath, std::string(settings::Info(favouritesValue_).name), stored,
                   kWholeValue);
  favourites_.BeginFill(stored);
  w.ListDeleteAll(IDC_IP_FAVOURITES);
  pool_.clear();
  rowAddresses_.clear();
  w.ListDeleteAll(IDC_IP_AVAILABLE);

  // Records "code^ip^..." separated by '|'; an empty pool is one empty record.
  text::FieldCursor records(r.ipPoolList, '|');
  int row = 0;
  for (std::string_view record; records.Next(record); ++row) {
    text::FieldCursor fields(record, '^');
    std::string_view code, ip;
    fields.Next(code);
    fields.Next(ip);
    pool_.push_back({std::string(code), std::string(ip)});
    const std::string& text = pool_.back().ip;
    w.ListInsertRow(IDC_IP_AVAILABLE, row, {text});
    rowAddresses_.push_back(EchoAddressOf(text));
    for (int n = favourites_.TakePoolIp(text); n > 0; --n) w.ListInsertRow(IDC_IP_FAVOURITES, 0, {text});
  }
  favourites_.EndFill();

  // A new generation even without a probe or addresses: late results of the pool
  // shown before must not land on these rows.
  ++echoGeneration_;
  const std::vector<std::uint32_t> addresses = EchoAddresses(rowAddresses_);
  // Asked even with no address: the probe then drops what it still had to measure.
  if (echo_ != nullptr)
    echo_->Measure(echoGeneration_, addresses, kEchoTimeoutMs,
                   [this](std::uint32_t generation, const platform::EchoResult& result) {
                     OnEchoResult(generation, result);
                   });
}

void CIpPanelBase::OnEchoResult(std::uint32_t generation, const platform::EchoResult& result) {
  if (generation != echoGeneration_ || result.address == 0) return;
  const std::string text = LatencyText(result);
  for (std::size_t row = 0; row < rowAddresses_.size(); ++row)
    if (rowAddresses_[row] == result.address)
      p_.panel.ListSetText(IDC_IP_AVAILABLE, static_cast<int>(row), kLatencyColumn, text);
}

void CIpPanelBase::StoreFavourites() {
  const session::SessionRecord& r = p_.record;
  settings::WriteSetting(p_.reg, settings::SettingsKey{r.settingsRoot, r.settingsKeyPath}, favouritesValue_,
                         favourites_.StoredValue());
}

void CIpPanelBase::AddFavourites() {
  platform::IWindow& w = p_.panel;
  for (int row : w.ListSelectedRows(IDC_IP_AVAILABLE)) {
    const std::string ip = w.ListGetText(IDC_IP_AVAILABLE, row, 0);
    if (const int duplicates = favourites_.Count(ip); duplicates > 0) {
      for (int n = 0; n < duplicates; ++n) w.MessageBox(kFavouriteAlreadyAdded, kDuplicateCaption, platform::kMbOk);
      continue;
    }
    favourites_.Add(ip);
    w.ListInsertRow(IDC_IP_FAVOURITES, 0, {ip});
  }
  StoreFavourites();
}

void CIpPanelBase::RemoveFavourites() {
  platform::IWindow& w = p_.panel;
  // One pass per selected row; the count bounds the loop should a row refuse to go.
  for (int left = w.ListCount(IDC_IP_FAVOURITES); left > 0; --left) {
    const int row = w.ListSelected(IDC_IP_FAVOURITES);
    if (row < 0) break;
    const std::string ip = w.ListGetText(IDC_IP_FAVOURITES, row, 0);
    w.ListDeleteRow(IDC_IP_FAVOURITES, row);
    favourites_.RemoveLast(ip);
  }
  StoreFavourites();
}

std::vector<int> CIpPanelBase::EntriesFor(const std::string& ip) const {
  std::vector<int> entries;
  for (std::size_t i = 0; i < pool_.size(); ++i)
    if (pool_[i].ip == ip && !pool_[i].code.empty()) entries.push_back(static_cast<int>(i));
  return entries;
}

void CIpPanelBase::SelectRow(int listId, int row) {
  platform::IWindow& w = p_.panel;
  w.ListClearSelection(listId);
  w.ListSelect(listId, row);
  w.ListEnsureVisible(listId, row);
  w.SetFocus(listId);
}

void CIpPanelBase::TakeEntry(int entry, bool select) {
  p_.record.ipCode = pool_[static_cast<std::size_t>(entry)].code;
  used_.Record(entry);
  currentRow_ = entry;
  if (select) SelectRow(IDC_IP_AVAILABLE, entry);
  RepaintList();
}

void CIpPanelBase::ChooseAvailableRow() {
  const int row = p_.panel.ListSelected(IDC_IP_AVAILABLE);
  currentRow_ = row;
  if (row < 0) return;
  const std::vector<int> entries = EntriesFor(p_.panel.ListGetText(IDC_IP_AVAILABLE, row, 0));
  if (!entries.empty()) p_.record.ipCode = pool_[static_cast<std::size_t>(entries.back())].code;
  used_.Record(row);
  RepaintList();
  // A row that names no pool entry chose nothing: the earlier ipCode must not connect.
  if (!entries.empty()) ApplySelectedIp();
}

void CIpPanelBase::ChooseFavouriteRow() {
  const int row = p_.panel.ListSelected(IDC_IP_FAVOURITES);
  if (row < 0) return;
  const std::vector<int> entries = EntriesFor(p_.panel.ListGetText(IDC_IP_FAVOURITES, row, 0));
  for (int entry : entries) TakeEntry(entry, false);
  if (entries.empty()) return;
  OnFavouriteChosen(row);
  ApplySelectedIp();
}

void CIpPanelBase::ChooseRandomAvailable() {
  const int count = p_.panel.ListCount(IDC_IP_AVAILABLE);
  if (count <= 0) return;
  const int row = p_.random.Next() % count;
  SelectRow(IDC_IP_AVAILABLE, row);
  currentRow_ = row;
  const std::vector<int> entries = EntriesFor(p_.panel.ListGetText(IDC_IP_AVAILABLE, row, 0));
  if (!entries.empty()) p_.record.ipCode = pool_[static_cast<std::size_t>(entries.back())].code;
  used_.Record(row);
  RepaintList();
  if (!entries.empty()) ApplySelectedIp();
}

void CIpPanelBase::ApplySelectedIp() {
  session::SessionRecord& r = p_.record;
  if (r.connState != session::kConnConnected) {
    StartIpConnection();
    // Armed whatever the start's result: the reconnect ticks take over a failed start.
    if (p_.reconnect.enabled == 1 && p_.reconnect.interval > 0)
      p_.mainWindow.SetTimer(kTimerReconnect, ReconnectPeriod(p_.reconnect.interval));
  } else if (r.ipChangeType == 1) {
    p_.host.RequestIpChange(std::string(r.ipCode));
  } else {
    StopForIpChange();
    StartIpConnection();
  }
}

int CIpPanelBase::StartIpConnection() {
  session::SessionRecord& r = p_.record;
  // PPTP only: the OpenVPN adapter's connection would otherwise take the traffic.
  if (r.vpnType == session::kVpnPptp) p_.host.EnableConnectionByDevice(r.tapAdapterName, false);
  r.authMode = kAuthModeTunnel;
  if (p_.host.LoginSession() < 0) return -2;
  r.connState = session::kConnIpChosen;
  if (p_.host.StartTunnel() < 0) {
    p_.host.StopOpenVpn();
    p_.host.StopProgress();
  }
  return 1;
}

void CIpPanelBase::StopForIpChange() {
  session::SessionRecord& r = p_.record;
  if (r.connState == session::kConnConnected) {
    p_.host.SendLogout(protocol::kLogoutByTunnel);
    if (r.vpnType == session::kVpnOpenVpn) p_.host.TeardownOpenVpn(kTeardownOrderly, "");
    else p_.host.TeardownRas();
  }
  p_.host.SetAccountStatus(kChooseIpPrompt);
}

}  // namespace app
