#include "settings/reg_ctrl.h"

#include "text/cp949.h"

namespace settings {

using platform::kErrorSuccess;
using platform::RegKey;

int CRegCtrl::ReadValue(RegKey root, const std::string& keyPath, const std::string& name,
                        std::string& buffer, std::uint32_t size) {
  if (root == 0) return 0;
  RegKey key = 0;
  if (registry_.OpenKeyEx(root, keyPath, platform::kKeyAllAccess, key) != kErrorSuccess)
    return 0;
  platform::RegValue value;
  const long rc = registry_.QueryValueEx(key, name, size, value);
  registry_.CloseKey(key);
  if (rc != kErrorSuccess) return 0;
  const std::size_t end = value.data.find('\0');
  buffer = value.data.substr(0, end);
  return 1;
}

int CRegCtrl::WriteValue(RegKey root, const std::string& keyPath, const std::string& name,
                         std::uint32_t type, const std::string& text) {
  if (root == 0) return 0;
  RegKey key = 0;
  if (registry_.CreateKeyEx(root, keyPath, platform::kKeyAllAccess, key) != kErrorSuccess)
    return 0;
  switch (type) {
    case platform::kRegSz:
      registry_.SetValueEx(key, name, platform::kRegSz, platform::RegSzData(text));
      break;
    case platform::kRegDword:
      registry_.SetValueEx(key, name, platform::kRegDword,
                           platform::RegDwordData(static_cast<std::uint32_t>(text::AtoI(text))));
      break;
    case platform::kRegMultiSz: {
      // A list must end in an empty string; a single text gets both zeros.
      std::string data = text;
      while (data.size() < 2 || data.compare(data.size() - 2, 2, std::string(2, '\0')) != 0)
        data += '\0';
      registry_.SetValueEx(key, name, platform::kRegMultiSz, data);
      break;
    }
    default:
      break;
  }
  registry_.CloseKey(key);
  return 1;
}

int CRegCtrl::DeleteValue(RegKey root, const std::string& keyPath, const std::string& name) {
  if (root == 0) return 0;
  RegKey key = 0;
  if (registry_.OpenKey(root, keyPath, key) != kErrorSuccess) return 0;
  const long rc = registry_.DeleteValue(key, name);
  registry_.CloseKey(key);
  return rc == kErrorSuccess ? 1 : 0;
}

}  // namespace settings
