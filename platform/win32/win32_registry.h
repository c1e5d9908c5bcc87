// The registry and private INI files on Windows.
#pragma once

#include "platform/profile.h"
#include "platform/registry.h"

namespace platform::win32 {

// Calls the W functions; names and text data are converted from and to CP949, and
// sizes are counted in CP949 bytes, as the A functions would count them.
class Win32Registry final : public IRegistry {
 public:
  long OpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                 RegKey& out) override;
  long OpenKey(RegKey parent, const std::string& subKey, RegKey& out) override;
  long CreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access, RegKey& out,
                   bool* created = nullptr) override;
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t capacity,
                    RegValue& out) override;
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                  const std::string& data) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumKey(RegKey key, std::uint32_t index, std::uint32_t capacity,
               std::string& name) override;
  long CloseKey(RegKey key) override;
};

// Calls WritePrivateProfileStringA when the system's ANSI code page reads the path as
// written (an ASCII path, or a Korean system): on a new file the W function writes in
// the ANSI code page anyway (Korean text would be lost on a non-Korean system), while
// the A function keeps the caller's bytes, which is what the dialer reading the file
// with the A functions expects. Any other path would be misread by the A function and
// name another file, so it goes through the W function.
class Win32Profile final : public IPrivateProfile {
 public:
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override;
};

}  // namespace platform::win32
