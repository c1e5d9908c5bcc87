#include "app/update/update_mgmt.h"

#include <atomic>
#include <memory>

#include "protocol/file_download.h"
#include "protocol/sha256.h"
#include "settings/file_mgmt.h"
#include "text/cp949.h"

namespace app {

namespace {

// What the download's worker owns: a worker that is given up at the deadline runs on
// to its own end (the transport's limits end it) and must touch nothing else.
struct Fetch {
  std::unique_ptr<platform::IInternet> internet;
  std::atomic<bool> givenUp{false};  // the worker stops at its next read
  protocol::FetchResult result;
};

}  // namespace

int CUpdateMgmt::DownloadFile(const std::string& url, const std::string& path, const std::string& sha256) {
  auto fetch = std::make_shared<Fetch>();
  fetch->internet = background_.NewInternet();
  protocol::DownloadResult outcome{false, "no internet client"};
  if (fetch->internet) {
    const platform::IBackgroundWork::Outcome ran = background_.Run(
        owner_.Handle(),
        [fetch, url] {
          Fetch& f = *fetch;
          f.result = protocol::FetchFile(*f.internet, url, [&f] { return f.givenUp.load(); });
        },
        protocol::kDownloadDeadlineSeconds * 1000u);
    if (ran == platform::IBackgroundWork::Outcome::kDone) {
      outcome = fetch->result;
      if (outcome.ok && !sha256.empty() && protocol::Sha256Hex(fetch->result.body) != sha256)
        outcome = {false, "sha256 differs"};
      if (outcome.ok) outcome = protocol::SaveFile(files_, path, fetch->result.body);
    } else {
      fetch->givenUp = true;
      outcome.why = ran == platform::IBackgroundWork::Outcome::kBusy
                        ? "another download runs"
                        : "no answer within " + std::to_string(protocol::kDownloadDeadlineSeconds) + " s";
    }
  }
  log_.Write("download " + url + " to " + path + " -> " + (outcome.ok ? "0 " : "failed ") + outcome.why);
  if (!outcome.ok) return -1;
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
