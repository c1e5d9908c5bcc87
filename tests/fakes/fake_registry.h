// A registry held in maps, answering with the codes of the real calls.
//
// Key paths and value names compare case-insensitively (ASCII), as on Windows. Keys
// are identified by their full path below a root ("HKCU\SOFTWARE\Orvak"). The fake
// counts calls and open handles, so a test can see that nothing was touched or left
// open.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/registry.h"

namespace fakes {

class FakeRegistry : public platform::IRegistry {
 public:
  long OpenKeyEx(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                 platform::RegKey& out) override;
  long OpenKey(platform::RegKey parent, const std::string& subKey, platform::RegKey& out) override;
  long CreateKeyEx(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                   platform::RegKey& out, bool* created = nullptr) override;
  long QueryValueEx(platform::RegKey key, const std::string& name, std::uint32_t capacity,
                    platform::RegValue& out) override;
  long SetValueEx(platform::RegKey key, const std::string& name, std::uint32_t type,
                  const std::string& data) override;
  long DeleteValue(platform::RegKey key, const std::string& name) override;
  long EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t capacity,
               std::string& name) override;
  long CloseKey(platform::RegKey key) override;

  // RegCreateKeyEx is refused (access denied), as for a locked-down profile.
  bool createFails = false;

  // Direct access for arranging and checking, by root and path.
  void AddKey(platform::RegKey root, const std::string& path);
  void SetValue(platform::RegKey root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::string& data);
  void SetText(platform::RegKey root, const std::string& path, const std::string& name,
               const std::string& text) {
    SetValue(root, path, name, platform::kRegSz, platform::RegSzData(text));
  }
  bool HasKey(platform::RegKey root, const std::string& path) const;
  // The stored value, or nullptr when it does not exist.
  const platform::RegValue* Find(platform::RegKey root, const std::string& path,
                                 const std::string& name) const;

  int OpenHandles() const { return static_cast<int>(handles_.size()); }
  int Calls() const { return calls_; }

 private:
  struct Key {
    std::map<std::string, platform::RegValue> values;  // by lower-case name
  };
  static std::string RootName(platform::RegKey root);
  // Full lower-case path of `subKey` below `parent`, or empty when `parent` is not a
  // valid handle.
  std::string Resolve(platform::RegKey parent, const std::string& subKey) const;
  Key* KeyOf(platform::RegKey handle);
  platform::RegKey NewHandle(const std::string& path);
  long Open(platform::RegKey parent, const std::string& subKey, platform::RegKey& out);

  std::map<std::string, Key> keys_;  // by lower-case full path
  std::map<platform::RegKey, std::string> handles_;
  platform::RegKey nextHandle_ = 0x1000;
  int calls_ = 0;
};

}  // namespace fakes
