// The diagnostics log as a text file beside the program ("tunra-diag.log"), for support
// staff: one line per action, "YYYY-MM-DD HH:MM:SS <line>" in local time, ended by CR LF
// (the lines' grammar: net/diag_lines.h). When a line would take the file past its size
// limit, the file becomes "<name>.old" (replacing the older one) and a new file starts,
// so at most two files of the limit's size exist.
//
// Secrets never reach the file: callers pass none, and every text registered with
// AddSecret (the user's password) is written as "***" wherever a line holds it.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "net/diag_log.h"
#include "platform/files.h"
#include "platform/system.h"

namespace net {

inline constexpr const char* kDiagLogFileName = "tunra-diag.log";
// About 5,000 lines: many sessions' worth, small enough to mail.
inline constexpr std::size_t kDiagLogLimitBytes = 512 * 1024;
// Shorter texts would match ordinary words of the log; a password is longer.
inline constexpr std::size_t kDiagLogSecretMinBytes = 4;

class CDiagLogFile final : public IDiagLog {
 public:
  // `path` is the log's full path (see DiagLogPath).
  CDiagLogFile(platform::IFiles& files, platform::IClock& clock, std::string path,
               std::size_t limitBytes = kDiagLogLimitBytes);

  // Appends the line; a line that cannot be written is dropped (the log never stops
  // the client). Lines may come from any thread.
  void Write(const std::string& line) override;

  // From now on `secret` is written as "***" (texts shorter than
  // kDiagLogSecretMinBytes are ignored).
  void AddSecret(const std::string& secret);

  const std::string& path() const { return path_; }
  std::string OldPath() const { return path_ + ".old"; }

 private:
  std::string Stamp();
  void Rotate();

  platform::IFiles& files_;
  platform::IClock& clock_;
  const std::string path_;
  const std::size_t limit_;
  std::mutex mutex_;
  bool sized_ = false;
  std::size_t size_ = 0;  // bytes in the file, known after the first write
  std::vector<std::string> secrets_;
};

// The log's path in the program's folder (given with '/' separators).
std::string DiagLogPath(const std::string& programDir);

}  // namespace net
