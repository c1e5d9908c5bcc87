#include "app/update/update_mgmt.h"

#include "protocol/file_download.h"
#include "settings/file_mgmt.h"
#include "text/cp949.h"

namespace app {

int CUpdateMgmt::DownloadFile(const std::string& url, const std::string& path) {
  const protocol::DownloadResult result = protocol::DownloadFile(internet_, files_, clock_, url, path);
  log_.Write("download " + url + " to " + path + " -> " + (result.ok ? "0 " : "failed ") + result.why);
  if (!result.ok) return -1;
  progress_window_.Show(platform::kSelf, false);
  return 0;
}

int CUpdateMgmt::ReadCertVersion(const std::string& programDir, const std::string& fileName) {
  settings::CFileMgmt file(files_);
  if (file.OpenForRead(programDir, fileName) != 0) return -1;
  return text::AtoI(file.ReadLine());
}

void CUpdateMgmt::WriteCertVersion(const std::string& programDir, const std::string& fileName, int version) {
  settings::CFileMgmt file(files_);
  if (file.OpenForWrite(programDir, fileName) != 0) return;
  file.AppendLine(std::to_string(version));
}

}  // namespace app
