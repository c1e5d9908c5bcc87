// Writes keys of one private INI file (the dialer's phonebook).
#pragma once

#include <string>

#include "platform/profile.h"

namespace settings {

class CIniMgmt {
 public:
  explicit CIniMgmt(platform::IPrivateProfile& profile) : profile_(profile) {}
  virtual ~CIniMgmt() = default;

  // Full path of the target file; set by the owner before WriteKey.
  std::string path;

  // Sets key=value in [section] of the file. No result: a failed write shows up when
  // the file is used.
  void WriteKey(const std::string& section, const std::string& key, const std::string& value) {
    profile_.WriteString(section, key, value, path);
  }

 private:
  platform::IPrivateProfile& profile_;
};

}  // namespace settings
