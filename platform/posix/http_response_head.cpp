#include "platform/posix/http_response_head.h"

#include "text/cp949.h"

namespace platform {

std::size_t FindHeadEnd(std::string_view data, std::size_t& scanned) {
  const std::size_t end = data.find("\r\n\r\n", scanned);
  if (end == std::string_view::npos) scanned = data.size() < 3 ? 0 : data.size() - 3;
  return end;
}

bool ParseResponseHead(std::string_view data, std::size_t end, ResponseHead& out) {
  const std::size_t lineEnd = data.find("\r\n");  // at or before `end`
  const std::string_view statusLine = data.substr(0, lineEnd);
  const std::size_t space = statusLine.find(' ');
  if (statusLine.substr(0, 5) != "HTTP/" || space == std::string_view::npos) return false;
  out.status = text::AtoI(statusLine.substr(space + 1));
  out.headers.assign(data.substr(lineEnd + 2, end - lineEnd));
  out.pending.assign(data.substr(end + 4));
  return true;
}

bool FindHeaderValue(std::string_view headers, std::string_view lowerName, std::string& value) {
  for (std::size_t pos = 0; pos < headers.size();) {
    std::size_t eol = headers.find("\r\n", pos);
    if (eol == std::string_view::npos) eol = headers.size();
    const std::string_view line = headers.substr(pos, eol - pos);
    if (line.size() > lowerName.size() && line[lowerName.size()] == ':' &&
        text::ToLowerAscii(line.substr(0, lowerName.size())) == lowerName) {
      std::size_t v = lowerName.size() + 1;
      while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
      value.assign(line.substr(v));
      return true;
    }
    pos = eol + 2;
  }
  return false;
}

}  // namespace platform
