#include "app/main/tunra_dlg.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main/window_rules.h"
#include "settings/settings_table.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"

namespace platform {
// Readable rectangles in failure messages.
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
}  // namespace platform

namespace {

using platform::kSelf;
using platform::Rect;

// The main dialog is 897 x 395 pixels (598 x 263 dialog units); panels in their own sizes.
class FakeHost : public app::IMainWindowHost {
 public:
  FakeHost() {
    login.Move(kSelf, {0, 0, 452, 377});
    account.Move(kSelf, {0, 0, 384, 377});
    ipMgmtTab5.Move(kSelf, {0, 0, 428, 390});
    dynamicIpTab.Move(kSelf, {0, 0, 428, 390});
    vpnConn.Move(kSelf, {0, 0, 257, 135});
    progUpdate.Move(kSelf, {0, 0, 300, 100});
  }
  platform::WindowHandle Handle() override { return handle; }
  void SetIcons(int id) override { calls.push_back("icons " + std::to_string(id)); }
  app::MainWindowPanels CreatePanels() override {
    calls.push_back("panels");
    return {&login, &account, &ipMgmtTab5, &dynamicIpTab, &vpnConn, &progUpdate};
  }
  Rect DesktopRect() override { return {0, 0, 1280, 1024}; }
  void Minimize() override { calls.push_back("minimize"); }
  void ShowNormal() override { calls.push_back("show normal"); }
  void EndDialog() override { calls.push_back("end"); }
  void ShowTrayMenu() override { calls.push_back("tray menu"); }
  void RunUpdateDialog() override { calls.push_back("update dialog"); }
  void RunOptionsDialog() override { calls.push_back("options dialog"); }

  platform::WindowHandle handle = 0x500;
  fakes::FakeWindow login, account, ipMgmtTab5, dynamicIpTab, vpnConn, progUpdate;
  std::vector<std::string> calls;
};

class FakeServices : public app::IMainWindowServices {
 public:
  std::string ResolveLoginHost() override {
    calls.push_back("resolve");
    return loginHost;
  }
  int AllowThroughFirewall() override {
    calls.push_back("firewall");
    return 1;
  }
  int EnableConnectionByDevice(const std::string& device, bool enable) override {
    calls.push_back((enable ? "enable " : "disable ") + device);
    return 0;
  }
  std::string loginHost = "127.0.0.1";
  std::vector<std::string> calls;
};

// The logout notice and the teardowns, noted in the order they ran.
class FakeSessionEnd : public app::ILogoutNotice, public app::ITunnelTeardown {
 public:
  void SendLogout(const std::string& mode) override { journal.push_back("logout " + mode); }
  int TeardownRas() override {
    journal.push_back("ras teardown");
    return 1;
  }
  void TeardownOpenVpn(int code, const std::string& reason) override {
    journal.push_back("openvpn teardown " + std::to_string(code) + " '" + reason + "'");
  }
  std::vector<std::string> journal;
};

struct MainWindow {
  session::SessionRecord record;
  fakes::FakeWindow window;
  fakes::FakeSystem system;
  fakes::FakeRegistry registry;
  fakes::FakeShell shell;
  FakeHost host;
  FakeServices services;
  bool program64 = false;
  FakeSessionEnd sessionEnd;
  app::MainWindowPeers peers{&sessionEnd, &sessionEnd, nullptr, nullptr, nullptr};
  std::unique_ptr<app::CTunraDlg> dlg;

  MainWindow() { window.Move(kSelf, {100, 200, 997, 595}); }
  app::CTunraDlg& Init() {
    dlg = std::make_unique<app::CTunraDlg>(record, app::MainWindowPlatform{window, system, registry, shell, program64},
                                           host, services);
    dlg->AttachPeers(peers);
    dlg->OnInitDialog();
    return *dlg;
  }
  void Store(const char* name, const char* text) {
    registry.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, name, text);
  }
};

TEST(TunraDlg, StartWithoutSavedSettings) {
  MainWindow m;
  m.record.windowsDir = "C:\\windows";
  m.Init();
  const session::SessionRecord& r = m.record;
  EXPECT_EQ(r.webHost, "127.0.0.1");
  EXPECT_EQ(r.programDir, "C:/Program Files/TUNRA");
  EXPECT_EQ(m.system.setDirectoryCalls.at(0), "C:\\Program Files\\TUNRA\\");
  EXPECT_EQ(r.openVpnConfigDir + "/" + r.openVpnConfigName, "C:/Program Files/TUNRA/vexoen.opc");
  EXPECT_EQ(r.openVpnExeName, "vexoop.exe");
  EXPECT_EQ(r.openVpnLogName, "event.log");
  EXPECT_EQ(r.accountFileName, "vrs.inf");
  EXPECT_EQ(r.downloadDir, r.programDir);
  EXPECT_EQ(r.tempDir, "C:/windows/Temp");
  EXPECT_EQ(m.system.createdDirectories, std::vector<std::string>{"C:/windows/Temp"});
  EXPECT_EQ(r.vpnType, 4);
  EXPECT_EQ(r.ipChangeType, 0);
  EXPECT_EQ(r.settingsRoot, platform::kHkeyCurrentUser);
  EXPECT_EQ(r.settingsKeyPath, "SOFTWARE\\Orvak");
  EXPECT_EQ(r.connState, 0);
  EXPECT_EQ(r.loginDelay, 30);
  EXPECT_TRUE(m.registry.HasKey(platform::kHkeyCurrentUser, "SOFTWARE\\Orvak"));  // created
  const std::vector<std::string> services = {"resolve", "firewall", "enable Corvane PCI Fast Controller"};
  EXPECT_EQ(m.services.calls, services);
  EXPECT_TRUE(m.window.boxes().empty());
}

TEST(TunraDlg, SavedSettingsAndAnUnresolvedLoginHost) {
  MainWindow m;
  m.Store("VCType", "1");
  m.Store("VSIpChgType", "1");
  m.services.loginHost = "";
  m.Init();
  EXPECT_EQ(m.record.vpnType, 1);
  EXPECT_EQ(m.record.ipChangeType, 1);
  EXPECT_EQ(m.record.webHost, "0.0.0.0");
  EXPECT_EQ(m.services.calls.back(), "disable Corvane PCI Fast Controller");
}

TEST(TunraDlg, TunnelTypeOtherThanOneMeansOpenVpn) {
  for (const char* stored : {"4", "3", "", "1 ", "x"}) {
    MainWindow m;
    m.Store("VCType", stored);
    m.Init();
    EXPECT_EQ(m.record.vpnType, 4) << stored;
  }
}

TEST(TunraDlg, TapAdapterNameByWow64AndWindowsVersion) {
  struct Row { bool program64, hasWow64Call, wow64; unsigned major, minor; const char* name; };
  const Row rows[] = {
      {false, true, false, 6, 2, "Corvane PCI Fast Controller"},  // 32-bit Windows 8
      {false, true, true, 6, 3, "TAP-Win32 Adapter V9"},          // 64-bit Windows 8.1
      {false, true, true, 6, 2, "TAP-Win32 Adapter V9"},          // 64-bit Windows 8
      {false, true, true, 6, 1, "Corvane PCI Fast Controller"},   // 64-bit Windows 7
      {false, false, true, 6, 3, "Corvane PCI Fast Controller"},  // no IsWow64Process: not WOW64
      {false, true, true, 10, 0, "Corvane PCI Fast Controller"},
      {true, false, false, 6, 3, "TAP-Win32 Adapter V9"},         // a 64-bit program on 8.1
      {true, false, false, 6, 1, "Corvane PCI Fast Controller"},
  };
  for (const Row& row : rows) {
    MainWindow m;
    m.program64 = row.program64;
    m.system.hasIsWow64Process = row.hasWow64Call;
    m.system.wow64 = row.wow64;
    m.system.version.major = row.major;
    m.system.version.minor = row.minor;
    m.Init();
    EXPECT_EQ(m.record.tapAdapterName, row.name) << row.major << "." << row.minor << " wow64 " << row.wow64;
  }
}

TEST(TunraDlg, WindowsStartNarrowWithThePanelsInPlace) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  EXPECT_TRUE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetText(kSelf), "Lumrex");
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 548, 595}));  // half of 897, same left and bottom
  EXPECT_EQ(m.window.GetRect(app::kIdMinimize), (Rect{387, 10, 412, 32}));
  EXPECT_EQ(m.window.GetRect(app::kIdClose), (Rect{417, 10, 442, 32}));
  EXPECT_EQ(m.host.account.control(app::kIdAccountExpand).bitmapNormal, 185);
  EXPECT_EQ(m.host.login.GetRect(kSelf), (Rect{0, 18, 452, 395}));
  EXPECT_TRUE(m.host.login.IsVisible(kSelf));
  EXPECT_EQ(m.host.account.GetRect(kSelf), (Rect{0, 18, 384, 395}));
  EXPECT_FALSE(m.host.account.IsVisible(kSelf));
  EXPECT_EQ(m.host.ipMgmtTab5.GetRect(kSelf), (Rect{460, 3, 888, 387}));
  EXPECT_EQ(m.host.dynamicIpTab.GetRect(kSelf), m.host.ipMgmtTab5.GetRect(kSelf));
  EXPECT_FALSE(m.host.dynamicIpTab.IsVisible(kSelf));
  // Centred on the (now narrow) main window.
  EXPECT_EQ(m.host.vpnConn.GetRect(kSelf), (Rect{195, 330, 452, 465}));
  EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf));
  EXPECT_EQ(m.host.login.focus(), app::kIdLoginUser);
  EXPECT_EQ(m.window.GetText(app::kIdVersion), "( Ver 1185 )");
  EXPECT_EQ(m.window.control(app::kIdHelp).bitmapNormal, 221);
  // Tray icon added with the tip, then given picture 213.
  ASSERT_EQ(m.shell.notified.size(), 3u);
  EXPECT_EQ(m.shell.notified[0].message, platform::kNimAdd);
  EXPECT_EQ(m.shell.notified[0].data.tip, " TUNRA 매니저 ");
  EXPECT_EQ(m.shell.notified[0].data.callbackMessage, 1012u);
  EXPECT_EQ(m.shell.notified[0].data.id, 129u);
  EXPECT_EQ(m.shell.loadedIcons.back(), 213);
}

TEST(TunraDlg, ToggleLayoutTwiceComesBack) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  const Rect narrow = m.window.GetRect(kSelf);
  dlg.ToggleLayout();
  EXPECT_FALSE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 997, 595}));
  EXPECT_EQ(m.window.GetRect(app::kIdMinimize), (Rect{835, 10, 860, 32}));
  EXPECT_EQ(m.window.GetRect(app::kIdClose), (Rect{865, 10, 890, 32}));
  EXPECT_EQ(m.host.account.control(app::kIdAccountExpand).bitmapNormal, 187);
  EXPECT_EQ(m.host.account.control(app::kIdAccountExpand).bitmapPressed, 188);
  dlg.ToggleLayout();
  EXPECT_TRUE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), narrow);
  EXPECT_EQ(m.window.GetRect(app::kIdClose), (Rect{417, 10, 442, 32}));
}

TEST(TunraDlg, WithoutATrayIconThePanelsKeepTheirTemplatePlaces) {
  MainWindow m;
  m.shell.failNotify = true;
  app::CTunraDlg& dlg = m.Init();
  EXPECT_FALSE(dlg.narrowLayout());
  EXPECT_EQ(m.host.login.control(kSelf).moves, 1);  // only the arranging move of the test
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 997, 595}));
  EXPECT_EQ(m.window.GetText(kSelf), "Lumrex");
  EXPECT_EQ(m.window.GetText(app::kIdVersion), "( Ver 1185 )");  // the rest goes on
}

TEST(TunraDlg, SettingsKeyThatCannotBeCreated) {
  MainWindow m;
  m.registry.createFails = true;
  m.Init();
  ASSERT_EQ(m.window.boxes().size(), 1u);
  EXPECT_EQ(m.window.boxes()[0].text, "RegCreateKeyEx 오류");
  EXPECT_EQ(m.window.GetText(app::kIdVersion), "( Ver 1185 )");  // and the program goes on
}

TEST(TunraDlg, BrandedAccountFillsTheLoginFieldsOnlyWhenBothAreGiven) {
  struct Row { const char* user; const char* password; bool filled; };
  for (const Row& row : {Row{"kim", "pw", true}, Row{"kim", "", false}, Row{"", "pw", false}}) {
    MainWindow m;
    m.record.userId = row.user;
    m.record.password = row.password;
    m.Init();
    EXPECT_EQ(m.host.login.GetText(app::kIdLoginUser), row.filled ? "kim" : "") << row.user << row.password;
    EXPECT_EQ(m.host.login.GetText(app::kIdLoginPassword), row.filled ? "pw" : "");
  }
}

TEST(TunraDlg, CommandsAndMessages) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.host.calls.clear();
  dlg.OnCommand(app::kIdMinimize);
  dlg.OnCommand(app::kIdUpdate);
  dlg.OnCommand(app::kIdOptions);
  EXPECT_EQ(dlg.OnAppRestore(), 0);
  EXPECT_EQ(dlg.OnTrayNotify(129, 0x205), 1);  // right button: the menu
  EXPECT_EQ(dlg.OnTrayNotify(77, 0x202), 0);   // other icon: restored, then ignored
  const std::vector<std::string> expected = {"minimize", "update dialog", "options dialog", "show normal",
                                             "tray menu", "show normal"};
  EXPECT_EQ(m.host.calls, expected);

  dlg.OnCommand(app::kIdHelp);
  ASSERT_EQ(m.shell.executed.size(), 1u);
  EXPECT_EQ(m.shell.executed[0].verb, "open");
  EXPECT_EQ(m.shell.executed[0].file, std::string("http://") + TUNRA_WEB_HOST + "/customer/faq.php");
  EXPECT_EQ(m.shell.executed[0].show, 10);

  m.window.Show(kSelf, false);
  dlg.OnSysCommand(0xF020);  // SC_MINIMIZE shows first
  EXPECT_TRUE(m.window.IsVisible(kSelf));

  dlg.OnSysCommand(0xF060);  // SC_CLOSE hides, then the main window ends
  EXPECT_FALSE(m.window.IsVisible(kSelf));
  EXPECT_EQ(m.host.calls.back(), "end");
  EXPECT_FALSE(m.shell.iconShown);  // no icon left behind
}

// Every confirmed exit: the question and caption by command and state, what the Yes
// does, and the icon gone with the window. The same command answered No first changes
// nothing.
TEST(TunraDlgExit, QuestionsAndWhatEachYesDoes) {
  using Journal = std::vector<std::string>;
  const std::string connectedText =
      "★현재 서비스에 연결되어 있습니다.\n\n정말로 로그아웃(접속해제) 시킨 후 \n\n현재의 프로그램을 종료할까요?";
  const std::string plainText = "TUNRA 매니저를 종료 하시겠습니까?";
  struct Row { int command; int connState; int vpnType; bool asksConnected; Journal done; };
  const std::string close = "TUNRA 안내", tray = "접속종료";
  const Row rows[] = {
      {app::kIdClose, 6, 4, true, {"logout user", "openvpn teardown 4 ''"}},
      {app::kIdClose, 6, 1, true, {"logout user", "ras teardown"}},
      {app::kIdClose, 5, 3, true, {"logout user", "ras teardown"}},    // connecting counts as connected
      {app::kIdClose, 5, 4, true, {"logout user", "openvpn teardown 4 ''"}},
      {app::kIdClose, 2, 4, false, {"logout user"}},                   // logged in: the notice only
      {app::kIdClose, 3, 4, false, {}},
      {app::kIdClose, 0, 4, false, {}},                                // before any login: no request
      {app::kIdTrayExit, 6, 4, true, {"logout user", "openvpn teardown 4 ''"}},
      {app::kIdTrayExit, 6, 3, true, {"logout user", "ras teardown"}},
      {app::kIdTrayExit, 5, 1, false, {"logout user"}},                // the tray ends only a connected tunnel
      {app::kIdTrayExit, 2, 4, false, {"logout user"}},
      {app::kIdTrayExit, 0, 4, false, {"logout user"}},                // the notice in every state
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.command) + " in state " + std::to_string(row.connState));
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    m.record.connState = row.connState;
    m.record.vpnType = row.vpnType;
    m.host.calls.clear();
    m.window.AnswerNextBoxes({platform::kIdNo, platform::kIdYes});

    dlg.OnCommand(row.command);  // No
    EXPECT_TRUE(m.sessionEnd.journal.empty());
    EXPECT_TRUE(m.host.calls.empty());
    EXPECT_TRUE(m.shell.iconShown);
    EXPECT_TRUE(m.window.IsVisible(kSelf));
    EXPECT_FALSE(dlg.ended());

    dlg.OnCommand(row.command);  // Yes
    EXPECT_EQ(m.sessionEnd.journal, row.done);
    EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
    EXPECT_FALSE(m.shell.iconShown);
    EXPECT_EQ(m.shell.notified.back().message, platform::kNimDelete);

    ASSERT_EQ(m.window.boxes().size(), 2u);
    for (const auto& box : m.window.boxes()) {
      EXPECT_EQ(box.text, row.asksConnected ? connectedText : plainText);
      EXPECT_EQ(box.caption, row.command == app::kIdClose ? close : tray);
      EXPECT_EQ(box.style, platform::kMbYesNo);
    }
  }
}

TEST(TunraDlgExit, SystemCloseEndsWithoutQuestionNoticeOrTeardown) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.record.connState = 6;
  m.host.calls.clear();
  dlg.OnSysCommand(0xF063);  // SC_CLOSE with the low bits the system may set
  EXPECT_FALSE(m.window.IsVisible(kSelf));
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
  EXPECT_FALSE(m.shell.iconShown);
  EXPECT_TRUE(m.sessionEnd.journal.empty());
  EXPECT_EQ(m.record.connState, 6);  // the tunnel outlives the program
  // A close command that arrives after the end asks nothing and does nothing.
  dlg.OnCommand(app::kIdClose);
  dlg.OnCommand(app::kIdTrayExit);
  EXPECT_TRUE(m.window.boxes().empty());
  EXPECT_EQ(m.host.calls.size(), 1u);
}

TEST(TunraDlgExit, AnExitConfirmedWhileTheQuestionIsOpenRunsOnce) {
  // The close question's box runs a message loop; the tray's exit is chosen and
  // confirmed inside it. The close button's Yes must not log out, tear down or end again.
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.record.connState = 6;
  m.record.vpnType = 1;
  m.host.calls.clear();
  m.window.AnswerNextBoxes({platform::kIdYes, platform::kIdYes});
  bool nested = false;
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) {
    if (nested) return;
    nested = true;
    dlg.OnCommand(app::kIdTrayExit);
  };
  dlg.OnCommand(app::kIdClose);
  EXPECT_EQ(m.sessionEnd.journal, (std::vector<std::string>{"logout user", "ras teardown"}));
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
  EXPECT_EQ(m.window.boxes().size(), 2u);
}

TEST(TunraDlgExit, TheStateAfterTheAnswerDecidesTheTeardown) {
  struct Row { int command; int asked; int answered; std::vector<std::string> done; };
  const Row rows[] = {
      // The link dropped while the question was open: its teardown already ran.
      {app::kIdClose, 6, 0, {}},
      {app::kIdTrayExit, 6, 0, {"logout user"}},
      // A dial finished meanwhile: the new tunnel is ended too.
      {app::kIdClose, 2, 6, {"logout user", "ras teardown"}},
      {app::kIdTrayExit, 2, 6, {"logout user", "ras teardown"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.command) + " " + std::to_string(row.asked) + " to " +
                 std::to_string(row.answered));
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    m.record.connState = row.asked;
    m.record.vpnType = 1;
    m.window.AnswerNextBoxes({platform::kIdYes});
    m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) { m.record.connState = row.answered; };
    dlg.OnCommand(row.command);
    EXPECT_EQ(m.sessionEnd.journal, row.done);
    EXPECT_TRUE(dlg.ended());
  }
}

TEST(TunraDlgExit, ExitWithoutATrayIconOrPeers) {
  MainWindow m;
  m.shell.failNotify = true;
  m.peers = {};
  app::CTunraDlg& dlg = m.Init();
  m.record.connState = 6;
  const std::size_t notifies = m.shell.notified.size();
  m.window.AnswerNextBoxes({platform::kIdYes});
  dlg.OnCommand(app::kIdClose);
  EXPECT_EQ(m.host.calls.back(), "end");
  EXPECT_EQ(m.shell.notified.size(), notifies);  // nothing to delete
}

TEST(TunraDlgTray, MouseMessagesAndMenuCommands) {
  struct Row { std::uintptr_t wparam; std::intptr_t lparam; std::intptr_t result; std::vector<std::string> calls; };
  const Row rows[] = {
      {129, 0x202, 1, {"show normal"}},      // left click restores
      {129, 0x10202, 1, {"show normal"}},    // only the low word names the mouse message
      {129, 0x205, 1, {"tray menu"}},
      {129, 0x203, 1, {}},                   // double click: its menu item has no handler
      {129, 0x200, 1, {}},                   // mouse move
      {77, 0x202, 0, {"show normal"}},       // another icon: restored, then ignored
      {77, 0x205, 0, {}},
  };
  for (const Row& row : rows) {
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    m.host.calls.clear();
    EXPECT_EQ(dlg.OnTrayNotify(row.wparam, row.lparam), row.result) << row.wparam << " " << row.lparam;
    EXPECT_EQ(m.host.calls, row.calls) << row.wparam << " " << row.lparam;
  }

  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  dlg.OnSysCommand(0xF060);  // hidden and ended by the system close: a click still shows it
  m.host.calls.clear();
  dlg.OnTrayNotify(129, 0x202);
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"show normal"});

  MainWindow n;
  app::CTunraDlg& shown = n.Init();
  n.window.Show(kSelf, false);
  shown.OnCommand(app::kIdTrayTitle);
  EXPECT_FALSE(n.window.IsVisible(kSelf));
  shown.OnCommand(app::kIdTrayOpen);  // "열기"
  EXPECT_TRUE(n.window.IsVisible(kSelf));
  EXPECT_TRUE(n.window.boxes().empty());
}

TEST(TunraDlgAccountPanel, LogoutAndIpSettingsSwitchTheMainWindowLayout) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  ASSERT_NE(dlg.accountPanel(), nullptr);
  ASSERT_NE(dlg.connProgress(), nullptr);
  m.host.account.Show(kSelf, true);
  m.host.login.Show(kSelf, false);

  dlg.accountPanel()->OnCommand(app::kIdAccountIpSettings);
  EXPECT_FALSE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 997, 595}));
  dlg.accountPanel()->OnCommand(app::kIdAccountIpSettings);  // already wide: stays wide
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 997, 595}));

  m.record.connState = 6;
  m.record.vpnType = 4;
  dlg.reconnect().enabled = 1;
  m.window.SetTimer(app::kTimerReconnect, 10000);
  dlg.accountPanel()->OnLogout();
  EXPECT_EQ(m.sessionEnd.journal, (std::vector<std::string>{"logout user", "openvpn teardown 4 ''"}));
  EXPECT_EQ(dlg.reconnect().enabled, 0);
  EXPECT_TRUE(m.window.timers().empty());
  EXPECT_TRUE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 548, 595}));
  EXPECT_EQ(m.window.GetRect(app::kIdClose), (Rect{417, 10, 442, 32}));
  EXPECT_TRUE(m.host.login.IsVisible(kSelf));
  EXPECT_FALSE(m.host.account.IsVisible(kSelf));
  EXPECT_FALSE(dlg.ended());
}

TEST(WindowRules, KeysAndDragging) {
  struct Row { std::uint32_t message; std::uintptr_t key; bool swallowed; };
  const Row rows[] = {
      {0x0100, 0x0D, true},  {0x0100, 0x1B, true},  {0x0104, 0x73, true},
      {0x0100, 0x73, false}, {0x0104, 0x0D, false}, {0x0100, 0x41, false}, {0x0101, 0x0D, false},
  };
  for (const Row& r : rows) EXPECT_EQ(app::SwallowKey(r.message, r.key), r.swallowed) << r.message << " " << r.key;
  EXPECT_EQ(app::DragAnywhere(1), 2);
  EXPECT_EQ(app::DragAnywhere(20), 20);  // a close box stays a close box
  EXPECT_EQ(app::DragAnywhere(0), 0);
}

}  // namespace
