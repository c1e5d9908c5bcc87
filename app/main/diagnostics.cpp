// The tray menu's report for support: gathered here from the platform and the main
// window's state, assembled by DiagnosticsReport, written to the user's documents
// folder, and that folder opened.
#include <cstdio>
#include <ctime>

#include "app/main/diagnostics_report.h"
#include "app/main/tunra_dlg.h"
#include "app/texts.h"
#include "net/diag_log_file.h"
#include "protocol/payload_codec.h"
#include "protocol/system_report.h"
#include "settings/settings_table.h"

namespace app {

namespace {

std::string ReadOrEmpty(platform::IFiles& files, const std::string& path) {
  std::string bytes;
  if (path.empty() || !files.ReadAllShared(path, bytes)) bytes.clear();
  return bytes;
}

}  // namespace

void CTunraDlg::NoteRasError(std::uint32_t error, const std::string& text) {
  std::tm local{};
  char stamp[80] = "0000-00-00 00:00:00";
  if (platform_.clock.LocalTime(platform_.clock.Now(), local))
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::vector<std::string>& kept = state_.rasErrors;
  kept.push_back(std::string(stamp) + " " + std::to_string(error) + " " + text);
  if (kept.size() > kKeptRasErrors) kept.erase(kept.begin());
}

void CTunraDlg::KeepOpenVpnLog() {
  std::string log = ReadOrEmpty(platform_.files, OpenVpnLogPath());
  if (!log.empty()) state_.lastOpenVpnLog = std::move(log);
}

std::string CTunraDlg::OpenVpnLogPath() const {
  if (record_.openVpnLogName.empty()) return "";
  return record_.openVpnLogDir + "/" + record_.openVpnLogName;
}

void CTunraDlg::SaveDiagnostics() {
  ReportInputs in;
  std::tm local{};
  const bool timed = platform_.clock.LocalTime(platform_.clock.Now(), local);
  if (!timed) local = std::tm{};
  char savedAt[80];
  std::snprintf(savedAt, sizeof savedAt, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  in.clientVersion = record_.clientVersion;
  in.savedAt = savedAt;

  platform::OsVersion v;
  if (platform_.system.GetVersionEx(v)) {
    in.windowsVersion = std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
    if (!v.csdVersion.empty()) in.windowsVersion += " " + v.csdVersion;
  }
  in.systemReport = protocol::SystemReportOf(ctx_);
  in.adaptersResult = platform_.netTables.GetAdaptersInfo(in.adapters);
  in.routesResult = platform_.netTables.GetIpForwardTable(true, in.routes);
  in.rasErrors = state_.rasErrors;
  in.diagLog = ReadOrEmpty(platform_.files, net::DiagLogPath(record_.programDir));
  // The running tunnel's log, or the one the last teardown kept.
  in.openVpnLog = ReadOrEmpty(platform_.files, OpenVpnLogPath());
  if (in.openVpnLog.empty()) in.openVpnLog = state_.lastOpenVpnLog;

  // The secrets: the password, the credentials file (while no tunnel runs, the lines it
  // holds while one does), and the remembered account as stored and decoded.
  ReportSecrets& s = in.secrets;
  s.password = record_.password;
  if (!record_.accountFileName.empty())
    s.credentialsFile = ReadOrEmpty(platform_.files, record_.accountFileDir + "/" + record_.accountFileName);
  s.credentialsFile += "\n" + record_.userId + "\n" + record_.password;
  const settings::SettingsKey key{record_.settingsRoot, record_.settingsKeyPath};
  s.storedId = settings::ReadSetting(reg_, key, settings::Setting::kAccountId);
  s.storedPassword = settings::ReadSetting(reg_, key, settings::Setting::kPassword);
  s.rememberedId = protocol::DecodePayload(s.storedId);
  s.rememberedPassword = protocol::DecodePayload(s.storedPassword);
  const std::string report = DiagnosticsReport(in);

  // Written in full or not at all: a failure is said, and no folder is opened.
  const std::string folder = platform_.shell.DocumentsFolder();
  bool written = false;
  if (!folder.empty()) {
    const std::string path = folder + "\\" +
                             ReportFileName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                            local.tm_min, local.tm_sec);
    if (auto file = platform_.files.Open(path, platform::FileMode::kReadWriteTruncate)) {
      written = file->Write(report);
      file.reset();
      if (!written) platform_.files.Delete(path);  // no half report stays behind
    }
  }
  if (!written) {
    char text[512];
    std::snprintf(text, sizeof text, kReportSaveFailed, folder.c_str());
    windows_.main.MessageBox(text, kReportCaption, platform::kMbOk);
    return;
  }
  platform_.shell.ShellExecute(windows_.main.Handle(), "open", folder, "", "", platform::kSwShowNormal);
}

}  // namespace app
