// A straightforward, step-by-step implementation of the payload codec: every
// replacement, the reversal and the Base64 step run one after another on whole texts.
// The fused production codec must give byte-identical results.
#pragma once

#include <string>
#include <string_view>

namespace reference {

std::string EncodePayload(std::string_view plain);
std::string DecodePayload(std::string_view encoded);

}  // namespace reference
