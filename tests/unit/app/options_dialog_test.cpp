// The options dialog's logic over a fake dialog, main window and registry: what each
// control shows at the start, what each click stores, and the refusals while a tunnel
// is starting or up.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/main/main_timers.h"
#include "app/options/ip_tab_set_option_dlg.h"
#include "app/options/texts.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_window.h"

namespace {

using Journal = std::vector<std::string>;
constexpr const char* kTap = "TAP-Win32 Adapter V9";
constexpr const char* kAbsent = "<absent>";

// A value of the settings key as text, kAbsent when it does not exist.
std::string StoredIn(const fakes::FakeRegistry& registry, const char* name) {
  const platform::RegValue* v = registry.Find(settings::kSettingsRoot, settings::kSettingsKeyPath, name);
  return v == nullptr ? kAbsent : v->data.substr(0, v->data.find('\0'));
}

class JournalHost : public app::IOptionsHost {
 public:
  explicit JournalHost(Journal& journal) : journal_(journal) {}
  int EnableConnectionByDevice(const std::string& device, bool enable) override {
    journal_.push_back((enable ? "enable " : "disable ") + device);
    return 1;
  }

 private:
  Journal& journal_;
};

class ScriptedView : public app::IOptionsView {
 public:
  explicit ScriptedView(Journal& journal) : journal_(journal) {}
  app::ProgramChoice ChooseProgram(std::string& path) override {
    journal_.push_back("choose program");
    if (choices.empty()) return app::ProgramChoice::kCancelled;
    const auto [choice, chosen] = choices.front();
    choices.pop_front();
    path = chosen;
    return choice;
  }
  void Close() override { journal_.push_back("close"); }

  std::deque<std::pair<app::ProgramChoice, std::string>> choices;

 private:
  Journal& journal_;
};

class OptionsDialogTest : public ::testing::Test {
 protected:
  OptionsDialogTest() {
    record.settingsRoot = settings::kSettingsRoot;
    record.settingsKeyPath = settings::kSettingsKeyPath;
    record.connState = session::kConnLoggedIn;
    record.tapAdapterName = kTap;
    record.autoConnChange = 1;
    record.vpnServerList = "A/a1^B/b1^";
    record.vpnConnServerCode = "from-user-check";
    // As the template creates them.
    dialog.Enable(IDC_OPT_INTERVAL, false);
    dialog.Enable(IDC_OPT_ATTEMPTS, false);
  }

  void Store(const char* name, const std::string& text) {
    registry.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, name, text);
  }
  std::string Stored(const char* name) { return StoredIn(registry, name); }
  void Open() {
    dlg.OnInitDialog();
    journal.clear();
  }
  std::string Selected(int id) { return dialog.ComboGetText(id, dialog.ComboGetSelection(id)); }
  void Choose(int id, const std::string& item) {
    const auto& items = dialog.control(id).items;
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i] == item) dialog.ComboSetSelection(id, static_cast<int>(i));
  }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : dialog.boxes()) texts.push_back(box.text + " / " + box.caption);
    return texts;
  }

  Journal journal;
  session::SessionRecord record;
  fakes::FakeRegistry registry;
  settings::CRegCtrl reg{registry};
  fakes::FakeWindow dialog, mainWindow;
  app::ReconnectSettings reconnect;
  JournalHost host{journal};
  ScriptedView view{journal};
  app::CIPTabSetOptionDlg dlg{app::OptionsParts{dialog, mainWindow, record, reg, reconnect, host, view}};
};

TEST_F(OptionsDialogTest, ServerComboSelectsTheStoredServerAndLeavesTheSessionAlone) {
  const struct {
    const char* list;
    const char* stored;  // nullptr: VSvrCode absent
    std::vector<std::string> items;
    int selected;
  } cases[] = {
      {"A/a1^B/b1^", "b1", {"A", "B"}, 1},
      {"A/a1^C/^B/b1^", "b1", {"A", "B"}, 1},  // C has no code and is not offered
      {"A/a1^B/b1^", "zz", {"A", "B"}, 0},
      {"A/a1^B/b1^", nullptr, {"A", "B"}, 0},
      {"A/a1^A/a2^", "a2", {"A", "A"}, 1},
      {"", "b1", {}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.list) + " " + (c.stored ? c.stored : kAbsent));
    fakes::FakeRegistry fresh;
    settings::CRegCtrl freshReg{fresh};
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, freshReg, reconnect, host, view}};
    record.vpnServerList = c.list;
    if (c.stored) fresh.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, "VSvrCode", c.stored);
    d.OnInitDialog();
    EXPECT_EQ(window.control(IDC_OPT_SERVER).items, c.items);
    EXPECT_EQ(window.ComboGetSelection(IDC_OPT_SERVER), c.selected);
    // Opening (and cancelling) changes no server: only a save does.
    d.OnCommand(IDC_OPT_CANCEL);
    EXPECT_EQ(record.vpnConnServerCode, "from-user-check");
    EXPECT_EQ(StoredIn(fresh, "VSvrCode"), c.stored ? c.stored : kAbsent);
  }
}

TEST_F(OptionsDialogTest, SaveStoresTheServerOfTheSelectedRow) {
  const struct {
    const char* list;
    int row;  // -1: only text typed into the edit field
    const char* stored;
  } cases[] = {
      {"A/a1^B/b1^", 0, "a1"},
      {"A/a1^B/b1^", 1, "b1"},
      {"A/a1^A/a2^", 1, "a2"},  // same names: the row's own server, not the last of the name
      {"A/a1^B/b1^", -1, kAbsent},
      {"", -1, kAbsent},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.list) + " row " + std::to_string(c.row));
    fakes::FakeRegistry fresh;
    settings::CRegCtrl freshReg{fresh};
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, freshReg, reconnect, host, view}};
    record.vpnServerList = c.list;
    record.vpnConnServerCode = "from-user-check";
    d.OnInitDialog();
    window.ComboSetSelection(IDC_OPT_SERVER, c.row);
    d.OnCommand(IDC_OPT_SAVE);
    EXPECT_EQ(StoredIn(fresh, "VSvrCode"), c.stored);
    EXPECT_EQ(record.vpnConnServerCode, c.row < 0 ? "from-user-check" : c.stored);
  }
}

TEST_F(OptionsDialogTest, ReconnectionControlsAtTheStart) {
  const struct {
    const char* name;
    int autoConnChange, enabled, attempts, interval, locked;
    bool switchOn, switchEnabled, intervalEnabled, attemptsEnabled;
    const char *interval_, *attempts_;
    int attemptsAfter, intervalAfter;
  } cases[] = {
      {"not allowed, off", 0, 0, 0, 0, 0, false, false, false, false, "60", "5", 0, 0},
      {"allowed, off", 1, 0, 3, 90, 0, false, true, false, false, "60", "5", 3, 90},
      {"not allowed but on", 0, 1, 3, 90, 0, true, true, true, true, "90", "3", 3, 90},
      {"on, values not in the lists", 1, 1, 7, 45, 0, true, true, true, true, "60", "5", 7, 45},
      {"on, no values", 1, 1, 0, 0, 0, true, true, false, false, "60", "5", 0, 0},
      {"locked", 1, 0, 3, 90, 1, false, false, false, false, "60", "5", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeWindow window;
    window.Enable(IDC_OPT_INTERVAL, false);
    window.Enable(IDC_OPT_ATTEMPTS, false);
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, reg, reconnect, host, view}};
    record.autoConnChange = c.autoConnChange;
    reconnect = {c.enabled, c.attempts, c.interval, c.locked, 0};
    d.OnInitDialog();
    EXPECT_EQ(window.control(IDC_OPT_RECONNECT).items, (std::vector<std::string>{"해제", "설정"}));
    EXPECT_EQ(window.control(IDC_OPT_INTERVAL).items, (std::vector<std::string>{"60", "90", "120"}));
    EXPECT_EQ(window.control(IDC_OPT_ATTEMPTS).items, (std::vector<std::string>{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(window.ComboGetSelection(IDC_OPT_RECONNECT), c.switchOn ? 1 : 0);
    EXPECT_EQ(window.IsEnabled(IDC_OPT_RECONNECT), c.switchEnabled);
    EXPECT_EQ(window.IsEnabled(IDC_OPT_INTERVAL), c.intervalEnabled);
    EXPECT_EQ(window.IsEnabled(IDC_OPT_ATTEMPTS), c.attemptsEnabled);
    EXPECT_EQ(window.ComboGetText(IDC_OPT_INTERVAL, window.ComboGetSelection(IDC_OPT_INTERVAL)), c.interval_);
    EXPECT_EQ(window.ComboGetText(IDC_OPT_ATTEMPTS, window.ComboGetSelection(IDC_OPT_ATTEMPTS)), c.attempts_);
    EXPECT_EQ(reconnect.attempts, c.attemptsAfter);
    EXPECT_EQ(reconnect.interval, c.intervalAfter);
  }
}

TEST_F(OptionsDialogTest, SwitchingReconnectionOnAndOff) {
  reconnect.locked = 1;
  Open();
  dialog.Enable(IDC_OPT_RECONNECT, true);

  Choose(IDC_OPT_RECONNECT, "설정");
  Choose(IDC_OPT_ATTEMPTS, "2");
  dlg.OnReconnectSwitchChanged();
  EXPECT_TRUE(dialog.IsEnabled(IDC_OPT_INTERVAL));
  EXPECT_TRUE(dialog.IsEnabled(IDC_OPT_ATTEMPTS));
  EXPECT_EQ(Selected(IDC_OPT_ATTEMPTS), "5");
  EXPECT_EQ(reconnect.locked, 0);

  Choose(IDC_OPT_INTERVAL, "120");
  Choose(IDC_OPT_RECONNECT, "해제");
  dlg.OnReconnectSwitchChanged();
  EXPECT_FALSE(dialog.IsEnabled(IDC_OPT_INTERVAL));
  EXPECT_FALSE(dialog.IsEnabled(IDC_OPT_ATTEMPTS));
  EXPECT_EQ(Selected(IDC_OPT_INTERVAL), "60");
  EXPECT_EQ(Selected(IDC_OPT_ATTEMPTS), "5");
}

TEST_F(OptionsDialogTest, SaveAppliesTheReconnectionSettingsUnlocked) {
  const struct {
    const char* switch_;
    const char *attempts, *interval;
    app::ReconnectSettings after;  // enabled, attempts, interval, locked, count
  } cases[] = {
      {"설정", "3", "90", {1, 3, 90, 0, 0}},
      {"설정", "1", "120", {1, 1, 120, 0, 0}},
      {"설정", "5", "60", {1, 5, 60, 0, 0}},
      // Off never locks: the next opening lets the user turn it on again.
      {"해제", "5", "60", {0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.switch_) + " " + c.attempts + " " + c.interval);
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, reg, reconnect, host, view}};
    reconnect = {1, 4, 60, 0, 2};  // a count left from a dropped link
    mainWindow.SetTimer(app::kTimerReconnect, 60000);
    mainWindow.SetTimer(app::kTimerReconnectWait, 20000);
    d.OnInitDialog();
    journal.clear();
    for (auto [id, item] : {std::pair{IDC_OPT_RECONNECT, c.switch_}, {IDC_OPT_ATTEMPTS, c.attempts},
                            {IDC_OPT_INTERVAL, c.interval}}) {
      const auto& items = window.control(id).items;
      for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item) window.ComboSetSelection(id, static_cast<int>(i));
    }
    d.OnCommand(IDC_OPT_SAVE);
    EXPECT_EQ(reconnect.enabled, c.after.enabled);
    EXPECT_EQ(reconnect.attempts, c.after.attempts);
    EXPECT_EQ(reconnect.interval, c.after.interval);
    EXPECT_EQ(reconnect.locked, 0);
    EXPECT_EQ(reconnect.count, 0);
    EXPECT_TRUE(mainWindow.timers().empty());
    ASSERT_EQ(window.boxes().size(), 1u);
    EXPECT_EQ(window.boxes()[0].text, "적용이 완료 되었습니다.");
    EXPECT_EQ(window.boxes()[0].caption, "적용설정");
    EXPECT_EQ(journal, Journal{"close"});
  }
}

TEST_F(OptionsDialogTest, SaveIsRefusedWhileATunnelStartsOrRuns) {
  for (int state : {session::kConnIpChosen, session::kConnConnecting, session::kConnConnected}) {
    SCOPED_TRACE(state);
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, reg, reconnect, host, view}};
    record.connState = state;
    reconnect = {1, 3, 90, 0, 1};
    mainWindow.SetTimer(app::kTimerReconnect, 90000);
    d.OnInitDialog();
    journal.clear();
    window.ComboSetSelection(IDC_OPT_RECONNECT, 0);
    window.ComboSetSelection(IDC_OPT_SERVER, 1);
    d.OnCommand(IDC_OPT_SAVE);
    ASSERT_EQ(window.boxes().size(), 1u);
    EXPECT_EQ(window.boxes()[0].caption, "자동접속 설정 오류");
    EXPECT_TRUE(journal.empty());  // stays open
    EXPECT_EQ(reconnect.enabled, 1);
    EXPECT_EQ(mainWindow.timers().count(app::kTimerReconnect), 1u);
    EXPECT_EQ(Stored("VSvrCode"), kAbsent);
    EXPECT_EQ(record.vpnConnServerCode, "from-user-check");
  }
}

TEST_F(OptionsDialogTest, MethodAtTheStartFollowsTheStoredValue) {
  const struct {
    const char* stored;  // nullptr: absent
    int state;
    int pptpCheck, openVpnCheck;
    Journal journal;
  } cases[] = {
      {"1", session::kConnLoggedIn, 1, 0, {"disable TAP-Win32 Adapter V9"}},
      {"4", session::kConnLoggedIn, 0, 1, {"enable TAP-Win32 Adapter V9"}},
      {nullptr, session::kConnIdle, 0, 1, {"enable TAP-Win32 Adapter V9"}},
      {"3", session::kConnLoggedIn, 0, 1, {"enable TAP-Win32 Adapter V9"}},
      // A running tunnel's traffic may use that connection: it is left alone.
      {"1", session::kConnConnected, 1, 0, {}},
      {"4", session::kConnConnecting, 0, 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.stored ? c.stored : "absent") + " state " + std::to_string(c.state));
    fakes::FakeRegistry fresh;
    settings::CRegCtrl freshReg{fresh};
    if (c.stored) fresh.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, "VCType", c.stored);
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, freshReg, reconnect, host, view}};
    record.connState = c.state;
    journal.clear();
    d.OnInitDialog();
    EXPECT_EQ(window.GetCheck(IDC_OPT_PPTP), c.pptpCheck);
    EXPECT_EQ(window.GetCheck(IDC_OPT_OPENVPN), c.openVpnCheck);
    EXPECT_EQ(journal, c.journal);
  }
}

TEST_F(OptionsDialogTest, MethodRadios) {
  const struct {
    const char* name;
    int state;
    const char* stored;
    int clicked;
    const char* storedAfter;
    int vpnTypeAfter;
    int pptpCheck, openVpnCheck;
    Journal journal;
    bool refused;
  } cases[] = {
      {"to PPTP", session::kConnLoggedIn, "4", IDC_OPT_PPTP, "1", session::kVpnPptp, 1, 0,
       {"disable TAP-Win32 Adapter V9"}, false},
      {"to OpenVPN", session::kConnIdle, "1", IDC_OPT_OPENVPN, "4", session::kVpnOpenVpn, 0, 1,
       {"enable TAP-Win32 Adapter V9"}, false},
      {"PPTP while connected", session::kConnConnected, "4", IDC_OPT_PPTP, "4", session::kVpnOpenVpn, 0, 1, {}, true},
      {"OpenVPN while connected", session::kConnConnected, "4", IDC_OPT_OPENVPN, "4", session::kVpnOpenVpn, 0, 1, {},
       true},
      // Refused while starting too: OpenVPN's program and the routes would stay behind.
      {"PPTP while connecting", session::kConnConnecting, "4", IDC_OPT_PPTP, "4", session::kVpnOpenVpn, 0, 1, {},
       true},
      {"OpenVPN with an IP chosen", session::kConnIpChosen, "1", IDC_OPT_OPENVPN, "1", session::kVpnOpenVpn, 1, 0, {},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, reg, reconnect, host, view}};
    Store("VCType", c.stored);
    record.connState = c.state;
    record.vpnType = session::kVpnOpenVpn;
    d.OnInitDialog();
    journal.clear();
    // The auto radio has moved its check mark before the click arrives.
    window.SetCheck(c.clicked, 1);
    window.SetCheck(c.clicked == IDC_OPT_PPTP ? IDC_OPT_OPENVPN : IDC_OPT_PPTP, 0);
    d.OnCommand(c.clicked);
    EXPECT_EQ(Stored("VCType"), c.storedAfter);
    EXPECT_EQ(record.vpnType, c.vpnTypeAfter);
    EXPECT_EQ(window.GetCheck(IDC_OPT_PPTP), c.pptpCheck);
    EXPECT_EQ(window.GetCheck(IDC_OPT_OPENVPN), c.openVpnCheck);
    EXPECT_EQ(journal, c.journal);
    if (c.refused) {
      ASSERT_EQ(window.boxes().size(), 1u);
      EXPECT_EQ(window.boxes()[0].text, "!!!현재 접속중입니다!!! \n\n접속을 끊고 설정을 하세요");
      EXPECT_EQ(window.boxes()[0].caption, "접속 방식 설정");
    } else {
      EXPECT_TRUE(window.boxes().empty());
    }
  }
}

TEST_F(OptionsDialogTest, OneClickRadiosWorkInEveryState) {
  Store("VSIpChgType", "1");
  record.ipChangeType = 0;
  Open();
  EXPECT_EQ(dialog.GetCheck(IDC_OPT_ONECLICK_ON), 1);
  EXPECT_EQ(dialog.GetCheck(IDC_OPT_ONECLICK_OFF), 0);
  EXPECT_EQ(record.ipChangeType, 1);

  record.connState = session::kConnConnected;
  dlg.OnCommand(IDC_OPT_ONECLICK_OFF);
  EXPECT_EQ(Stored("VSIpChgType"), "0");
  EXPECT_EQ(record.ipChangeType, 0);
  dlg.OnCommand(IDC_OPT_ONECLICK_ON);
  EXPECT_EQ(Stored("VSIpChgType"), "1");
  EXPECT_EQ(record.ipChangeType, 1);
  EXPECT_TRUE(dialog.boxes().empty());

  // Anything but "1" reads as off.
  fakes::FakeWindow window;
  app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, reg, reconnect, host, view}};
  Store("VSIpChgType", "yes");
  d.OnInitDialog();
  EXPECT_EQ(window.GetCheck(IDC_OPT_ONECLICK_OFF), 1);
  EXPECT_EQ(record.ipChangeType, 0);
}

TEST_F(OptionsDialogTest, ProgramRowsRegisterAndDelete) {
  const std::string longPath = "C:\\Program Files\\Some Game\\Launcher\\bin\\game.exe";
  const std::string label = "C:\\Program...auncher\\bin\\game.exe";
  for (const app::ProgramRow& row : app::kProgramRows) {
    const std::string name(settings::Info(row.value).name);
    SCOPED_TRACE(name);
    Open();
    EXPECT_EQ(dialog.GetText(row.labelId), row.prompt);

    view.choices = {{app::ProgramChoice::kChosen, longPath}};
    dlg.OnCommand(row.registerId);
    EXPECT_EQ(Stored(name.c_str()), longPath);  // the whole path, as chosen
    EXPECT_EQ(dialog.GetText(row.labelId), label);
    // The next opening shows the same label.
    fakes::FakeWindow window;
    app::CIPTabSetOptionDlg d{app::OptionsParts{window, mainWindow, record, reg, reconnect, host, view}};
    d.OnInitDialog();
    EXPECT_EQ(window.GetText(row.labelId), label);

    dlg.OnCommand(row.deleteId);
    EXPECT_EQ(Stored(name.c_str()), kAbsent);
    EXPECT_EQ(dialog.GetText(row.labelId), row.prompt);
    dlg.OnCommand(row.deleteId);  // nothing to delete: not reported
    EXPECT_TRUE(dialog.boxes().empty());
  }
}

TEST_F(OptionsDialogTest, ProgramChoicesThatRegisterNothing) {
  const app::ProgramRow& row = app::kProgramRows[0];
  Store("inStop", "C:\\Tools\\old.exe");
  Open();
  view.choices = {{app::ProgramChoice::kCancelled, ""},
                  {app::ProgramChoice::kChosen, "C"},
                  {app::ProgramChoice::kNotCp949, ""}};
  for (int i = 0; i < 3; ++i) dlg.OnCommand(row.registerId);
  EXPECT_EQ(Stored("inStop"), "C:\\Tools\\old.exe");
  EXPECT_EQ(dialog.GetText(row.labelId), "C:\\Tools\\old.exe");
  ASSERT_EQ(dialog.boxes().size(), 1u);  // only for the path that cannot be stored
  EXPECT_EQ(dialog.boxes()[0].caption, "프로그램 등록");
}

TEST_F(OptionsDialogTest, CloseButtonsStoreNothing) {
  for (int id : {IDC_OPT_CLOSE, IDC_OPT_CANCEL}) {
    reconnect = {0, 0, 0, 0, 0};
    Open();
    Choose(IDC_OPT_RECONNECT, "설정");
    dlg.OnCommand(id);
    EXPECT_EQ(journal, Journal{"close"});
    EXPECT_EQ(reconnect.enabled, 0);
    EXPECT_EQ(Stored("VSvrCode"), kAbsent);
  }
}

}  // namespace
