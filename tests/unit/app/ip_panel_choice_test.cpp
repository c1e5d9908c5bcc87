// The IP list panels' ways of choosing an IP and what a choice does: start a tunnel,
// change the running tunnel's IP in place, or stop it and start again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/app/ip_panel_fakes.h"

namespace {

using iptest::IpPanelRig;
using iptest::Journal;
using Rows = std::vector<std::string>;

constexpr const char* kPrompt = "status 사용하실 아이피를 선택후 더블클릭 해주세요";

class PoolPanelChoiceTest : public ::testing::Test, public IpPanelRig<app::CIpMgmtTab5Dlg> {
 protected:
  PoolPanelChoiceTest() {
    record.ipPoolList = "c0^10.0.0.1|c1^10.0.0.2|c2^10.0.0.3|c3^10.0.0.4";
    StoreFavourites("10.0.0.3^10.0.0.1");  // rows: 10.0.0.1, 10.0.0.3
    panel.LoadList();
  }
  // The row the process's generator gives next for a list of `count` rows.
  int NextRandomRow(int count) {
    text::CrtRandom copy = random;
    return copy.Next() % count;
  }
};

class ClassPanelChoiceTest : public ::testing::Test, public IpPanelRig<app::DynamicIpTabDlg> {
 protected:
  ClassPanelChoiceTest() {
    host.pools = {{"KR", "k0^10.1.0.1|k1^10.1.0.2|k2^10.1.0.3|k3^10.1.0.4|k4^10.1.0.5"}};
    record.ipPoolClass = "KR^JP^";
    // Four favourites; the list shows the newest on top: .5 .4 .2 .1
    StoreFavourites("10.1.0.1^10.1.0.2^10.1.0.4^10.1.0.5");
    panel.LoadList();
    Select(IDC_CLASS_LIST, {0});
    panel.OnDoubleClick(IDC_CLASS_LIST);
    journal.clear();
  }
};

TEST_F(PoolPanelChoiceTest, WhatAChoiceDoesByStateAndSettings) {
  struct Case {
    const char* name;
    int connState, vpnType, ipChangeType, reconnectEnabled, reconnectInterval, loginResult, startResult;
    Journal journal;
    int connStateAfter;
    unsigned reconnectTimer;  // period of timer 12, 0 when not armed
  };
  const Case cases[] = {
      {"PPTP start", session::kConnLoggedIn, session::kVpnPptp, 0, 1, 30, 1, 1,
       {"disable TAP-Win32 Adapter V9", "login vpn c1", "start tunnel c1"}, session::kConnIpChosen, 30000},
      {"L2TP start, reconnect off", session::kConnLoggedIn, session::kVpnL2tp, 0, 0, 30, 1, 1,
       {"login vpn c1", "start tunnel c1"}, session::kConnIpChosen, 0},
      {"failed login", session::kConnLoggedIn, session::kVpnOpenVpn, 0, 1, 15, -1, 1,
       {"login vpn c1"}, session::kConnLoggedIn, 15000},
      {"failed tunnel start", session::kConnLoggedIn, session::kVpnOpenVpn, 0, 1, 0, 1, -1,
       {"login vpn c1", "start tunnel c1", "stop openvpn", "stop progress"}, session::kConnIpChosen, 0},
      {"connected, one-click change on", session::kConnConnected, session::kVpnPptp, 1, 1, 30, 1, 1,
       {"ip change c1"}, session::kConnConnected, 0},
      {"connected, change off, RAS", session::kConnConnected, session::kVpnL2tp, 0, 0, 0, 1, 1,
       {"logout vpn", "teardown ras", kPrompt, "login vpn c1", "start tunnel c1"}, session::kConnIpChosen, 0},
      {"connected, change off, OpenVPN", session::kConnConnected, session::kVpnOpenVpn, 0, 0, 0, 1, 1,
       {"logout vpn", "teardown openvpn 4 ''", kPrompt, "login vpn c1", "start tunnel c1"}, session::kConnIpChosen,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    journal.clear();
    mainWindow.KillTimer(app::kTimerReconnect);
    record.connState = c.connState;
    record.vpnType = c.vpnType;
    record.ipChangeType = c.ipChangeType;
    record.authMode = "user";
    reconnect.enabled = c.reconnectEnabled;
    reconnect.interval = c.reconnectInterval;
    host.loginResult = c.loginResult;
    host.startResult = c.startResult;

    Select(IDC_IP_AVAILABLE, {1});
    panel.OnDoubleClick(IDC_IP_AVAILABLE);
    EXPECT_EQ(journal, c.journal);
    EXPECT_EQ(record.connState, c.connStateAfter);
    const bool started = c.connState != session::kConnConnected || c.ipChangeType != 1;
    EXPECT_EQ(record.authMode, started ? "vpn" : "user");
    const auto timer = mainWindow.timers().find(app::kTimerReconnect);
    EXPECT_EQ(timer == mainWindow.timers().end() ? 0u : timer->second, c.reconnectTimer);
  }
}

TEST_F(PoolPanelChoiceTest, StopForIpChangeWithoutATunnelOnlyPromptsAgain) {
  record.connState = session::kConnIpChosen;
  panel.StopForIpChange();
  EXPECT_EQ(journal, Journal{kPrompt});
}

TEST_F(PoolPanelChoiceTest, RandomRowIsSelectedFocusedAndChosen) {
  Select(IDC_IP_AVAILABLE, {0, 3});
  const int row = NextRandomRow(4);
  panel.OnCommand(IDC_POOL_RANDOM);
  const auto& list = window.control(IDC_IP_AVAILABLE);
  EXPECT_EQ(list.selectedRows, std::set<int>{row});
  EXPECT_EQ(list.focusedRow, row);
  EXPECT_EQ(list.visibleRow, row);
  EXPECT_EQ(window.focus(), IDC_IP_AVAILABLE);
  EXPECT_EQ(panel.currentRow(), row);
  EXPECT_EQ(record.ipCode, "c" + std::to_string(row));
  EXPECT_EQ(panel.usedRows().entries(), std::vector<int>{row});
  EXPECT_EQ(journal, (Journal{"login vpn c" + std::to_string(row), "start tunnel c" + std::to_string(row)}));
}

TEST_F(PoolPanelChoiceTest, RandomFavouriteIsChosenInBothLists) {
  const int row = NextRandomRow(2);
  const std::string ip = window.ListGetText(IDC_IP_FAVOURITES, row, 0);
  const int entry = ip == "10.0.0.1" ? 0 : 2;
  panel.OnCommand(IDC_POOL_RANDOM_FAVOURITE);
  EXPECT_EQ(window.control(IDC_IP_FAVOURITES).selectedRows, std::set<int>{row});
  EXPECT_EQ(window.control(IDC_IP_AVAILABLE).selectedRows, std::set<int>{entry});
  EXPECT_EQ(window.focus(), IDC_IP_AVAILABLE);
  EXPECT_EQ(panel.currentRow(), entry);
  EXPECT_EQ(record.ipCode, "c" + std::to_string(entry));
  EXPECT_EQ(journal.size(), 2u);
}

// A random button on an empty list does nothing: no selection, no exchange.
TEST(IpPanelEmptyListsTest, RandomButtonsOnEmptyListsDoNothing) {
  IpPanelRig<app::CIpMgmtTab5Dlg> rig;  // never filled
  rig.panel.OnCommand(IDC_POOL_RANDOM);
  rig.panel.OnCommand(IDC_POOL_RANDOM_FAVOURITE);
  EXPECT_TRUE(rig.journal.empty());
  EXPECT_EQ(rig.panel.currentRow(), -1);
  EXPECT_EQ(rig.window.focus(), -1);
}

TEST_F(ClassPanelChoiceTest, ClassDoubleClickFetchesItsPoolAndStartsAfresh) {
  Select(IDC_IP_AVAILABLE, {2});
  panel.OnDoubleClick(IDC_IP_AVAILABLE);
  panel.SetRotation(3);
  journal.clear();

  Select(IDC_CLASS_LIST, {1});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  EXPECT_EQ(record.classCode, "JP");
  EXPECT_EQ(journal, Journal{"fetch pool JP"});
  EXPECT_EQ(Texts(IDC_IP_AVAILABLE), Rows{""});  // the failed exchange's empty pool
  EXPECT_TRUE(Texts(IDC_IP_FAVOURITES).empty());
  EXPECT_TRUE(panel.usedRows().entries().empty());
  EXPECT_EQ(panel.currentRow(), -1);
  EXPECT_EQ(panel.rotation(), 0);

  // Double-clicking no class only marks none.
  Select(IDC_CLASS_LIST, {});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  EXPECT_EQ(panel.classRow(), -1);
  EXPECT_EQ(journal.size(), 1u);
}

TEST_F(ClassPanelChoiceTest, TheRotationTakesTheFavouritesInTurn) {
  ASSERT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"10.1.0.5", "10.1.0.4", "10.1.0.2", "10.1.0.1"}));
  struct Case {
    int positionBefore;
    const char* ipCode;
    int favouriteRow, availableRow, positionAfter;
  };
  const Case cases[] = {
      {0, "k4", 0, 4, 1},
      {1, "k3", 1, 3, 2},
      {4, "k4", 0, 4, 1},  // at the end it starts again at the first
      {7, "k4", 0, 4, 1},  // past the end (after removals) as well
      {3, "k0", 3, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.positionBefore);
    journal.clear();
    panel.SetRotation(c.positionBefore);
    panel.OnCommand(IDC_CLASS_NEXT_FAVOURITE);
    EXPECT_EQ(record.ipCode, c.ipCode);
    EXPECT_EQ(window.control(IDC_IP_FAVOURITES).selectedRows, std::set<int>{c.favouriteRow});
    EXPECT_EQ(window.control(IDC_IP_AVAILABLE).selectedRows, std::set<int>{c.availableRow});
    EXPECT_EQ(window.focus(), IDC_IP_FAVOURITES);
    EXPECT_EQ(panel.currentRow(), c.availableRow);
    EXPECT_EQ(panel.rotation(), c.positionAfter);
    EXPECT_EQ(journal, (Journal{"login vpn " + std::string(c.ipCode), "start tunnel " + std::string(c.ipCode)}));
  }
}

TEST_F(ClassPanelChoiceTest, AFavouriteDoubleClickedGoesOnWithTheNextOne) {
  Select(IDC_IP_FAVOURITES, {2});  // 10.1.0.2, pool entry 1
  panel.OnDoubleClick(IDC_IP_FAVOURITES);
  EXPECT_EQ(record.ipCode, "k1");
  EXPECT_EQ(panel.currentRow(), 1);
  EXPECT_EQ(panel.usedRows().entries(), std::vector<int>{1});
  EXPECT_EQ(panel.rotation(), 3);
  panel.OnCommand(IDC_CLASS_NEXT_FAVOURITE);
  EXPECT_EQ(record.ipCode, "k0");  // row 3, 10.1.0.1

  // No favourite selected: nothing changes.
  journal.clear();
  Select(IDC_IP_FAVOURITES, {});
  panel.OnDoubleClick(IDC_IP_FAVOURITES);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(record.ipCode, "k0");
}

// A choice that named no pool entry still connected, with the ipCode of the choice
// before it.
TEST_F(ClassPanelChoiceTest, AChoiceOfNoPoolEntryConnectsNothing) {
  record.ipCode = "k2";
  // No favourites: the rotation has no row to take.
  Select(IDC_IP_FAVOURITES, {0, 1, 2, 3});
  panel.OnCommand(IDC_IP_REMOVE);
  panel.OnCommand(IDC_CLASS_NEXT_FAVOURITE);
  EXPECT_EQ(record.ipCode, "k2");
  EXPECT_EQ(panel.rotation(), 1);

  // The one empty row of a failed pool exchange names no IP to connect to.
  Select(IDC_CLASS_LIST, {1});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  journal.clear();
  Select(IDC_IP_AVAILABLE, {0});
  panel.OnDoubleClick(IDC_IP_AVAILABLE);
  panel.OnCommand(IDC_CLASS_RANDOM);
  EXPECT_EQ(record.ipCode, "k2");
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(mainWindow.timers().empty());
}

}  // namespace
