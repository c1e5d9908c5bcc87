// The main window's diagnostics log: the file beside the program from the moment
// start-up has named the program's folder (lines before that are dropped: nothing
// has been asked of the system yet but the login host's address).
#pragma once

#include <memory>
#include <string>

#include "net/diag_log.h"
#include "net/diag_log_file.h"
#include "platform/files.h"
#include "platform/system.h"

namespace app {

class CMainDiagLog final : public net::IDiagLog {
 public:
  CMainDiagLog(platform::IFiles& files, platform::IClock& clock) : files_(files), clock_(clock) {}

  // Opens the log in `programDir` (once; the folder never changes afterwards).
  void Open(const std::string& programDir) {
    if (!file_) file_ = std::make_unique<net::CDiagLogFile>(files_, clock_, net::DiagLogPath(programDir));
  }
  // The user's password: written as "***" should a line ever hold it.
  void AddSecret(const std::string& secret) {
    if (file_) file_->AddSecret(secret);
  }
  void Write(const std::string& line) override {
    if (file_) file_->Write(line);
  }
  bool open() const { return file_ != nullptr; }

 private:
  platform::IFiles& files_;
  platform::IClock& clock_;
  std::unique_ptr<net::CDiagLogFile> file_;
};

}  // namespace app
