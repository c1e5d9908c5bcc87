// What the two IP list panels do alike: fill the available IPs and the favourites
// from the session record and the stored value, add and remove favourites, keep the
// used-row history, turn a chosen row into ipCode and act on it (start a tunnel,
// change the running tunnel's IP in place, or stop it and start again), and colour the
// rows. Each panel adds its own ways of choosing.
#pragma once

#include <string>
#include <vector>

#include "app/iplist/favourites.h"
#include "app/iplist/ip_panel_host.h"
#include "app/iplist/latency.h"
#include "app/iplist/panel_look.h"
#include "app/iplist/row_colours.h"
#include "app/iplist/used_rows.h"
#include "app/main/main_window_peers.h"
#include "app/main/reconnect.h"
#include "platform/echo.h"
#include "platform/window.h"
#include "session/session_record.h"
#include "settings/reg_ctrl.h"
#include "settings/settings_table.h"
#include "text/crt_random.h"

namespace app {

struct IpPanelParts {
  platform::IWindow& panel;       // this panel, by control ID
  platform::IWindow& mainWindow;  // owner of the reconnect timer
  session::SessionRecord& record;
  settings::CRegCtrl& reg;
  ReconnectSettings& reconnect;
  IIpPanelHost& host;
  text::CrtRandom& random;  // the process's rand(), seeded once by the owner
};

// One record of the IP pool, in the order of the available-IP list's rows.
struct ConnIpPool {
  std::string code;  // sent back as ip_code
  std::string ip;    // the row's text
  int value = 0;     // carried, never read
};

class CIpPanelBase : public IIpPoolPanel {
 public:
  CIpPanelBase(const CIpPanelBase&) = delete;
  CIpPanelBase& operator=(const CIpPanelBase&) = delete;
  ~CIpPanelBase() override = default;

  // WM_INITDIALOG: the button bitmaps. Returns true.
  bool OnInitDialog();
  // WM_COMMAND of a button.
  virtual void OnCommand(int id) = 0;
  // NM_DBLCLK of a list.
  virtual void OnDoubleClick(int listId);
  // NM_CUSTOMDRAW, item pre-paint: the colours of `row` of list `listId`.
  virtual RowColours RowColoursOf(int listId, int row) const;

  // IIpListPanel and IIpPoolPanel.
  void ClearUsedHistory() override { used_.Clear(); }
  void SetCurrentRow(int row) override { currentRow_ = row; }
  void RepaintList() override;
  // Ends a running tunnel (logout notice "vpn", then the teardown of its kind) and
  // puts the prompt to choose an IP on the account panel's status line.
  void StopForIpChange() override;

  // Button 1012: the selected available IPs become favourites (a duplicate is refused
  // with a message), then the value is stored.
  void AddFavourites();
  // Button 1013: the selected favourites go, then the value is stored.
  void RemoveFavourites();
  // Double-click on the available IPs.
  void ChooseAvailableRow();
  // Double-click on the favourites.
  void ChooseFavouriteRow();
  // The random button over the available IPs.
  void ChooseRandomAvailable();
  // Acts on the ipCode just chosen: starts a tunnel (and arms the reconnect timer
  // when reconnecting is on), or with a tunnel up changes its IP in place (one-click
  // change on) or stops it and starts again.
  void ApplySelectedIp();
  // The session login with the chosen IP and the tunnel start: -2 when the login
  // failed, else 1 (a failed start stops OpenVPN and the progress dialog).
  virtual int StartIpConnection();

  const std::vector<ConnIpPool>& pool() const { return pool_; }
  const Favourites& favourites() const { return favourites_; }
  const UsedRowHistory& usedRows() const { return used_; }
  int currentRow() const { return currentRow_; }
  const IpPanelLook& look() const { return look_; }

  // The echo probe that fills the latency column of the available IPs; without one
  // (null, the default) the column stays empty. The probe must outlive its use here.
  void SetEchoProbe(platform::IEchoProbe* probe) { echo_ = probe; }
  // A result of the probe: shown on every row of its address when it belongs to the
  // pool shown now; results of an earlier fill are dropped.
  void OnEchoResult(std::uint32_t generation, const platform::EchoResult& result);

 protected:
  CIpPanelBase(IpPanelParts parts, settings::Setting favouritesValue, const IpPanelLook& look);

  // Fills the available IPs from ipPoolList and the favourites from the stored value,
  // and starts measuring the available IPs' latency.
  void FillPool();
  // Writes the favourites value.
  void StoreFavourites();
  // The pool entries a row text chooses: every entry with this IP and a code (the
  // empty record of an empty pool chooses nothing), in pool order.
  std::vector<int> EntriesFor(const std::string& ip) const;
  // Clears the list's selection, selects and focuses `row`, scrolls it into view and
  // gives the list the keyboard focus.
  void SelectRow(int listId, int row);
  // Pool entry `entry` chosen through a favourite: ipCode, the used-row history and
  // the current row follow it; with `select` its row of the available IPs is selected
  // as a random choice selects. The available IPs are repainted.
  void TakeEntry(int entry, bool select);
  // A favourite row chosen by double-click found its pool entry.
  virtual void OnFavouriteChosen(int /*favouriteRow*/) {}

  IpPanelParts p_;

 private:
  const settings::Setting favouritesValue_;
  const IpPanelLook& look_;
  std::vector<ConnIpPool> pool_;
  Favourites favourites_;
  UsedRowHistory used_;
  int currentRow_ = -1;
  platform::IEchoProbe* echo_ = nullptr;
  std::uint32_t echoGeneration_ = 0;   // of the pool shown now
  std::vector<std::uint32_t> rowAddresses_;  // each available row's echo address (0: none)
};

}  // namespace app
