#include "app/update/program_update.h"

#include "app/texts.h"
#include "app/update/texts.h"
#include "app/update/update_mgmt.h"
#include "protocol/version_check.h"
#include "protocol/web_mgmt.h"

namespace app {

int CProgramUpdate::VersionCheck() {
  // The query form never shows a message of its own.
  protocol::CWebMgmt web(p_.internet, p_.record.requestHeaders, kAppTitle, nullptr);
  return protocol::VersionCheck(p_.record, web);
}

bool CProgramUpdate::NewerVersionOffered() const { return p_.record.updateVersion > p_.record.clientVersion; }

std::string CProgramUpdate::DownloadPath() const { return p_.record.tempDir + "/" + p_.record.updateFileName; }

void CProgramUpdate::DeleteInstallerCopy() {
  if (protocol::IsUsableInstallerName(p_.record.updateFileName)) p_.files.Delete(DownloadPath());
}

int CProgramUpdate::DownloadUpdate(platform::IWindow& owner) {
  const session::SessionRecord& r = p_.record;
  if (!protocol::IsUsableInstallerName(r.updateFileName)) {
    // The name itself stays out of the log: it may hold line breaks.
    p_.log.Write("update installer name refused (" + std::to_string(r.updateFileName.size()) + " bytes)");
  } else {
    p_.progressWindow.Show(platform::kSelf, true);
    p_.progressWindow.Redraw(platform::kSelf);
    CUpdateMgmt download(p_.background, p_.files, p_.progressWindow, owner, p_.log);
    if (download.DownloadFile(r.updateUrl, DownloadPath(), r.updateSha256) == 0) return 1;
  }
  p_.progressWindow.Show(platform::kSelf, false);
  owner.MessageBox(kUpdateFailedText, kUpdateFailedCaption, platform::kMbOk);
  return -1;
}

bool CProgramUpdate::StartInstaller(bool silent) {
  const session::SessionRecord& r = p_.record;
  if (!protocol::IsUsableInstallerName(r.updateFileName)) return false;
  const std::string path = r.windowsDir + "\\temp\\" + r.updateFileName;
  platform::CreateProcessOptions options;
  options.inheritHandles = false;
  options.creationFlags = platform::kNormalPriorityClass;
  options.startupFlags = platform::kStartfUseShowWindow;
  options.showWindow = silent ? platform::kSwHide : platform::kSwShow;
  options.applicationName = path;
  const std::string commandLine = "\"" + path + "\"" + (silent ? " /S" : "");
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 0;
  const bool started = p_.processes.CreateProcess(commandLine, options, process, pid, error);
  if (started) p_.processes.CloseHandle(process);
  p_.log.Write("update installer " + commandLine + " -> " + (started ? "started" : "failed " + std::to_string(error)));
  return started;
}

UpdateOutcome CProgramUpdate::ApplyUpdateAtLogin() {
  VersionCheck();
  if (!NewerVersionOffered()) return UpdateOutcome::kNoUpdate;
  p_.mainWindow.MessageBox(kUpdateStartingText, kUpdateStartingCaption, platform::kMbOk);
  DeleteInstallerCopy();
  if (DownloadUpdate(p_.mainWindow) < 0) return UpdateOutcome::kDownloadFailed;
  p_.shell.TeardownForUpdate();
  p_.mainWindow.Show(platform::kSelf, false);
  p_.shell.RemoveTrayIcon();
  p_.shell.CloseMainWindow();
  // As the client always has, the start's result changes nothing here: the client is
  // already closing (the log keeps it).
  StartInstaller(true);
  return UpdateOutcome::kStarted;
}

}  // namespace app
