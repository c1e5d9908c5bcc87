// The program update: the version check, the installer's download into the temporary
// folder with the update progress window up, and the two ways an update is applied —
// after each successful user check (ApplyUpdateAtLogin) and from the update dialog's
// button (app/update/update_dlg.h).
//
// The installer's file name comes from the back end and becomes a path: a name that
// is not a plain file name (IsUsableInstallerName) counts as an installer that cannot
// be downloaded. A version file that names the installer's SHA-256 is held to it.
#pragma once

#include <string>

#include "app/main/main_window_peers.h"
#include "net/diag_log.h"
#include "platform/background.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "platform/process.h"
#include "platform/window.h"
#include "session/session_record.h"

namespace app {

// What the update asks of the main window besides its controls.
class IUpdateShell {
 public:
  virtual ~IUpdateShell() = default;
  // The OpenVPN teardown with reason code -1 and no reason text (no event report).
  virtual void TeardownForUpdate() = 0;
  virtual void RemoveTrayIcon() = 0;
  // WM_CLOSE to the main window, posted: the client ends once the message being
  // handled now is done.
  virtual void CloseMainWindow() = 0;
};

struct ProgramUpdateParts {
  session::SessionRecord& record;
  platform::IInternet& internet;  // the version check, on the window's thread
  platform::IBackgroundWork& background;
  platform::IFiles& files;
  platform::IProcesses& processes;
  platform::IWindow& mainWindow;      // the login-time update's messages; hidden before the installer runs
  platform::IWindow& progressWindow;  // the update progress window (template 134, kSelf)
  net::IDiagLog& log;
  IUpdateShell& shell;
};

class CProgramUpdate final : public IUpdateAtLogin {
 public:
  explicit CProgramUpdate(ProgramUpdateParts parts) : p_(parts) {}

  // Reads the version file into the session record. Returns 1.
  int VersionCheck();
  // updateVersion > clientVersion.
  bool NewerVersionOffered() const;
  // Deletes the offered installer's copy in the temporary folder (an older one before
  // a download, one that would not start after it); nothing for a name that is not
  // usable. A failure is ignored.
  void DeleteInstallerCopy();
  // Downloads updateUrl to tempDir/updateFileName with the progress window up, `owner`
  // disabled meanwhile. 1 on success (the progress window hidden by the download); -1
  // after CODE-021 in a box owned by `owner`.
  int DownloadUpdate(platform::IWindow& owner);
  // Starts "<Windows folder>\temp\<updateFileName>" by its quoted path: `silent`
  // hidden with /S (nobody could answer a wizard that is not shown), otherwise shown
  // normally. True when the program started.
  bool StartInstaller(bool silent);

  // After a successful user check: a newer client is announced, downloaded and
  // started, and the client closes.
  UpdateOutcome ApplyUpdateAtLogin() override;

 private:
  std::string DownloadPath() const;

  ProgramUpdateParts p_;
};

}  // namespace app
