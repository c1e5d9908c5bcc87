#include "platform/win32/win32_registry.h"

#include <cstring>
#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

namespace platform::win32 {

namespace {

HKEY ToHkey(RegKey key) {
  switch (key) {
    case kHkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser: return HKEY_CURRENT_USER;
    case kHkeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case kHkeyUsers: return HKEY_USERS;
    default: return reinterpret_cast<HKEY>(key);
  }
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

bool IsPredefined(RegKey key) {
  return key == kHkeyClassesRoot || key == kHkeyCurrentUser || key == kHkeyLocalMachine ||
         key == kHkeyUsers;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

long Win32Registry::OpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                              RegKey& out) {
  HKEY h = nullptr;
  const LONG rc = RegOpenKeyExW(ToHkey(parent), Cp949ToWide(subKey).c_str(), 0, access, &h);
  if (rc == ERROR_SUCCESS) out = FromHkey(h);
  return rc;
}

long Win32Registry::OpenKey(RegKey parent, const std::string& subKey, RegKey& out) {
  HKEY h = nullptr;
  const LONG rc = RegOpenKeyW(ToHkey(parent), Cp949ToWide(subKey).c_str(), &h);
  if (rc == ERROR_SUCCESS) out = FromHkey(h);
  return rc;
}

long Win32Registry::CreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                                RegKey& out, bool* created) {
  HKEY h = nullptr;
  DWORD disposition = 0;
  const LONG rc = RegCreateKeyExW(ToHkey(parent), Cp949ToWide(subKey).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, access, nullptr, &h, &disposition);
  if (rc == ERROR_SUCCESS) {
    out = FromHkey(h);
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
  }
  return rc;
}

long Win32Registry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t capacity,
                                 RegValue& out) {
  const std::wstring wname = Cp949ToWide(name);
  DWORD type = 0;
  DWORD size = 0;
  LONG rc = RegQueryValueExW(ToHkey(key), wname.c_str(), nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return rc;
  std::vector<BYTE> data(size + sizeof(wchar_t));
  rc = RegQueryValueExW(ToHkey(key), wname.c_str(), nullptr, &type, data.data(), &size);
  if (rc != ERROR_SUCCESS) return rc;
  std::string bytes;
  if (IsText(type)) {
    std::wstring wide(size / sizeof(wchar_t), L'\0');
    if (!wide.empty()) std::memcpy(&wide[0], data.data(), wide.size() * sizeof(wchar_t));
    bytes = WideToCp949(wide);
  } else {
    bytes.assign(reinterpret_cast<const char*>(data.data()), size);
  }
  // The caller's buffer is counted in CP949 bytes, as RegQueryValueExA counts it.
  if (bytes.size() > capacity) return ERROR_MORE_DATA;
  out.type = type;
  out.data = std::move(bytes);
  return ERROR_SUCCESS;
}

long Win32Registry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                               const std::string& data) {
  const std::wstring wname = Cp949ToWide(name);
  if (IsText(type)) {
    const std::wstring wide = Cp949ToWide(data);
    return RegSetValueExW(ToHkey(key), wname.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(wide.data()),
                          static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
  }
  return RegSetValueExW(ToHkey(key), wname.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size()));
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueW(ToHkey(key), Cp949ToWide(name).c_str());
}

long Win32Registry::EnumKey(RegKey key, std::uint32_t index, std::uint32_t capacity,
                            std::string& name) {
  wchar_t buffer[256];  // key names are at most 255 characters
  DWORD length = 256;
  const LONG rc = RegEnumKeyExW(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr,
                                nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  std::string narrow = WideToCp949(std::wstring(buffer, length));
  if (narrow.size() + 1 > capacity) return ERROR_MORE_DATA;
  name = std::move(narrow);
  return ERROR_SUCCESS;
}

long Win32Registry::CloseKey(RegKey key) {
  if (IsPredefined(key)) return ERROR_SUCCESS;
  return RegCloseKey(ToHkey(key));
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
  if (IsAscii(path) || GetACP() == 949)
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
  return WritePrivateProfileStringW(Cp949ToWide(section).c_str(), Cp949ToWide(key).c_str(),
                                    Cp949ToWide(value).c_str(), Cp949ToWide(path).c_str()) != FALSE;
}

}  // namespace platform::win32
