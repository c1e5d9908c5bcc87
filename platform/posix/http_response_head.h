// The head of an HTTP/1.x response as the socket transport reads it: the status line,
// the header lines up to the blank line ("\r\n\r\n"), and the body bytes that arrived
// with them. Pure functions over received bytes, so the parsing of what a server sends
// can be tested and fuzzed without a socket.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Where the blank line ending the head starts in `data`, or npos. `scanned` is how far
// an earlier call looked (0 at first); it is updated so that a head arriving in many
// pieces is searched once in all, the blank line may straddle two pieces.
std::size_t FindHeadEnd(std::string_view data, std::size_t& scanned);

struct ResponseHead {
  int status = 0;
  std::string headers;  // the header lines after the status line, each ending "\r\n"
  std::string pending;  // body bytes received with the head
};

// Splits `data`, whose blank line starts at `end` (FindHeadEnd), into its parts. False
// when the status line does not start with "HTTP/" or has no blank after the version.
bool ParseResponseHead(std::string_view data, std::size_t end, ResponseHead& out);

// The value of header `lowerName` (given in lower case; names match in any case), blanks
// and tabs before it trimmed, as sent otherwise. False when no line names it.
bool FindHeaderValue(std::string_view headers, std::string_view lowerName, std::string& value);

}  // namespace platform
