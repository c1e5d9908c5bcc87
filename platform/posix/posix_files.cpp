#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

class StdioFile final : public IFile {
 public:
  explicit StdioFile(std::FILE* f) : f_(f) {}
  ~StdioFile() override { std::fclose(f_); }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  bool ReadLine(std::string& line) override {
    line.clear();
    // A write must be followed by a positioning call before the next read.
    if (lastWasWrite_) std::fseek(f_, 0, SEEK_CUR);
    lastWasWrite_ = false;
    int c;
    while ((c = std::fgetc(f_)) != EOF) {
      line += static_cast<char>(c);
      if (c == '\n') break;
    }
    return !line.empty();
  }

  bool Write(const std::string& bytes) override {
    lastWasWrite_ = true;
    return std::fwrite(bytes.data(), 1, bytes.size(), f_) == bytes.size() && std::fflush(f_) == 0;
  }

  bool SeekEnd() override { return std::fseek(f_, 0, SEEK_END) == 0; }

 private:
  std::FILE* f_;
  bool lastWasWrite_ = false;
};

const char* ModeText(FileMode mode) {
  switch (mode) {
    case FileMode::kRead: return "rb";
    case FileMode::kReadWriteTruncate: return "w+b";
    case FileMode::kReadWrite: return "r+b";
    case FileMode::kReplaceOwnerOnly: return "w+b";
  }
  return "rb";
}

// Unlinks the old file and creates a new one exclusively: a reader that opened the old
// file keeps the old, now nameless, file and never sees the new bytes; a link planted at
// the path is removed, not followed. The mode is set on the descriptor, whatever the
// umask says.
std::FILE* OpenReplacedOwnerOnly(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return nullptr;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  if (::fchmod(fd, 0600) != 0) {
    ::close(fd);
    ::unlink(path.c_str());
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, ModeText(FileMode::kReplaceOwnerOnly));
  if (!f) {
    ::close(fd);
    ::unlink(path.c_str());
  }
  return f;
}

}  // namespace

std::unique_ptr<IFile> PosixFiles::Open(const std::string& path, FileMode mode) {
  std::FILE* f = mode == FileMode::kReplaceOwnerOnly ? OpenReplacedOwnerOnly(path)
                                                     : std::fopen(path.c_str(), ModeText(mode));
  if (!f) return nullptr;
  return std::make_unique<StdioFile>(f);
}

bool PosixFiles::ReadAllShared(const std::string& path, std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return true;
}

bool PosixFiles::Delete(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool PosixFiles::Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool PosixFiles::Append(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return (std::fclose(f) == 0) && written;
}

}  // namespace platform
