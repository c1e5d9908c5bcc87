// tunra-codec encode|decode: the payload codec as a filter, for support staff who need
// to read a saved account value or a captured request. Reads standard input whole and
// writes standard output, bytes unchanged by any newline or code page conversion.
#include <cstdio>
#include <cstring>
#include <string>

#include "protocol/payload_codec.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

bool ReadAll(std::FILE* f, std::string& data) {
  constexpr std::size_t kChunk = 1 << 20;
  std::size_t used = 0;
  for (;;) {
    data.resize(used + kChunk);
    const std::size_t got = std::fread(&data[used], 1, kChunk, f);
    used += got;
    if (got < kChunk) break;
  }
  data.resize(used);
  return !std::ferror(f);
}

int Usage() {
  std::fputs("usage: tunra-codec encode|decode < input > output\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Usage();
  const bool encode = std::strcmp(argv[1], "encode") == 0;
  if (!encode && std::strcmp(argv[1], "decode") != 0) return Usage();
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::string input;
  if (!ReadAll(stdin, input)) {
    std::perror("tunra-codec: reading standard input");
    return 1;
  }
  const std::string output = encode ? protocol::EncodePayload(input) : protocol::DecodePayload(input);
  input = std::string();  // give the memory back before writing a large result
  if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() || std::fflush(stdout) != 0) {
    std::perror("tunra-codec: writing standard output");
    return 1;
  }
  return 0;
}
