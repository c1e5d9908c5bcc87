// The keyless `bin` payload codec.
//
// Wire format of an encoded text: the plain text with every comma replaced by the
// marker 0E 5E 17, Base64-encoded (standard alphabet, `=` padding, no line breaks),
// reversed, with `=` `+` `/` turned into the bytes 14 10 04 (and the other punctuation
// rows, which Base64 never produces), and the letter/digit pairs 1-Y 5-a 7-2 9-z B-L
// f-G M-j exchanged. The same codec keeps the saved account in the registry.
#pragma once

#include <string>
#include <string_view>

namespace protocol {

// Plain parameter text (CP949 bytes) to its encoded form. Never fails; the empty text
// encodes to the empty text.
std::string EncodePayload(std::string_view plain);

// Encoded text to plain text. Never fails: bytes outside the Base64 alphabet are
// skipped, a trailing partial group gives the bytes its characters make, and the result
// ends at the first zero byte. Decodes texts of any length whole (there is no fixed
// buffer to overflow or to cut the text at).
std::string DecodePayload(std::string_view encoded);

}  // namespace protocol
