#include "fakes/fake_registry.h"

#include "text/cp949.h"

namespace fakes {

using namespace platform;

namespace {

// Joins and normalises a key path: lower case, no empty components.
std::string Normalise(const std::string& path) {
  std::string out;
  for (const std::string& part : text::Split(text::ToLowerAscii(path), '\\')) {
    if (part.empty()) continue;
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

}  // namespace

std::string FakeRegistry::RootName(RegKey root) {
  switch (root) {
    case kHkeyClassesRoot: return "hkcr";
    case kHkeyCurrentUser: return "hkcu";
    case kHkeyLocalMachine: return "hklm";
    case kHkeyUsers: return "hku";
    default: return "";
  }
}

std::string FakeRegistry::Resolve(RegKey parent, const std::string& subKey) const {
  std::string base = RootName(parent);
  if (base.empty()) {
    auto it = handles_.find(parent);
    if (it == handles_.end()) return "";
    base = it->second;
  }
  const std::string rest = Normalise(subKey);
  return rest.empty() ? base : base + '\\' + rest;
}

FakeRegistry::Key* FakeRegistry::KeyOf(RegKey handle) {
  const std::string path = Resolve(handle, "");
  if (path.empty()) return nullptr;
  auto it = keys_.find(path);
  if (it == keys_.end()) {
    // The roots always exist.
    if (!RootName(handle).empty()) return &keys_[path];
    return nullptr;
  }
  return &it->second;
}

RegKey FakeRegistry::NewHandle(const std::string& path) {
  const RegKey h = nextHandle_++;
  handles_[h] = path;
  return h;
}

long FakeRegistry::Open(RegKey parent, const std::string& subKey, RegKey& out) {
  ++calls_;
  const std::string path = Resolve(parent, subKey);
  if (path.empty()) return kErrorInvalidHandle;
  if (path != RootName(parent) && keys_.find(path) == keys_.end()) return kErrorFileNotFound;
  out = NewHandle(path);
  return kErrorSuccess;
}

long FakeRegistry::OpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t,
                             RegKey& out) {
  return Open(parent, subKey, out);
}

long FakeRegistry::OpenKey(RegKey parent, const std::string& subKey, RegKey& out) {
  return Open(parent, subKey, out);
}

long FakeRegistry::CreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t,
                               RegKey& out, bool* created) {
  ++calls_;
  if (createFails) return kErrorAccessDenied;
  const std::string path = Resolve(parent, subKey);
  if (path.empty()) return kErrorInvalidHandle;
  const bool isNew = keys_.find(path) == keys_.end();
  // Parents come into being with the key.
  for (std::size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1))
    keys_[path.substr(0, pos)];
  keys_[path];
  if (created) *created = isNew;
  out = NewHandle(path);
  return kErrorSuccess;
}

long FakeRegistry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t capacity,
                                RegValue& out) {
  ++calls_;
  Key* k = KeyOf(key);
  if (!k) return kErrorInvalidHandle;
  auto it = k->values.find(text::ToLowerAscii(name));
  if (it == k->values.end()) return kErrorFileNotFound;
  if (it->second.data.size() > capacity) return kErrorMoreData;
  out = it->second;
  return kErrorSuccess;
}

long FakeRegistry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                              const std::string& data) {
  ++calls_;
  Key* k = KeyOf(key);
  if (!k) return kErrorInvalidHandle;
  k->values[text::ToLowerAscii(name)] = RegValue{type, data};
  return kErrorSuccess;
}

long FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  ++calls_;
  Key* k = KeyOf(key);
  if (!k) return kErrorInvalidHandle;
  return k->values.erase(text::ToLowerAscii(name)) ? kErrorSuccess : kErrorFileNotFound;
}

long FakeRegistry::EnumKey(RegKey key, std::uint32_t index, std::uint32_t capacity,
                           std::string& name) {
  ++calls_;
  const std::string path = Resolve(key, "");
  if (path.empty()) return kErrorInvalidHandle;
  const std::string prefix = path + '\\';
  std::uint32_t i = 0;
  for (const auto& [p, k] : keys_) {
    if (p.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string child = p.substr(prefix.size());
    if (child.find('\\') != std::string::npos) continue;
    if (i++ == index) {
      if (child.size() + 1 > capacity) return kErrorMoreData;
      name = child;
      return kErrorSuccess;
    }
  }
  return kErrorNoMoreItems;
}

long FakeRegistry::CloseKey(RegKey key) {
  ++calls_;
  if (!RootName(key).empty()) return kErrorSuccess;
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

void FakeRegistry::AddKey(RegKey root, const std::string& path) {
  const int calls = calls_;  // arranging is not a call of the code under test
  RegKey h = 0;
  CreateKeyEx(root, path, kKeyAllAccess, h);
  handles_.erase(h);
  calls_ = calls;
}

void FakeRegistry::SetValue(RegKey root, const std::string& path, const std::string& name,
                            std::uint32_t type, const std::string& data) {
  AddKey(root, path);
  keys_[Resolve(root, path)].values[text::ToLowerAscii(name)] = RegValue{type, data};
}

bool FakeRegistry::HasKey(RegKey root, const std::string& path) const {
  return keys_.count(Resolve(root, path)) != 0;
}

const RegValue* FakeRegistry::Find(RegKey root, const std::string& path,
                                   const std::string& name) const {
  auto k = keys_.find(Resolve(root, path));
  if (k == keys_.end()) return nullptr;
  auto v = k->second.values.find(text::ToLowerAscii(name));
  return v == k->second.values.end() ? nullptr : &v->second;
}

}  // namespace fakes
