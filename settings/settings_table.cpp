#include "settings/settings_table.h"

#include "text/cp949.h"

namespace settings {

std::string ReadSetting(CRegCtrl& reg, const SettingsKey& key, Setting s) {
  const SettingInfo& info = Info(s);
  std::string value;
  if (!reg.ReadValue(key.root, key.path, std::string(info.name), value))
    return std::string(info.defaultValue);
  return value;
}

int ReadSettingInt(CRegCtrl& reg, const SettingsKey& key, Setting s) {
  return text::AtoI(ReadSetting(reg, key, s));
}

bool HasSetting(CRegCtrl& reg, const SettingsKey& key, Setting s) {
  std::string value;
  return reg.ReadValue(key.root, key.path, std::string(Info(s).name), value) == 1;
}

int WriteSetting(CRegCtrl& reg, const SettingsKey& key, Setting s, const std::string& text) {
  return reg.WriteValue(key.root, key.path, std::string(Info(s).name), platform::kRegSz, text);
}

int DeleteSetting(CRegCtrl& reg, const SettingsKey& key, Setting s) {
  return reg.DeleteValue(key.root, key.path, std::string(Info(s).name));
}

}  // namespace settings
