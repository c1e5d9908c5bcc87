#include "text/field.h"

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

}  // namespace text
