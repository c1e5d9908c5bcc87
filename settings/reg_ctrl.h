// Registry values of the client's settings key, through the registry seam.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace settings {

// Every reader of a settings value passes a buffer of this size; a value whose data
// (text and its terminating zero) does not fit cannot be read.
constexpr std::uint32_t kRegValueBufferSize = 1024;

class CRegCtrl {
 public:
  explicit CRegCtrl(platform::IRegistry& registry) : registry_(registry) {}
  virtual ~CRegCtrl() = default;

  // Reads value `name` of key `keyPath` under `root` into `buffer`: 1 on success, 0
  // on failure. A null root fails without touching the registry. The data is taken
  // up to its first zero byte. On failure (missing key or value, data larger than
  // `size` bytes) `buffer` is left as it was, so a caller that cleared it sees the
  // empty text.
  int ReadValue(platform::RegKey root, const std::string& keyPath, const std::string& name,
                std::string& buffer, std::uint32_t size = kRegValueBufferSize);

  // Opens or creates the key and writes the value by `type`: 1 (REG_SZ) the text,
  // 4 (REG_DWORD) the text's decimal value, 7 (REG_MULTI_SZ) the text as a list
  // ending in two zero bytes; any other type writes nothing. 1 when the key could be
  // opened or created, else 0; the result of the write itself is not reported.
  int WriteValue(platform::RegKey root, const std::string& keyPath, const std::string& name,
                 std::uint32_t type, const std::string& text);

  // Deletes the value: 1 when the key opens and the value was deleted, else 0.
  int DeleteValue(platform::RegKey root, const std::string& keyPath, const std::string& name);

 private:
  platform::IRegistry& registry_;
};

}  // namespace settings
