// Files on Windows through CreateFileW (paths converted from CP949).
#pragma once

#include "platform/files.h"

namespace platform::win32 {

class Win32Files final : public IFiles {
 public:
  std::unique_ptr<IFile> Open(const std::string& path, FileMode mode) override;
  bool ReadAllShared(const std::string& path, std::string& bytes) override;
  bool Delete(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool Append(const std::string& path, const std::string& bytes) override;
};

}  // namespace platform::win32
