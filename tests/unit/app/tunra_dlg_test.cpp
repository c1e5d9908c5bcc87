#include "app/main/tunra_dlg.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main/main_layout.h"
#include "app/main/window_rules.h"
#include "settings/settings_table.h"
#include "unit/app/main_window_rig.h"

namespace platform {
// Readable rectangles in failure messages.
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
}  // namespace platform

namespace {

using platform::kSelf;
using platform::Rect;

using maintest::Journal;
using maintest::MainWindow;
using maintest::OpenVpnTeardown;
using maintest::RasTeardown;
using maintest::Then;

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
  EXPECT_EQ(m.tables.lookedUp, std::vector<std::string>{TUNRA_LOGIN_HOST});
  EXPECT_EQ(m.journal, (Journal{"firewall", "enable Corvane PCI Fast Controller"}));
  EXPECT_TRUE(m.window.boxes().empty());
}

TEST(TunraDlg, SavedSettingsAndAnUnresolvedLoginHost) {
  MainWindow m;
  m.Store("VCType", "1");
  m.Store("VSIpChgType", "1");
  m.tables.hosts.clear();
  m.Init();
  EXPECT_EQ(m.record.vpnType, 1);
  EXPECT_EQ(m.record.ipChangeType, 1);
  EXPECT_EQ(m.record.webHost, "0.0.0.0");
  EXPECT_EQ(m.journal.back(), "disable Corvane PCI Fast Controller");
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
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_MINIMIZE), (Rect{387, 10, 412, 32}));
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_CLOSE), (Rect{417, 10, 442, 32}));
  EXPECT_EQ(m.host.account.control(IDC_ACCOUNT_EXPAND).bitmapNormal, 185);
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
  EXPECT_EQ(m.host.login.focus(), IDC_LOGIN_USER);
  EXPECT_EQ(m.window.GetText(IDC_MAIN_VERSION), "( Ver 1185 )");
  EXPECT_EQ(m.window.control(IDC_MAIN_HELP).bitmapNormal, 221);
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
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_MINIMIZE), (Rect{835, 10, 860, 32}));
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_CLOSE), (Rect{865, 10, 890, 32}));
  EXPECT_EQ(m.host.account.control(IDC_ACCOUNT_EXPAND).bitmapNormal, 187);
  EXPECT_EQ(m.host.account.control(IDC_ACCOUNT_EXPAND).bitmapPressed, 188);
  dlg.ToggleLayout();
  EXPECT_TRUE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), narrow);
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_CLOSE), (Rect{417, 10, 442, 32}));
}

// Pixel figures of the 100 % skin at other screen scales: rounded to the nearest pixel,
// negatives symmetrically, and a DPI the system did not give (0) as 100 %.
TEST(MainLayout, PixelsScaleWithTheScreensDpi) {
  struct Row {
    int pixels, dpi, expected;
  };
  const Row rows[] = {
      {460, 96, 460},  {460, 120, 575}, {460, 144, 690}, {460, 192, 920}, {897, 144, 1346},
      {18, 120, 23},   {1, 144, 2},     {-3, 144, -5},   {0, 192, 0},     {25, 0, 25},
      {25, -96, 25},   {3, 100, 3},
  };
  for (const Row& row : rows)
    EXPECT_EQ(app::ScaleForDpi(row.pixels, row.dpi), row.expected) << row.pixels << " at " << row.dpi;
  // Rectangles that touch at 100 % still touch when scaled.
  EXPECT_EQ(app::ScaleForDpi(Rect{387, 10, 412, 32}, 120).right, app::ScaleForDpi(Rect{412, 10, 417, 32}, 120).left);
}

// At 150 % the dialogs come from their templates already grown with their fonts; the
// window's own pixel figures (the buttons it moves, the place of the IP panels) grow too.
TEST(TunraDlg, AtOneHundredFiftyPercentTheFixedPlacesScale) {
  MainWindow m;
  m.host.dpi = 144;
  m.host.main.Move(kSelf, {100, 200, 1446, 793});
  m.host.ipMgmtTab5.Move(kSelf, {0, 0, 642, 585});
  app::CTunraDlg& dlg = m.Init();
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 773, 793}));
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_MINIMIZE), (Rect{581, 15, 618, 48}));
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_CLOSE), (Rect{626, 15, 663, 48}));
  EXPECT_EQ(m.host.ipMgmtTab5.GetRect(kSelf), (Rect{690, 5, 1332, 581}));
  dlg.ToggleLayout();
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_MINIMIZE), (Rect{1253, 15, 1290, 48}));
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_CLOSE), (Rect{1298, 15, 1335, 48}));
}
// At logon the client may start before the notification area exists: the window is
// set up all the same (a login panel the user can reach), and the icon follows.
TEST(TunraDlg, ATrayIconTheShellRefusesIsAddedLater) {
  MainWindow m;
  m.shell.failNotify = true;
  app::CTunraDlg& dlg = m.Init();
  EXPECT_TRUE(dlg.narrowLayout());
  EXPECT_EQ(m.host.login.GetRect(kSelf), (Rect{0, 18, 452, 395}));
  EXPECT_TRUE(m.host.login.IsVisible(kSelf));
  EXPECT_EQ(m.window.GetText(IDC_MAIN_VERSION), "( Ver 1185 )");
  EXPECT_EQ(m.window.timers().at(app::kTimerTrayRetry), 2000u);

  dlg.OnTimer(app::kTimerTrayRetry);  // still refused: keep trying
  EXPECT_FALSE(m.shell.iconShown);
  EXPECT_EQ(m.window.timers().count(app::kTimerTrayRetry), 1u);

  m.shell.failNotify = false;
  m.record.connState = 6;  // the picture follows the state at the time it is added
  dlg.OnTimer(app::kTimerTrayRetry);
  EXPECT_TRUE(m.shell.iconShown);
  EXPECT_EQ(m.shell.current.tip, " TUNRA 매니저 ");
  EXPECT_EQ(m.shell.loadedIcons.back(), IDI_TRAY_CONNECTED);
  EXPECT_EQ(m.window.timers().count(app::kTimerTrayRetry), 0u);

  m.window.AnswerNextBoxes({platform::kIdYes});
  dlg.OnCommand(IDC_MAIN_CLOSE);
  EXPECT_FALSE(m.shell.iconShown);  // and it goes with the program
}

// A program folder code page 949 cannot name: the system answers an empty path. The
// user is told at once, and nothing is written to a mangled folder.
TEST(TunraDlg, AProgramFolderTheCodePageCannotNameEndsTheProgramWithAMessage) {
  MainWindow m;
  m.system.moduleFileName = "";
  m.system.currentDirectory = "";
  m.system.directoryChangeSucceeds = false;
  app::CTunraDlg& dlg = m.Init();
  ASSERT_EQ(m.window.boxes().size(), 1u);
  EXPECT_NE(m.window.boxes()[0].text.find("949"), std::string::npos);
  EXPECT_TRUE(dlg.ended());
  EXPECT_EQ(m.host.calls.back(), "end");
  EXPECT_TRUE(m.system.createdDirectories.empty());
  EXPECT_FALSE(m.shell.iconShown);
}

TEST(TunraDlg, SettingsKeyThatCannotBeCreated) {
  MainWindow m;
  m.registry.createFails = true;
  m.Init();
  ASSERT_EQ(m.window.boxes().size(), 1u);
  EXPECT_EQ(m.window.boxes()[0].text, "RegCreateKeyEx 오류");
  EXPECT_EQ(m.window.GetText(IDC_MAIN_VERSION), "( Ver 1185 )");  // and the program goes on
}

TEST(TunraDlg, BrandedAccountFillsTheLoginFieldsOnlyWhenBothAreGiven) {
  struct Row { const char* user; const char* password; bool filled; };
  for (const Row& row : {Row{"kim", "pw", true}, Row{"kim", "", false}, Row{"", "pw", false}}) {
    MainWindow m;
    m.record.userId = row.user;
    m.record.password = row.password;
    m.Init();
    EXPECT_EQ(m.host.login.GetText(IDC_LOGIN_USER), row.filled ? "kim" : "") << row.user << row.password;
    EXPECT_EQ(m.host.login.GetText(IDC_LOGIN_PASSWORD), row.filled ? "pw" : "");
  }
}

TEST(TunraDlg, CommandsAndMessages) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.host.calls.clear();
  dlg.OnCommand(IDC_MAIN_MINIMIZE);
  dlg.OnCommand(IDC_MAIN_UPDATE);
  dlg.OnCommand(IDC_MAIN_OPTIONS);
  EXPECT_EQ(dlg.OnAppRestore(), 0);
  EXPECT_EQ(dlg.OnTrayNotify(129, 0x205), 1);  // right button: the menu
  EXPECT_EQ(dlg.OnTrayNotify(77, 0x202), 0);   // other icon: restored, then ignored
  const std::vector<std::string> expected = {"minimize", "update dialog", "options dialog", "show normal",
                                             "tray menu", "show normal"};
  EXPECT_EQ(m.host.calls, expected);

  dlg.OnCommand(IDC_MAIN_HELP);
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
      {IDC_MAIN_CLOSE, 6, 4, true, Then({"logout user"}, OpenVpnTeardown())},
      {IDC_MAIN_CLOSE, 6, 1, true, Then({"logout user"}, RasTeardown())},
      {IDC_MAIN_CLOSE, 5, 3, true, Then({"logout user"}, RasTeardown())},  // connecting counts as connected
      {IDC_MAIN_CLOSE, 5, 4, true, Then({"logout user"}, OpenVpnTeardown())},
      {IDC_MAIN_CLOSE, 2, 4, false, {"logout user"}},                   // logged in: the notice only
      {IDC_MAIN_CLOSE, 3, 4, false, {}},
      {IDC_MAIN_CLOSE, 0, 4, false, {}},                                // before any login: no request
      {ID_TRAY_EXIT, 6, 4, true, Then({"logout user"}, OpenVpnTeardown())},
      {ID_TRAY_EXIT, 6, 3, true, Then({"logout user"}, RasTeardown())},
      {ID_TRAY_EXIT, 5, 1, false, Then({"logout user"}, RasTeardown())},  // a starting tunnel ends too
      {ID_TRAY_EXIT, 2, 4, false, {"logout user"}},
      {ID_TRAY_EXIT, 0, 4, false, {"logout user"}},                // the notice in every state
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.command) + " in state " + std::to_string(row.connState));
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    m.Enter(row.connState, row.vpnType);
    m.host.calls.clear();
    m.journal.clear();
    m.window.AnswerNextBoxes({platform::kIdNo, platform::kIdYes});

    dlg.OnCommand(row.command);  // No
    EXPECT_TRUE(m.journal.empty());
    EXPECT_TRUE(m.host.calls.empty());
    EXPECT_TRUE(m.shell.iconShown);
    EXPECT_TRUE(m.window.IsVisible(kSelf));
    EXPECT_FALSE(dlg.ended());

    dlg.OnCommand(row.command);  // Yes
    EXPECT_EQ(m.journal, Then(row.done, {"remove openvpn files"}));  // the password never outlives the program
    EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
    EXPECT_FALSE(m.shell.iconShown);
    EXPECT_EQ(m.shell.notified.back().message, platform::kNimDelete);

    ASSERT_EQ(m.window.boxes().size(), 2u);
    for (const auto& box : m.window.boxes()) {
      EXPECT_EQ(box.text, row.asksConnected ? connectedText : plainText);
      EXPECT_EQ(box.caption, row.command == IDC_MAIN_CLOSE ? close : tray);
      EXPECT_EQ(box.style, platform::kMbYesNo);
    }
  }
}

TEST(TunraDlgExit, SystemCloseEndsWithoutQuestionNoticeOrTeardown) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.record.connState = 6;
  m.host.calls.clear();
  m.journal.clear();
  dlg.OnSysCommand(0xF063);  // SC_CLOSE with the low bits the system may set
  EXPECT_FALSE(m.window.IsVisible(kSelf));
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
  EXPECT_FALSE(m.shell.iconShown);
  EXPECT_EQ(m.journal, Journal{"remove openvpn files"});  // no notice, no teardown; the password file goes
  EXPECT_EQ(m.record.connState, 6);  // the tunnel outlives the program
  // A close command that arrives after the end asks nothing and does nothing.
  dlg.OnCommand(IDC_MAIN_CLOSE);
  dlg.OnCommand(ID_TRAY_EXIT);
  EXPECT_TRUE(m.window.boxes().empty());
  EXPECT_EQ(m.host.calls.size(), 1u);
}

TEST(TunraDlgExit, AnExitConfirmedWhileTheQuestionIsOpenRunsOnce) {
  // The close question's box runs a message loop; the tray's exit is chosen and
  // confirmed inside it. The close button's Yes must not log out, tear down or end again.
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.Enter(6, 1);
  m.host.calls.clear();
  m.journal.clear();
  m.window.AnswerNextBoxes({platform::kIdYes, platform::kIdYes});
  bool nested = false;
  m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) {
    if (nested) return;
    nested = true;
    dlg.OnCommand(ID_TRAY_EXIT);
  };
  dlg.OnCommand(IDC_MAIN_CLOSE);
  EXPECT_EQ(m.journal, Then(Then({"logout user"}, RasTeardown()), {"remove openvpn files"}));
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
  EXPECT_EQ(m.window.boxes().size(), 2u);
}

TEST(TunraDlgExit, TheStateAfterTheAnswerDecidesTheTeardown) {
  struct Row { int command; int asked; int answered; Journal done; };
  const Row rows[] = {
      // The link dropped while the question was open: its teardown already ran.
      {IDC_MAIN_CLOSE, 6, 0, {}},
      {ID_TRAY_EXIT, 6, 0, {"logout user"}},
      // A dial finished meanwhile: the new tunnel is ended too.
      {IDC_MAIN_CLOSE, 2, 6, Then({"logout user"}, RasTeardown())},
      {ID_TRAY_EXIT, 2, 6, Then({"logout user"}, RasTeardown())},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.command) + " " + std::to_string(row.asked) + " to " +
                 std::to_string(row.answered));
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    if (row.answered == 6) m.StartDial();  // the dial that finishes while the question is open
    m.Enter(row.asked, 1);
    m.journal.clear();
    m.window.AnswerNextBoxes({platform::kIdYes});
    m.window.onMessageBox = [&](const fakes::FakeWindow::Box&) {
      m.ras.linkUp = row.answered == 6;
      m.record.connState = row.answered;
    };
    dlg.OnCommand(row.command);
    EXPECT_EQ(m.journal, Then(row.done, {"remove openvpn files"}));
    EXPECT_TRUE(dlg.ended());
  }
}

TEST(TunraDlgExit, ExitWithoutATrayIcon) {
  MainWindow m;
  m.shell.failNotify = true;
  app::CTunraDlg& dlg = m.Init();
  m.record.connState = 6;
  const std::size_t notifies = m.shell.notified.size();
  m.window.AnswerNextBoxes({platform::kIdYes});
  dlg.OnCommand(IDC_MAIN_CLOSE);
  EXPECT_EQ(m.host.calls.back(), "end");
  EXPECT_EQ(m.shell.notified.size(), notifies);  // nothing to delete
}

TEST(TunraDlgTray, MouseMessagesAndMenuCommands) {
  struct Row { std::uintptr_t wparam; std::intptr_t lparam; std::intptr_t result; std::vector<std::string> calls; };
  const Row rows[] = {
      {129, 0x202, 1, {"show normal"}},      // left click restores
      {129, 0x10202, 1, {"show normal"}},    // only the low word names the mouse message
      {129, 0x205, 1, {"tray menu"}},
      {129, 0x203, 1, {"foreground"}},       // double click: to the front; its menu item has no handler
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
  shown.OnCommand(ID_TRAY_TITLE);
  EXPECT_FALSE(n.window.IsVisible(kSelf));
  shown.OnCommand(ID_TRAY_OPEN);  // "열기"
  EXPECT_TRUE(n.window.IsVisible(kSelf));
  EXPECT_TRUE(n.window.boxes().empty());
}

// A restarted shell has forgotten every icon and broadcasts the registered message; the
// icon comes back with the picture of the connection state, its tip and callback. The
// message also comes without a restart (the old entry is still there: a plain add
// would be refused), and at logon while the icon is still being retried.
TEST(TunraDlgTray, TheIconComesBackInItsStateWhenTheShellIsCreatedAgain) {
  struct Row {
    const char* what;
    int connState;
    bool restart;        // the shell forgot the icon
    bool refusedAtStart; // the retry timer runs when the message comes
    int picture;
  };
  const Row rows[] = {
      {"idle", 0, true, false, IDI_TRAY_IDLE},
      {"connected", 6, true, false, IDI_TRAY_CONNECTED},
      {"no restart", 6, false, false, IDI_TRAY_CONNECTED},
      {"still retrying", 2, true, true, IDI_TRAY_IDLE},
  };
  for (const Row& row : rows) {
    MainWindow m;
    m.shell.failNotify = row.refusedAtStart;
    app::CTunraDlg& dlg = m.Init();
    ASSERT_EQ(m.shell.registeredMessages, std::vector<std::string>{"TaskbarCreated"});
    ASSERT_EQ(dlg.taskbarCreatedMessage(), m.shell.registeredMessage);
    // The shell runs unelevated, the client elevated: the message is let through.
    ASSERT_EQ(m.shell.allowedMessages.size(), 1u);
    EXPECT_EQ(m.shell.allowedMessages[0].first, m.window.Handle());
    EXPECT_EQ(m.shell.allowedMessages[0].second, m.shell.registeredMessage);
    if (row.connState == 6) m.Enter(6, 1);
    else m.record.connState = row.connState;
    m.shell.failNotify = false;
    if (row.restart) m.shell.Restart();

    dlg.OnTaskbarCreated();
    EXPECT_TRUE(m.shell.iconShown) << row.what;
    EXPECT_TRUE(dlg.tray().iconValid()) << row.what;
    EXPECT_EQ(m.shell.current.id, 129u) << row.what;
    EXPECT_EQ(m.shell.current.callbackMessage, 1012u) << row.what;
    EXPECT_EQ(m.shell.current.tip, " TUNRA 매니저 ") << row.what;
    EXPECT_EQ(m.shell.current.icon, static_cast<platform::IconHandle>(0x10000 + row.picture)) << row.what;
    EXPECT_EQ(m.window.timers().count(app::kTimerTrayRetry), 0u) << row.what;
  }
}

TEST(TunraDlgTray, AShellThatRefusesTheIconAfterItsRestartIsRetried) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.shell.Restart();
  m.shell.failNotify = true;
  dlg.OnTaskbarCreated();
  EXPECT_FALSE(dlg.tray().iconValid());
  EXPECT_EQ(m.window.timers().at(app::kTimerTrayRetry), 2000u);
  m.shell.failNotify = false;
  dlg.OnTimer(app::kTimerTrayRetry);
  EXPECT_TRUE(m.shell.iconShown);
  EXPECT_EQ(m.window.timers().count(app::kTimerTrayRetry), 0u);
}

// An icon the program took away stays away: after the end (the window may still get
// messages before it is destroyed) and after the update path removed it.
TEST(TunraDlgTray, NoIconComesBackOnceTheProgramRemovedIt) {
  for (const bool ended : {true, false}) {
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    if (ended) {
      m.window.AnswerNextBoxes({platform::kIdYes});
      dlg.OnCommand(IDC_MAIN_CLOSE);
    } else {
      dlg.tray().Remove();
    }
    m.shell.Restart();
    const std::size_t calls = m.shell.notified.size();
    dlg.OnTaskbarCreated();
    EXPECT_EQ(m.shell.notified.size(), calls) << ended;
    EXPECT_FALSE(m.shell.iconShown) << ended;
    EXPECT_EQ(m.window.timers().count(app::kTimerTrayRetry), 0u) << ended;
  }
}

TEST(TunraDlgAccountPanel, LogoutAndIpSettingsSwitchTheMainWindowLayout) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.host.account.Show(kSelf, true);
  m.host.login.Show(kSelf, false);

  dlg.account().OnCommand(IDC_ACCOUNT_IP_SETTINGS);
  EXPECT_FALSE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 997, 595}));
  dlg.account().OnCommand(IDC_ACCOUNT_IP_SETTINGS);  // already wide: stays wide
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 997, 595}));

  m.record.connState = 6;
  m.record.vpnType = 4;
  dlg.reconnect().enabled = 1;
  m.window.SetTimer(app::kTimerReconnect, 10000);
  m.journal.clear();
  dlg.account().OnLogout();
  EXPECT_EQ(m.journal, Then({"logout user"}, OpenVpnTeardown()));
  EXPECT_EQ(dlg.ipMgmtTab5().currentRow(), -1);
  EXPECT_EQ(dlg.dynamicIpTab().currentRow(), -1);
  EXPECT_EQ(dlg.reconnect().enabled, 0);
  EXPECT_TRUE(m.window.timers().empty());
  EXPECT_TRUE(dlg.narrowLayout());
  EXPECT_EQ(m.window.GetRect(kSelf), (Rect{100, 200, 548, 595}));
  EXPECT_EQ(m.window.GetRect(IDC_MAIN_CLOSE), (Rect{417, 10, 442, 32}));
  EXPECT_TRUE(m.host.login.IsVisible(kSelf));
  EXPECT_FALSE(m.host.account.IsVisible(kSelf));
  EXPECT_FALSE(dlg.ended());
}

// WM_CLOSE from outside (an installer, taskkill without /F) ends the program as the
// system close does: no question, no notice, no teardown, no icon left.
TEST(TunraDlgExit, CloseMessageFromOutsideEndsTheProgram) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.record.connState = 2;
  m.journal.clear();
  m.host.calls.clear();
  dlg.OnClose();
  EXPECT_EQ(m.host.calls, std::vector<std::string>{"end"});
  EXPECT_TRUE(m.window.boxes().empty());
  EXPECT_EQ(m.journal, Journal{"remove openvpn files"});
  EXPECT_FALSE(m.shell.iconShown);
  dlg.OnClose();  // a second one does nothing more
  EXPECT_EQ(m.host.calls.size(), 1u);
}

TEST(TunraDlgTeardown, OpenVpnTeardownByReason) {
  struct Row { int reason; Journal done; };
  const Row rows[] = {
      {app::kTeardownOrderly, OpenVpnTeardown()},
      {app::kTeardownForUpdate, OpenVpnTeardown()},
      // An error ended the tunnel: the event report goes before the files do.
      {app::kTeardownError, {"stop openvpn", "event report", "remove openvpn files", "hook OUT_START", "hook OUT_STOP"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    m.record.connState = 6;
    m.record.loginDelay = 60;
    m.window.SetTimer(app::kTimerSupervise, 1000);
    m.window.SetTimer(app::kTimerServiceTime, 1000);
    m.host.vpnConn.Show(kSelf, true);
    dlg.progress().StartProgress();
    m.host.login.Enable(IDC_LOGIN_BUTTON, false);
    m.shell.loadedIcons.clear();
    m.journal.clear();

    dlg.TeardownOpenVpn(row.reason, "OPEN VPN CONNECT ERROR");
    EXPECT_EQ(m.journal, row.done);
    EXPECT_EQ(m.record.connState, 0);
    EXPECT_TRUE(m.window.timers().empty());
    EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf));
    EXPECT_TRUE(m.host.vpnConn.timers().empty());  // the animation stopped
    EXPECT_EQ(m.host.vpnConn.control(IDC_PROGRESS_BAR).rangeHigh, 600);
    EXPECT_EQ(m.host.vpnConn.control(IDC_PROGRESS_BAR).text, " Please wait... ");
    EXPECT_TRUE(m.host.login.IsEnabled(IDC_LOGIN_BUTTON));
    EXPECT_EQ(m.shell.loadedIcons, std::vector<int>{IDI_TRAY_IDLE});
    EXPECT_TRUE(m.tables.created.empty());  // no saved default route: none made
  }
}

TEST(TunraDlgTeardown, OpenVpnTeardownPutsTheSavedDefaultRouteBack) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  dlg.state().savedDefaultIfIndex = 7;
  dlg.state().savedDefaultGateway = "192.168.0.1";
  dlg.state().routesInstalled = 1;
  dlg.TeardownOpenVpn(app::kTeardownOrderly, "");
  ASSERT_EQ(m.tables.created.size(), 1u);
  const platform::RouteRow& route = m.tables.created[0];
  EXPECT_EQ(route.dest, 0u);
  EXPECT_EQ(route.mask, 0u);
  EXPECT_EQ(route.nextHop, net::Ipv4FromText("192.168.0.1"));
  EXPECT_EQ(route.ifIndex, 7u);
  EXPECT_EQ(route.metric1, 50u);
  EXPECT_EQ(dlg.state().routesInstalled, 0);
}

TEST(TunraDlgTeardown, RasTeardown) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.Enter(6, 1);  // dialled and up: timers 1 and 3 run
  m.window.SetTimer(app::kTimerReconnect, 5000);  // not the teardown's to stop
  m.shell.loadedIcons.clear();
  m.journal.clear();
  EXPECT_EQ(dlg.TeardownRas(), 1);
  EXPECT_EQ(m.journal, RasTeardown());
  EXPECT_EQ(m.record.connState, 0);
  EXPECT_EQ(m.window.timers().size(), 1u);
  EXPECT_EQ(m.shell.loadedIcons, std::vector<int>{IDI_TRAY_IDLE});
}

// The exchanges report through the main window: the progress dialog is stopped and
// hidden before the back end's messages show, the test box is the login panel's.
TEST(TunraDlgHooks, ExchangesReportToThePanels) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.host.vpnConn.Show(kSelf, true);
  dlg.progress().StartProgress();
  dlg.StopProgress();
  EXPECT_FALSE(m.host.vpnConn.IsVisible(kSelf));
  EXPECT_TRUE(m.host.vpnConn.timers().empty());

  EXPECT_FALSE(dlg.TestCertificateChecked());
  m.host.login.SetCheck(IDC_LOGIN_TEST_CERT, 1);
  EXPECT_TRUE(dlg.TestCertificateChecked());

  m.journal.clear();
  dlg.CheckTapAdapter();
  EXPECT_EQ(m.journal, (Journal{"check tap adapter"}));
}

// The phonebook goes into the program's folder (kept at start-up), whatever the
// current directory is by then, and is written whole again before every dial.
TEST(TunraDlgPhonebook, WrittenInTheProgramFolder) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.system.currentDirectory = "C:\\Users\\kim\\Documents";  // moved by an open-file dialog
  const std::string path = "C:/Program Files/TUNRA/sobrel.ini";
  m.files.Put(path, "[Other]\r\nkey=1\r\n");
  EXPECT_EQ(dlg.WritePhonebookFile(3, 1), 1);
  EXPECT_EQ(dlg.state().phonebookPath, path);
  EXPECT_EQ(m.files.Get(path), "");  // emptied before the keys are written
  // Every file the window opened (the phonebook once, the diagnostics log) is in the
  // program's folder, none in the moved current directory.
  const std::vector<std::string>& opened = m.files.opened();
  EXPECT_EQ(std::count(opened.begin(), opened.end(), path), 1);
  for (const std::string& file : opened) EXPECT_EQ(file.rfind("C:/Program Files/TUNRA/", 0), 0u) << file;
  ASSERT_EQ(m.profile.calls().size(), tunnel::kPhonebookKeyCount);
  EXPECT_EQ(m.profile.calls().front().path, path);
  EXPECT_EQ(dlg.rasConfig().Value("VpnStrategy"), "3");
  EXPECT_EQ(dlg.rasConfig().Value("IpPrioritizeRemote"), "1");
}

// A login writes the phonebook for the dial that may follow; a client ended without
// that dial left it in the program's folder.
TEST(TunraDlgPhonebook, DoesNotOutliveTheProgram) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  const std::string path = "C:/Program Files/TUNRA/sobrel.ini";
  ASSERT_EQ(dlg.WritePhonebookFile(1, 0), 1);
  ASSERT_TRUE(m.files.Exists(path));
  dlg.OnClose();
  EXPECT_FALSE(m.files.Exists(path));
}

TEST(TunraDlgAccountPanel, ALogoutNoticePutsThePanelBackToItsIdleLook) {
  MainWindow m;
  app::CTunraDlg& dlg = m.Init();
  m.host.account.SetText(IDC_ACCOUNT_TIME, "1:02:03");
  m.host.account.SetText(IDC_ACCOUNT_STATUS, "203.0.113.9");
  dlg.account().ShowDisconnectButton();
  // Even when the notice cannot be sent.
  m.internet.Script("/ClientLogin/client_logout.php", {200, "", true, true});
  dlg.SendLogout("vpn");
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_TIME), "0:00:00");
  EXPECT_EQ(m.host.account.GetText(IDC_ACCOUNT_STATUS), "사용하실 아이피를 선택후 더블클릭 해주세요");
  EXPECT_FALSE(m.host.account.IsVisible(IDC_ACCOUNT_CONNECT));
  ASSERT_EQ(m.window.boxes().size(), 1u);
  EXPECT_EQ(m.window.boxes()[0].text, "Web Send Error");
}

TEST(TunraDlgPages, PagesAndBannersComeFromThePublicWebHost) {
  MainWindow m;
  m.tables.hosts[TUNRA_LOGIN_HOST] = {net::Ipv4FromText("203.0.113.5")};
  app::CTunraDlg& dlg = m.Init();
  const std::string banner = std::string("http://") + TUNRA_WEB_HOST + "/vpn_program/banner.php";
  EXPECT_EQ(m.loginBanner.urls, std::vector<std::string>{banner});
  EXPECT_EQ(m.accountBanner.urls, std::vector<std::string>{banner});
  dlg.OpenHelpPage();
  dlg.login().OpenSignUpPage();
  ASSERT_EQ(m.shell.executed.size(), 2u);
  EXPECT_EQ(m.shell.executed[0].owner, m.window.handle);
  EXPECT_EQ(m.shell.executed[1].owner, m.host.login.handle);  // the panel owns its pages
  EXPECT_EQ(m.shell.executed[1].file, std::string("http://") + TUNRA_WEB_HOST + "/member/join1.php");
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
