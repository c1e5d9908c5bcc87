// Private INI files in memory: records every WritePrivateProfileString call and keeps
// each file's sections and keys, so the file can be rendered as the INI writer lays
// it out on a new file: "[Section]\r\n", then "key=value\r\n" per key in the order
// the keys were first written, no blank lines. Section and key names match
// case-insensitively (ASCII); a rewrite changes the value in place.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"

namespace fakes {

class FakeProfile : public platform::IPrivateProfile {
 public:
  struct Call {
    std::string section, key, value, path;
    friend bool operator==(const Call& a, const Call& b) {
      return a.section == b.section && a.key == b.key && a.value == b.value && a.path == b.path;
    }
  };

  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value, const std::string& path) override;

  // The file's bytes; empty when nothing was written to `path`.
  std::string Render(const std::string& path) const;

  const std::vector<Call>& calls() const { return calls_; }
  bool failWrites = false;  // every write fails (a read-only folder)

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
  };
  std::vector<Call> calls_;
  std::map<std::string, std::vector<Section>> files_;
};

}  // namespace fakes
