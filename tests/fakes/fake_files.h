// An in-memory file system: paths are plain keys (no folder logic), so a test sees
// exactly which path the code opened.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace fakes {

class FakeFiles : public platform::IFiles {
 public:
  std::unique_ptr<platform::IFile> Open(const std::string& path, platform::FileMode mode) override;
  bool ReadAllShared(const std::string& path, std::string& bytes) override;
  bool Delete(const std::string& path) override;
  bool Exists(const std::string& path) override { return files_.count(path) != 0; }
  bool Append(const std::string& path, const std::string& bytes) override;

  // Arranging and checking.
  void Put(const std::string& path, const std::string& bytes) {
    ownerOnly_.erase(path);
    *Slot(path) = bytes;
  }
  // The file's bytes ("" also for a missing file; use Exists to tell).
  std::string Get(const std::string& path) const;
  // Opens of this path fail (a folder that does not exist, a locked file).
  void Deny(const std::string& path) { denied_.insert(path); }
  // Writes to files opened at this path fail (a full disk).
  void FailWrites(const std::string& path) { failingWrites_.insert(path); }
  // Whether the file at `path` was made by kReplaceOwnerOnly (and not replaced since).
  bool IsOwnerOnly(const std::string& path) const { return ownerOnly_.count(path) != 0; }

  int OpenFiles() const { return openFiles_; }
  // Every path passed to Open or ReadAllShared, in order.
  const std::vector<std::string>& opened() const { return opened_; }
  // Every path whose file Delete removed, in order.
  const std::vector<std::string>& deleted() const { return deleted_; }

 private:
  friend class FakeFile;
  std::shared_ptr<std::string> Slot(const std::string& path);

  std::map<std::string, std::shared_ptr<std::string>> files_;
  std::set<std::string> denied_;
  std::set<std::string> failingWrites_;
  std::set<std::string> ownerOnly_;
  std::vector<std::string> opened_;
  std::vector<std::string> deleted_;
  int openFiles_ = 0;
};

}  // namespace fakes
