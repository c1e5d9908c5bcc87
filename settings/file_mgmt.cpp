#include "settings/file_mgmt.h"

#include "text/cp949.h"

namespace settings {

namespace {

// The text-mode line: without its "\n", and without the CR of a CR LF.
std::string StripLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') {
    line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return line;
}

}  // namespace

int CFileMgmt::Open(const std::string& path, platform::FileMode mode) {
  file_.reset();
  file_ = files_.Open(path, mode);
  return file_ ? 0 : -1;
}

int CFileMgmt::OpenForWrite(const std::string& directory, const std::string& name) {
  return Open(directory + "/" + name, platform::FileMode::kReadWriteTruncate);
}

int CFileMgmt::OpenForRead(const std::string& directory, const std::string& name) {
  return Open(text::ForwardSlashes(directory) + "/" + name, platform::FileMode::kRead);
}

int CFileMgmt::OpenForRead(const std::string& path) {
  return Open(text::ForwardSlashes(path), platform::FileMode::kRead);
}

int CFileMgmt::AppendLine(const std::string& line) {
  if (!file_) return -1;
  // Text mode turns every "\n" byte of the text into CR LF as well (byte by byte:
  // the runtime does not look at characters).
  std::string bytes;
  bytes.reserve(line.size() + 2);
  for (char c : line) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  bytes += "\r\n";
  if (!file_->SeekEnd() || !file_->Write(bytes)) return -1;
  return 0;
}

std::string CFileMgmt::ReadLine() {
  std::string line;
  if (!file_ || !file_->ReadLine(line)) return "-1";
  return StripLineEnd(line);
}

int CFileMgmt::ReadAll(const std::string& path, std::string& out) {
  std::string bytes;
  if (!files_.ReadAllShared(text::ForwardSlashes(path), bytes)) return -11;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    end = (end == std::string::npos) ? bytes.size() : end + 1;
    out += StripLineEnd(bytes.substr(pos, end - pos));
    out += "\r\n";
    pos = end;
  }
  return 1;
}

}  // namespace settings
