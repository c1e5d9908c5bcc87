// SHA-256 (FIPS 180-4) of a byte string: the digest the version file publishes for the
// installer it offers, so a download that was altered or mixed up on the way is never
// started.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace protocol {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace protocol
