#include "protocol/user_field.h"

namespace protocol {

bool IsSafeParamValue(std::string_view value) {
  for (const char ch : value) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '|' || c == '=' || c == '^' || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

}  // namespace protocol
