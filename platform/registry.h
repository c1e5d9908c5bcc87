// Registry access at the level of the advapi32 calls.
//
// Keys are opaque handles; the predefined roots carry Windows' numbers for them (the
// Win32 implementation maps them to its HKEY constants), and 0 is the null root. Every call returns the Win32 result code of the call it
// stands for (0 success, 2 missing key or value, 234 value larger than the buffer,
// ...), so the logic above can follow the same branches it would on Windows.
//
// Text is CP949 bytes. Value data is kept as the bytes the A functions see: a REG_SZ
// value holds its text followed by one zero byte, a REG_MULTI_SZ its strings each
// followed by a zero and one more zero, a REG_DWORD four little-endian bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

using RegKey = Handle;

constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyUsers = 0x80000003u;

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

struct RegValue {
  std::uint32_t type = kRegNone;
  std::string data;  // raw bytes, as described above
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // RegOpenKeyExA: opens an existing subkey of `parent` with the given access.
  // 2 when the subkey does not exist; `out` is set only on success.
  virtual long OpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                         RegKey& out) = 0;

  // RegOpenKeyA: as OpenKeyEx with full access (the old call, kept because some
  // callers use it and its results).
  virtual long OpenKey(RegKey parent, const std::string& subKey, RegKey& out) = 0;

  // RegCreateKeyExA with no class and default options: opens the subkey, creating it
  // and any missing parents. `created` tells whether it was new.
  virtual long CreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                           RegKey& out, bool* created = nullptr) = 0;

  // RegQueryValueExA into a buffer of `capacity` bytes. Success fills `out` with the
  // type and the data bytes. 234 when the data needs more than `capacity` bytes (the
  // caller's buffer would not hold it), 2 when the value does not exist. An empty
  // name reads the key's default value.
  virtual long QueryValueEx(RegKey key, const std::string& name, std::uint32_t capacity,
                            RegValue& out) = 0;

  // RegSetValueExA: stores `data` (bytes as above) with the given type.
  virtual long SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                          const std::string& data) = 0;

  // RegDeleteValueA: 2 when the value does not exist.
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;

  // RegEnumKeyExA: name of the index-th subkey; 259 past the last one. `capacity`
  // bounds the name length in bytes including its zero (234 when it does not fit).
  virtual long EnumKey(RegKey key, std::uint32_t index, std::uint32_t capacity,
                       std::string& name) = 0;

  // RegCloseKey. Closing a predefined root is allowed and does nothing.
  virtual long CloseKey(RegKey key) = 0;
};

// Helpers for the byte layout of values.
inline std::string RegSzData(const std::string& text) { return text + '\0'; }
inline std::string RegDwordData(std::uint32_t v) {
  std::string d(4, '\0');
  for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return d;
}

}  // namespace platform
