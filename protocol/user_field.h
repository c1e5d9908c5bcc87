// Checks of what the user types before it goes into a request's parameter text.
//
// Parameters are joined as key=value|key=value with nothing escaped, and the back end
// splits lists at `^`: an identifier such as "abc|auth_mode=vpn" would add a
// parameter of its own. The login dialog refuses such input before anything is sent.
#pragma once

#include <string_view>

#include "protocol/texts.h"

namespace protocol {

// True when no byte of `value` is `|`, `=`, `^` or a control byte (0x00-0x1F, 0x7F).
// Bytes are checked one by one: no double-byte CP949 character has one of these as its
// second byte, so Korean text always passes.
bool IsSafeParamValue(std::string_view value);

// True when both the identifier and the password may be sent.
inline bool CheckUserField(std::string_view userId, std::string_view password) {
  return IsSafeParamValue(userId) && IsSafeParamValue(password);
}

}  // namespace protocol
