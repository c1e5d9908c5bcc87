// The keyless `bin` payload codec.
//
// Wire format of an encoded text: the plain text with every comma replaced by the
// marker 0E 5E 17, Base64-encoded (standard alphabet, `=` padding, no line breaks),
// reversed, with `=` `+` `/` turned into the bytes 14 10 04 (and the other punctuation
// rows, which Base64 never produces), and the letter/digit pairs 1-Y 5-a 7-2 9-z B-L
// f-G M-j exchanged. The same codec keeps the saved account in the registry.
#pragma once

#include <cstddef>
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

// Receives the output of the streaming forms below in pieces of bounded size.
class PayloadSink {
 public:
  virtual ~PayloadSink() = default;
  // Returns false to stop the conversion (for example when a write failed).
  virtual bool Write(const char* data, std::size_t size) = 0;
};

// The same conversions, handing the output to `sink` piece by piece, so that a large
// input needs no output buffer of its size. The bytes are those of the functions
// above. Return false when the sink stopped the conversion.
bool EncodePayloadTo(std::string_view plain, PayloadSink& sink);
bool DecodePayloadTo(std::string_view encoded, PayloadSink& sink);

}  // namespace protocol
