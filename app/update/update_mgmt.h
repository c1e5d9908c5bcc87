// Downloads with a deadline (the tunnel certificate, the update installer) and the
// installed certificate's version file ("crtver.ini" in the program's folder).
#pragma once

#include <string>

#include "net/diag_log.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "platform/system.h"
#include "platform/window.h"

namespace app {

class CUpdateMgmt {
 public:
  // `progressWindow` is hidden once a download has succeeded.
  CUpdateMgmt(platform::IInternet& internet, platform::IFiles& files, platform::IClock& clock,
              platform::IWindow& progressWindow, net::IDiagLog& log)
      : internet_(internet), files_(files), clock_(clock), progress_window_(progressWindow), log_(log) {}
  virtual ~CUpdateMgmt() = default;

  // Downloads `url` to `path` within 30 seconds. 0 on success (the progress window is
  // hidden); -1 on failure, with no file left at `path` and nothing shown.
  int DownloadFile(const std::string& url, const std::string& path);
  // The version on the first line of `programDir`/crtver.ini; -1 when it cannot be read.
  int ReadCertVersion(const std::string& programDir, const std::string& fileName);
  // Replaces the file's content by the decimal version and a line end.
  void WriteCertVersion(const std::string& programDir, const std::string& fileName, int version);

 private:
  platform::IInternet& internet_;
  platform::IFiles& files_;
  platform::IClock& clock_;
  platform::IWindow& progress_window_;
  net::IDiagLog& log_;
};

}  // namespace app
