// Private INI files (WritePrivateProfileStringA).
#pragma once

#include <string>

namespace platform {

class IPrivateProfile {
 public:
  virtual ~IPrivateProfile() = default;

  // WritePrivateProfileStringA(section, key, value, path): sets key=value in
  // [section] of the file at `path`, creating the file and the section when missing.
  // The file keeps the bytes given (CP949), with CR LF line ends. False when the
  // file cannot be written.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& path) = 0;
};

}  // namespace platform
