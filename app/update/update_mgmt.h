// Downloads with a deadline (the tunnel certificate, the update installer) and the
// installed certificate's version file ("crtver.ini" in the program's folder).
#pragma once

#include <string>

#include "net/diag_log.h"
#include "platform/background.h"
#include "platform/files.h"
#include "platform/window.h"

namespace app {

class CUpdateMgmt {
 public:
  // `progressWindow` is hidden once a download has succeeded; `owner` is the window
  // that is disabled while a download runs (its messages are dispatched meanwhile).
  CUpdateMgmt(platform::IBackgroundWork& background, platform::IFiles& files, platform::IWindow& progressWindow,
              platform::IWindow& owner, net::IDiagLog& log)
      : background_(background), files_(files), progress_window_(progressWindow), owner_(owner), log_(log) {}
  virtual ~CUpdateMgmt() = default;

  // Downloads `url` to `path` within 30 seconds, however the server stalls: the
  // network part runs beside the window and is given up at the deadline. With
  // `sha256` (lower-case hex) the body must have that digest. 0 on success (the
  // progress window is hidden); -1 on failure, with nothing written at `path` and
  // nothing shown.
  int DownloadFile(const std::string& url, const std::string& path, const std::string& sha256 = std::string());
  // The version on the first line of `programDir`/crtver.ini; -1 when it cannot be read.
  int ReadCertVersion(const std::string& programDir, const std::string& fileName);
  // Replaces the file's content by the decimal version and a line end.
  void WriteCertVersion(const std::string& programDir, const std::string& fileName, int version);

 private:
  platform::IBackgroundWork& background_;
  platform::IFiles& files_;
  platform::IWindow& progress_window_;
  platform::IWindow& owner_;
  net::IDiagLog& log_;
};

}  // namespace app
