#include "text/cp949.h"

#include <climits>

namespace text {

namespace {

template <typename Map>
std::string MapAsciiBytes(std::string_view s, Map map) {
  std::string out(s);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t len = CharLength(out, i);
    if (len == 1) out[i] = map(out[i]);
    i += len;
  }
  return out;
}

}  // namespace

std::string ToLowerAscii(std::string_view s) {
  return MapAsciiBytes(s, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
}

std::string ToUpperAscii(std::string_view s) {
  return MapAsciiBytes(s, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; });
}

// Whether `pos` starts a character, knowing that `known` <= pos does. A byte that is
// not a lead byte always ends a character, so only the run of lead bytes just before
// `pos` matters: they pair up from its start, and `pos` is a boundary when the run has
// even length. (A lead byte followed by a zero byte stands alone, so a zero byte is
// always a boundary.)
namespace {

bool IsBoundary(std::string_view s, std::size_t known, std::size_t pos) {
  if (s[pos] == '\0') return true;
  std::size_t run = 0;
  while (pos - run > known && IsLeadByte(static_cast<unsigned char>(s[pos - run - 1]))) ++run;
  return run % 2 == 0;
}

}  // namespace

// Looks for raw byte matches and accepts one only when it starts on a character
// boundary. A rejected match starts on a trail byte, so the byte after it is a
// boundary; the backward look at lead bytes never crosses a known boundary, which keeps
// the whole walk linear however many raw matches turn out to start on trail bytes.
std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.empty()) return std::string_view::npos;
  std::size_t known = from;
  for (std::size_t pos = haystack.find(needle, from); pos != std::string_view::npos;
       pos = haystack.find(needle, pos + 1)) {
    if (IsBoundary(haystack, known, pos)) return pos;
    known = pos + 1;
  }
  return std::string_view::npos;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  if (from.empty()) return std::string(s);
  out.reserve(s.size());
  std::size_t start = 0;
  for (std::size_t pos = Find(s, from, 0); pos != std::string_view::npos;
       pos = Find(s, from, start)) {
    out.append(s, start, pos - start);
    out.append(to);
    start = pos + from.size();
  }
  out.append(s, start, std::string_view::npos);
  return out;
}

std::vector<std::string> Split(std::string_view s, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t len = CharLength(s, i);
    if (len == 1 && s[i] == separator) {
      pieces.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
    i += len;
  }
  pieces.emplace_back(s.substr(start));
  return pieces;
}

std::string ReverseChars(std::string_view s) {
  std::string out(s.size(), '\0');
  std::size_t end = s.size();
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t len = CharLength(s, i);
    end -= len;
    out.replace(end, len, s.substr(i, len));
    i += len;
  }
  return out;
}

int AtoI(std::string_view s) {
  std::size_t i = 0;
  // The C runtime's isspace in the "C" locale: blank, \t \n \v \f \r.
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > limit) { value = limit; break; }
  }
  return static_cast<int>(negative ? -value : value);
}

std::string WithoutLastChar(std::string_view s) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) last = i;
  return std::string(s.substr(0, last));
}

}  // namespace text
