// Files on a POSIX system (the native build): paths are used as given, with '/'.
#pragma once

#include "platform/files.h"

namespace platform {

class PosixFiles final : public IFiles {
 public:
  std::unique_ptr<IFile> Open(const std::string& path, FileMode mode) override;
  bool ReadAllShared(const std::string& path, std::string& bytes) override;
  bool Delete(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool Append(const std::string& path, const std::string& bytes) override;
};

}  // namespace platform
