#include "fakes/fake_profile.h"

#include "text/cp949.h"

namespace fakes {

namespace {
bool SameName(const std::string& a, const std::string& b) {
  return text::ToLowerAscii(a) == text::ToLowerAscii(b);
}
}  // namespace

bool FakeProfile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value, const std::string& path) {
  calls_.push_back({section, key, value, path});
  if (failWrites) return false;
  auto& sections = files_[path];
  Section* s = nullptr;
  for (Section& each : sections)
    if (SameName(each.name, section)) s = &each;
  if (!s) {
    sections.push_back({section, {}});
    s = &sections.back();
  }
  for (auto& kv : s->keys) {
    if (SameName(kv.first, key)) {
      kv.second = value;
      return true;
    }
  }
  s->keys.emplace_back(key, value);
  return true;
}

std::string FakeProfile::Render(const std::string& path) const {
  std::string out;
  auto it = files_.find(path);
  if (it == files_.end()) return out;
  for (const Section& s : it->second) {
    out += "[" + s.name + "]\r\n";
    for (const auto& kv : s.keys) out += kv.first + "=" + kv.second + "\r\n";
  }
  return out;
}

}  // namespace fakes
