#include "text/field.h"

#include <cstring>

#include "text/cp949.h"

namespace text {

bool ExtractField(std::string_view text, int n, char separator, std::string& field) {
  field.clear();
  if (n < 0) return false;
  std::size_t i = 0;
  int skipped = 0;
  std::size_t start = 0;
  // Skip n separators.
  while (skipped < n) {
    if (i >= text.size()) return false;
    const std::size_t len = CharLength(text, i);
    if (len == 1 && text[i] == separator) {
      ++skipped;
      start = i + 1;
    }
    i += len;
  }
  std::size_t end = start;
  while (end < text.size()) {
    const std::size_t len = CharLength(text, end);
    if (len == 1 && text[end] == separator) break;
    end += len;
  }
  field.assign(text.substr(start, end - start));
  return true;
}

std::string ExtractField(std::string_view text, int n, char separator) {
  std::string field;
  ExtractField(text, n, separator, field);
  return field;
}

namespace {

// End of the field that begins at `start`: the next separator that begins a character,
// or the end of the text.
//
// For the usual separators (neither a lead byte nor zero) the separator bytes are found
// with memchr and a hit is accepted when it starts a character: bytes that are not lead
// bytes always end a character, so only the run of lead bytes just before the hit
// matters, and they pair up from its start. A rejected hit is a trail byte, so the byte
// after it starts a character; the backward look never goes past such a known start,
// which keeps the walk linear.
std::size_t FieldEnd(std::string_view text, std::size_t start, char separator) {
  const unsigned char sep = static_cast<unsigned char>(separator);
  if (sep == 0 || IsLeadByte(sep)) {
    // A lead byte is a separator only where it stands alone; a zero byte ends the
    // character before it. Walk whole characters as ExtractField does.
    std::size_t i = start;
    while (i < text.size()) {
      const std::size_t len = CharLength(text, i);
      if (len == 1 && text[i] == separator) return i;
      i += len;
    }
    return text.size();
  }
  std::size_t known = start;
  while (known < text.size()) {
    const void* hit = std::memchr(text.data() + known, sep, text.size() - known);
    if (!hit) break;
    const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    std::size_t run = 0;
    while (pos - run > known && IsLeadByte(static_cast<unsigned char>(text[pos - run - 1]))) ++run;
    if (run % 2 == 0) return pos;
    known = pos + 1;
  }
  return text.size();
}

}  // namespace

bool FieldCursor::SkipToFieldWith(char byte) {
  if (done_) return false;
  const std::size_t hit = text_.find(byte, start_);
  if (hit == std::string_view::npos) {
    done_ = true;
    start_ = text_.size();
    return false;
  }
  const unsigned char sep = static_cast<unsigned char>(separator_);
  if (sep == 0 || IsLeadByte(sep)) return true;  // rare separators: the fields go one by one
  // The field holding the hit begins after the last separator before it that is not
  // the trail byte of a character (an even run of lead bytes before it).
  for (std::size_t p = hit; p > start_;) {
    --p;
    if (text_[p] != separator_) continue;
    std::size_t run = 0;
    while (p - run > start_ && IsLeadByte(static_cast<unsigned char>(text_[p - run - 1]))) ++run;
    if (run % 2 == 0) {
      start_ = p + 1;
      break;
    }
  }
  return true;
}

bool FieldCursor::Next(std::string_view& field) {
  if (done_) {
    field = std::string_view();
    return false;
  }
  const std::size_t end = FieldEnd(text_, start_, separator_);
  field = text_.substr(start_, end - start_);
  if (end == text_.size()) done_ = true;
  else start_ = end + 1;
  return true;
}

}  // namespace text
