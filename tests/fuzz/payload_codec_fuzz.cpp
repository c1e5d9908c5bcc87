// The payload codec on any bytes: a reply's body is decoded whatever the server sent,
// and any typed or received text is encoded. Both must stay within their buffers and
// give an encoded text that decodes again.
#include <cstdint>
#include <string>

#include "protocol/payload_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string decoded = protocol::DecodePayload(input);
  const std::string encoded = protocol::EncodePayload(input);
  (void)protocol::DecodePayload(encoded);
  (void)protocol::EncodePayload(decoded);
  return 0;
}
