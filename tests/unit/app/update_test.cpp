// The program update: the login-time update, the update dialog and the download they
// share, on fakes. The main window's side (teardown, tray icon, close), the installer's
// start and the main window's visibility go into one journal, so the order shows.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/update/program_update.h"
#include "app/update/texts.h"
#include "app/update/update_dlg.h"
#include "fakes/fake_background.h"
#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_window.h"
#include "protocol/sha256.h"
#include "protocol/web_pages.h"
#include "unit/app/peer_fakes.h"
#include "unit/net/recording_log.h"

namespace {

using apptest::Journal;
using platform::kSelf;

constexpr const char* kVersionPath = "/ClientVersion/tunra/tunra_setup.php";
constexpr const char* kInstallerPath = "/download/tunra_setup_1186.exe";
constexpr const char* kSaved = "C:/WINDOWS/Temp/tunra_setup_1186.exe";
constexpr const char* kStarted = "\"C:\\WINDOWS\\temp\\tunra_setup_1186.exe\"";
const std::string kInstaller = "MZ stand-in installer";

// A back end that may announce more installer than it sends.
class Server : public fakes::FakeInternet {
 public:
  bool QueryInfo(platform::InternetHandle request, std::uint32_t level, std::string& out) override {
    if (level == platform::kHttpQueryContentLength && !claimedLength.empty() &&
        requests().back().Path() == kInstallerPath) {
      out = claimedLength;
      return true;
    }
    return FakeInternet::QueryInfo(request, level, out);
  }
  std::string claimedLength;
};

class JournalShell : public app::IUpdateShell {
 public:
  explicit JournalShell(Journal& journal) : journal_(journal) {}
  void TeardownForUpdate() override { journal_.push_back("teardown"); }
  void RemoveTrayIcon() override { journal_.push_back("tray icon removed"); }
  void CloseMainWindow() override { journal_.push_back("close posted"); }

 private:
  Journal& journal_;
};

class JournalProcesses : public fakes::FakeProcesses {
 public:
  explicit JournalProcesses(Journal& journal) : journal_(journal) {}
  bool CreateProcess(const std::string& commandLine, const platform::CreateProcessOptions& options,
                     platform::ProcessHandle& process, std::uint32_t& pid, std::uint32_t& error) override {
    journal_.push_back("start " + commandLine);
    return FakeProcesses::CreateProcess(commandLine, options, process, pid, error);
  }

 private:
  Journal& journal_;
};

class JournalWindow : public fakes::FakeWindow {
 public:
  explicit JournalWindow(Journal& journal) : journal_(journal) {}
  void Show(int id, bool visible) override {
    if (id == kSelf && !visible) journal_.push_back("main hidden");
    FakeWindow::Show(id, visible);
  }

 private:
  Journal& journal_;
};

class DialogView : public app::IUpdateDlgView {
 public:
  void Close() override { closed = true; }
  bool closed = false;
};

struct Update {
  Journal journal;
  session::SessionRecord record;
  Server internet;
  fakes::FakeBackgroundWork background{internet};
  fakes::FakeFiles files;
  JournalProcesses processes{journal};
  JournalWindow main{journal};
  fakes::FakeWindow progress, dialog;
  nettest::RecordingLog log;
  JournalShell shell{journal};
  app::CProgramUpdate update{app::ProgramUpdateParts{record, internet, background, files, processes, main, progress,
                                                     log, shell}};

  Update() {
    record.webHost = "127.0.0.1";
    record.clientCode = "tunra";
    record.setupPageName = "tunra_setup.php";
    record.windowsDir = "C:\\WINDOWS";
    record.tempDir = "C:/WINDOWS/Temp";
    main.handle = 0x500;
    dialog.handle = 0x510;
    progress.Show(kSelf, false);
  }
  // The version file offers `version`; its download is the installer (with its digest
  // when `withDigest`).
  void Offer(int version, bool withDigest = true, const std::string& name = "tunra_setup_1186.exe") {
    std::string text = "version=" + std::to_string(version) + "\ndownload=http://127.0.0.1/download/" + name + "\n";
    if (withDigest) text += "sha256=" + protocol::Sha256Hex(kInstaller) + "\n";
    internet.Script(kVersionPath, {200, text, true, false});
    internet.Script(kInstallerPath, {200, kInstaller, true, false});
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& r : internet.requests()) paths.push_back(r.Path());
    return paths;
  }
  std::vector<std::string> Boxes(fakes::FakeWindow& w) const {
    std::vector<std::string> texts;
    for (const auto& box : w.boxes()) texts.push_back(box.caption + ": " + box.text);
    return texts;
  }
};

const std::string kStartingBox = std::string(app::kUpdateStartingCaption) + ": " + app::kUpdateStartingText;
const std::string kFailedBox = std::string(app::kUpdateFailedCaption) + ": " + app::kUpdateFailedText;

TEST(UpdateAtLogin, NoNewerVersionGoesOn) {
  for (int offered : {1185, 1184, 0}) {
    Update u;
    u.Offer(offered);
    EXPECT_EQ(u.update.ApplyUpdateAtLogin(), app::UpdateOutcome::kNoUpdate);
    EXPECT_EQ(u.Paths(), std::vector<std::string>{kVersionPath}) << offered;
    EXPECT_TRUE(u.main.boxes().empty());
    EXPECT_TRUE(u.journal.empty());
  }
}

TEST(UpdateAtLogin, DownloadsStartsTheInstallerSilentlyAndCloses) {
  Update u;
  u.Offer(1186);
  u.files.Put(kSaved, "an older copy");
  bool progressUp = false;
  u.background.whileWaiting = [&] { progressUp = u.progress.IsVisible(kSelf); };

  EXPECT_EQ(u.update.ApplyUpdateAtLogin(), app::UpdateOutcome::kStarted);

  EXPECT_EQ(u.Boxes(u.main), std::vector<std::string>{kStartingBox});
  EXPECT_EQ(u.files.deleted(), std::vector<std::string>{kSaved});
  EXPECT_EQ(u.files.Get(kSaved), kInstaller);
  EXPECT_TRUE(progressUp);
  EXPECT_EQ(u.progress.control(kSelf).redraws, 1);
  EXPECT_FALSE(u.progress.IsVisible(kSelf));
  // The download waited beside the main window, disabled, for at most 30 s.
  ASSERT_EQ(u.background.runs.size(), 1u);
  EXPECT_EQ(u.background.runs[0].owner, 0x500u);
  EXPECT_EQ(u.background.runs[0].limitMs, 30000u);

  EXPECT_EQ(u.journal, (Journal{"teardown", "main hidden", "tray icon removed", "close posted",
                                std::string("start ") + kStarted + " /S"}));
  const platform::CreateProcessOptions& o = u.processes.starts.at(0).options;
  EXPECT_EQ(o.applicationName, "C:\\WINDOWS\\temp\\tunra_setup_1186.exe");
  EXPECT_EQ(o.showWindow, platform::kSwHide);
  EXPECT_FALSE(o.inheritHandles);
  EXPECT_EQ(u.processes.OpenHandles(), 0);
}

TEST(UpdateAtLogin, AVersionFileWithoutDigestStillUpdates) {
  Update u;
  u.Offer(1186, false);
  EXPECT_EQ(u.update.ApplyUpdateAtLogin(), app::UpdateOutcome::kStarted);
  EXPECT_EQ(u.files.Get(kSaved), kInstaller);
}

TEST(UpdateAtLogin, EveryFailedDownloadSaysCode021AndLeavesNoFile) {
  struct Row {
    const char* name;
    void (*arrange)(Update&);
    bool fetched;  // the installer was asked for
  };
  const Row rows[] = {
      {"not found", [](Update& u) { u.internet.Script(kInstallerPath, {404, "<html>404</html>", true, false}); }, true},
      {"cut short", [](Update& u) { u.internet.claimedLength = "100000"; }, true},
      {"another installer than the digest names",
       [](Update& u) { u.internet.Script(kInstallerPath, {200, "MZ something else", true, false}); }, true},
      {"the limit passed", [](Update& u) { u.background.limitPasses = true; }, false},
      {"a traversing name", [](Update& u) { u.Offer(1186, true, "..\\x.exe"); }, false},
      {"a name with a drive", [](Update& u) { u.Offer(1186, true, "C:x.exe"); }, false},
      {"a quote in the name", [](Update& u) { u.Offer(1186, true, "x\".exe"); }, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Update u;
    u.Offer(1186);
    row.arrange(u);
    u.files.Put("C:/WINDOWS/Temp/..\\x.exe", "what a traversal would reach");

    EXPECT_EQ(u.update.ApplyUpdateAtLogin(), app::UpdateOutcome::kDownloadFailed);

    EXPECT_EQ(u.Boxes(u.main), (std::vector<std::string>{kStartingBox, kFailedBox}));
    EXPECT_FALSE(u.files.Exists(kSaved));
    EXPECT_EQ(u.files.Get("C:/WINDOWS/Temp/..\\x.exe"), "what a traversal would reach");
    EXPECT_FALSE(u.progress.IsVisible(kSelf));
    EXPECT_TRUE(u.journal.empty());  // nothing started, the window stays
    EXPECT_EQ(u.Paths().size(), row.fetched ? 2u : 1u);
  }
}

TEST(UpdateAtLogin, ADownloadGivenUpAtTheLimitWritesNothingWhenItEndsLater) {
  Update u;
  u.Offer(1186);
  u.background.limitPasses = true;
  EXPECT_EQ(u.update.ApplyUpdateAtLogin(), app::UpdateOutcome::kDownloadFailed);
  ASSERT_EQ(u.background.givenUp.size(), 1u);

  // The worker goes on after the window has moved on; it stops at its first read and
  // its result is dropped.
  u.background.givenUp[0]();
  EXPECT_FALSE(u.files.Exists(kSaved));
  EXPECT_EQ(u.internet.OpenHandles(), 0);
  EXPECT_EQ(u.log.Starting("download").size(), 1u);
}

TEST(UpdateAtLogin, ASecondDownloadWhileOneRunsIsRefused) {
  Update u;
  u.Offer(1186);
  u.background.whileWaiting = [&] {
    u.background.whileWaiting = nullptr;
    EXPECT_EQ(u.update.DownloadUpdate(u.main), -1);  // a timer's download inside the wait
  };
  EXPECT_EQ(u.update.ApplyUpdateAtLogin(), app::UpdateOutcome::kStarted);
  EXPECT_EQ(u.Boxes(u.main), (std::vector<std::string>{kStartingBox, kFailedBox}));
}

// The update dialog.
struct Dialog : Update {
  apptest::FakeBanner page;
  DialogView view;
  app::CUpdateDlg dlg{app::UpdateDlgParts{dialog, record, update, shell, page, view}};
};

TEST(UpdateDialog, InitialisationShowsThePageAndTheVersionMessage) {
  struct Row {
    const char* name;
    int kept;     // updateVersion before the dialog (from the user check)
    int offered;  // 0: the version file cannot be fetched
    const char* message;
  };
  const Row rows[] = {
      {"newer", 0, 1186, "최신 버전 (Ver 1186)이 확인 되었습니다. \n\n최신 버전으로 업데이트 하시기 바랍니다"},
      {"same", 0, 1185, "현재 최신 버전 (Ver 1185)을 사용하고 계십니다."},
      {"no file, newer kept", 1186, 0, "최신 버전 (Ver 1186)이 확인 되었습니다. \n\n최신 버전으로 업데이트 하시기 바랍니다"},
      {"no file, nothing kept", 0, 0, "현재 최신 버전 (Ver 1185)을 사용하고 계십니다."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Dialog d;
    d.record.updateVersion = row.kept;
    if (row.offered != 0) d.Offer(row.offered);
    EXPECT_TRUE(d.dlg.OnInitDialog());
    EXPECT_EQ(d.dialog.GetText(IDC_UPD_MESSAGE), row.message);
    EXPECT_EQ(d.dialog.control(kSelf).redraws, 1);
    EXPECT_EQ(d.page.urls, std::vector<std::string>{protocol::kUpdatePageUrl});
    EXPECT_EQ(d.Paths(), std::vector<std::string>{kVersionPath});
    const std::pair<int, std::pair<int, int>> buttons[] = {{IDC_UPD_START, {197, 198}},
                                                          {IDC_UPD_CANCEL, {189, 189}},
                                                          {IDC_UPD_CLOSE, {157, 158}}};
    for (const auto& [id, bitmaps] : buttons) {
      EXPECT_EQ(d.dialog.control(id).bitmapNormal, bitmaps.first) << id;
      EXPECT_EQ(d.dialog.control(id).bitmapPressed, bitmaps.second) << id;
    }
  }
}

TEST(UpdateDialog, CancelAndXOnlyClose) {
  for (int id : {IDC_UPD_CANCEL, IDC_UPD_CLOSE}) {
    Dialog d;
    d.Offer(1186);
    d.files.Put(kSaved, "a copy");
    d.dlg.OnInitDialog();
    d.dlg.OnCommand(id);
    EXPECT_TRUE(d.view.closed) << id;
    EXPECT_EQ(d.Paths(), std::vector<std::string>{kVersionPath});
    EXPECT_TRUE(d.dialog.boxes().empty());
    EXPECT_TRUE(d.journal.empty());
    EXPECT_TRUE(d.files.deleted().empty());
  }
}

TEST(UpdateDialog, TheButtonWithoutANewerVersionOnlySaysSo) {
  Dialog d;
  d.Offer(1185);
  d.dlg.OnInitDialog();
  d.dlg.OnCommand(IDC_UPD_START);
  EXPECT_EQ(d.Boxes(d.dialog), std::vector<std::string>{"업데이트 정보: 현재 최신 버전을 사용하고 계십니다."});
  EXPECT_FALSE(d.view.closed);
  EXPECT_EQ(d.Paths(), std::vector<std::string>{kVersionPath});
  EXPECT_TRUE(d.journal.empty());
}

TEST(UpdateDialog, TheButtonDownloadsStartsAndOnlyThenCloses) {
  Dialog d;
  d.Offer(1186);
  d.files.Put(kSaved, "an older copy");  // a copy left by an earlier update is not trusted
  d.dlg.OnInitDialog();
  d.dlg.OnCommand(IDC_UPD_START);
  EXPECT_EQ(d.Paths(), (std::vector<std::string>{kVersionPath, kInstallerPath}));
  EXPECT_EQ(d.files.Get(kSaved), kInstaller);
  ASSERT_EQ(d.background.runs.size(), 1u);
  EXPECT_EQ(d.background.runs[0].owner, 0x510u);  // the dialog waits, disabled
  EXPECT_TRUE(d.view.closed);
  EXPECT_EQ(d.journal, (Journal{std::string("start ") + kStarted, "tray icon removed", "close posted"}));
  EXPECT_EQ(d.processes.starts.at(0).options.showWindow, platform::kSwShow);
  EXPECT_TRUE(d.dialog.boxes().empty());
  EXPECT_TRUE(d.main.boxes().empty());
}

TEST(UpdateDialog, TheButtonKeepsTheDialogOpenWhenTheUpdateFails) {
  struct Row {
    const char* name;
    void (*arrange)(Dialog&);
    bool started;  // a start was tried
  };
  const Row rows[] = {
      {"download fails", [](Dialog& d) { d.internet.Script(kInstallerPath, {404, "", true, false}); }, false},
      {"wrong digest", [](Dialog& d) { d.internet.Script(kInstallerPath, {200, "other", true, false}); }, false},
      {"installer cannot start", [](Dialog& d) { d.processes.startErrors["tunra_setup_1186.exe"] = 193; }, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Dialog d;
    d.Offer(1186);
    row.arrange(d);
    d.dlg.OnInitDialog();
    d.dlg.OnCommand(IDC_UPD_START);
    EXPECT_EQ(d.Boxes(d.dialog), std::vector<std::string>{kFailedBox});
    EXPECT_TRUE(d.main.boxes().empty());
    EXPECT_FALSE(d.view.closed);
    EXPECT_EQ(d.journal, row.started ? Journal{std::string("start ") + kStarted} : Journal{});
    EXPECT_FALSE(d.files.Exists(kSaved));
  }
}

}  // namespace
