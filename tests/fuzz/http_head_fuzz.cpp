// The socket transport's reading of a response head, from bytes a server sends: the
// blank line found while the head arrives in pieces of any size (the first input byte
// chooses the piece size) must be the one a search of the whole text finds; the head
// splits into status, headers and body bytes without losing or repeating a byte; the
// Content-Length lookup agrees with a line-by-line reference.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/http_response_head.h"
#include "text/cp949.h"

namespace {

bool ReferenceHeader(std::string_view headers, std::string& value) {
  std::size_t pos = 0;
  while (pos < headers.size()) {
    std::size_t eol = headers.find("\r\n", pos);
    if (eol == std::string_view::npos) eol = headers.size();
    const std::string line = text::ToLowerAscii(headers.substr(pos, eol - pos));
    if (line.rfind("content-length:", 0) == 0) {
      std::size_t v = 15;
      while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
      value = std::string(headers.substr(pos + v, eol - pos - v));
      return true;
    }
    pos = eol + 2;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 16;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::string received;
  std::size_t scanned = 0, end = std::string::npos;
  for (std::size_t at = 0; at < input.size() && end == std::string::npos; at += piece) {
    received.append(input.substr(at, piece));
    end = platform::FindHeadEnd(received, scanned);
  }
  // Found where a search of the whole input finds it, in the first piece that completes it.
  const std::size_t whole = input.find("\r\n\r\n");
  if (end != whole) std::abort();
  if (end == std::string::npos) return 0;
  if (received.size() < end + 4 || received.size() >= end + 4 + piece) std::abort();

  platform::ResponseHead head;
  const bool parsed = platform::ParseResponseHead(received, end, head);
  const std::size_t lineEnd = received.find("\r\n");
  const bool shaped = received.compare(0, 5, "HTTP/") == 0 && received.substr(0, lineEnd).find(' ') != std::string::npos;
  if (parsed != shaped) std::abort();
  if (!parsed) return 0;
  if (lineEnd + 2 + head.headers.size() + 2 + head.pending.size() != received.size()) std::abort();
  if (head.pending != received.substr(end + 4)) std::abort();

  std::string got, want;
  const bool found = platform::FindHeaderValue(head.headers, "content-length", got);
  if (found != ReferenceHeader(head.headers, want) || (found && got != want)) std::abort();
  return 0;
}
