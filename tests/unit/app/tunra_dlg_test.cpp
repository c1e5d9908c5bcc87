#include "app/main/tunra_dlg.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main/window_rules.h"
#include "app/settings/settings_table.h"
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
    ipClasses.Move(kSelf, {0, 0, 428, 390});
    ipPool.Move(kSelf, {0, 0, 428, 390});
    vpnConn.Move(kSelf, {0, 0, 257, 135});
    progUpdate.Move(kSelf, {0, 0, 300, 100});
  }
  platform::WindowHandle Handle() override { return handle; }
  void SetIcons(int id) override { calls.push_back("icons " + std::to_string(id)); }
  app::MainWindowPanels CreatePanels() override {
    calls.push_back("panels");
    return {&login, &account, &ipClasses, &ipPool, &vpnConn, &progUpdate};
  }
  Rect DesktopRect() override { return {0, 0, 1280, 1024}; }
  void Minimize() override { calls.push_back("minimize"); }
  void ShowNormal() override { calls.push_back("show normal"); }
  void EndDialog() override { calls.push_back("end"); }
  void ShowTrayMenu() override { calls.push_back("tray menu"); }
  void RunUpdateDialog() override { calls.push_back("update dialog"); }
  void RunOptionsDialog() override { calls.push_back("options dialog"); }

  platform::WindowHandle handle = 0x500;
  fakes::FakeWindow login, account, ipClasses, ipPool, vpnConn, progUpdate;
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

struct MainWindow {
  app::SessionRecord record;
  fakes::FakeWindow window;
  fakes::FakeSystem system;
  fakes::FakeRegistry registry;
  fakes::FakeShell shell;
  FakeHost host;
  FakeServices services;
  bool program64 = false;
  std::unique_ptr<app::CTunraDlg> dlg;

  MainWindow() { window.Move(kSelf, {100, 200, 997, 595}); }
  app::CTunraDlg& Init() {
    dlg = std::make_unique<app::CTunraDlg>(record, app::MainWindowPlatform{window, system, registry, shell, program64},
                                           host, services);
    dlg->OnInitDialog();
    return *dlg;
  }
  void Store(const char* name, const char* text) {
    registry.SetText(app::kSettingsRoot, app::kSettingsKeyPath, name, text);
  }
};

TEST(TunraDlg, StartWithoutSavedSettings) {
  MainWindow m;
  m.record.windowsDir = "C:\\windows";
  m.Init();
  const app::SessionRecord& r = m.record;
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
  EXPECT_EQ(m.host.ipClasses.GetRect(kSelf), (Rect{460, 3, 888, 387}));
  EXPECT_EQ(m.host.ipPool.GetRect(kSelf), m.host.ipClasses.GetRect(kSelf));
  EXPECT_FALSE(m.host.ipPool.IsVisible(kSelf));
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

  dlg.OnSysCommand(0xF060);  // SC_CLOSE hides first
  EXPECT_FALSE(m.window.IsVisible(kSelf));
  dlg.OnSysCommand(0xF020);  // SC_MINIMIZE shows first
  EXPECT_TRUE(m.window.IsVisible(kSelf));

  dlg.OnCommand(app::kIdClose);
  EXPECT_EQ(m.host.calls.back(), "end");
  EXPECT_FALSE(m.shell.iconShown);  // no icon left behind
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
