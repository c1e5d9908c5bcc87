#include "net/diag_log_file.h"

#include <cstdio>
#include <ctime>

#include "text/cp949.h"

namespace net {

CDiagLogFile::CDiagLogFile(platform::IFiles& files, platform::IClock& clock, std::string path,
                           std::size_t limitBytes)
    : files_(files), clock_(clock), path_(std::move(path)), limit_(limitBytes) {}

void CDiagLogFile::AddSecret(const std::string& secret) {
  if (secret.size() < kDiagLogSecretMinBytes) return;
  std::lock_guard<std::mutex> lock(mutex_);
  secrets_.push_back(secret);
}

std::string CDiagLogFile::Stamp() {
  std::tm local{};
  if (!clock_.LocalTime(clock_.Now(), local)) return "0000-00-00 00:00:00";
  char buffer[80];  // room for any int the fields could hold
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return buffer;
}

void CDiagLogFile::Rotate() {
  std::string bytes;
  if (files_.ReadAllShared(path_, bytes)) {
    if (auto old = files_.Open(OldPath(), platform::FileMode::kReadWriteTruncate)) old->Write(bytes);
  }
  files_.Open(path_, platform::FileMode::kReadWriteTruncate);
  size_ = 0;
}

void CDiagLogFile::Write(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text = line;
  for (const std::string& secret : secrets_) text = text::ReplaceAll(text, secret, "***");
  // One line each: a line end or another control byte inside would split or garble it.
  // (Trail bytes of Korean characters are never control bytes.)
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  const std::string record = Stamp() + " " + text + "\r\n";

  if (!sized_) {
    std::string bytes;
    size_ = files_.ReadAllShared(path_, bytes) ? bytes.size() : 0;
    sized_ = true;
  }
  if (size_ > 0 && size_ + record.size() > limit_) Rotate();
  if (files_.Append(path_, record)) size_ += record.size();
}

std::string DiagLogPath(const std::string& programDir) {
  if (programDir.empty()) return kDiagLogFileName;
  const char last = programDir.back();
  return programDir + (last == '/' || last == '\\' ? "" : "/") + kDiagLogFileName;
}

}  // namespace net
