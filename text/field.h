// The one splitting operation of the wire protocol and the list formats: `|` between
// fields and pool records, `=` between key and value, `^` between list items and record
// fields, `/` between a server's name and code.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Field n (from 0) of `text` split at `separator`, matching whole characters only.
// Returns false and sets `field` empty when the text has fewer than n separators;
// otherwise `field` is the text after the n-th separator up to the next one (or the
// end) and the result is true. Field n of a text with k separators exists for n = 0..k.
// Each call scans from the start: to walk fields in order, use FieldCursor.
bool ExtractField(std::string_view text, int n, char separator, std::string& field);

// The same, for callers that only want the text (empty when the field is missing).
std::string ExtractField(std::string_view text, int n, char separator);

// Walks the fields of a text in order, in one pass: the k + 1 fields of a text with k
// separators, exactly those ExtractField gives for n = 0..k (a separator byte that is
// the trail byte of a double-byte character never splits). The pieces view the text,
// which must outlive the cursor.
//
//   text::FieldCursor fields(reply, '|');
//   for (std::string_view field; fields.Next(field);) ...
class FieldCursor {
 public:
  FieldCursor(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The next field; false (and `field` empty) once every field has been given.
  bool Next(std::string_view& field);

  // Passes over the fields that hold no `byte` (anywhere, even as a trail byte), so the
  // next Next() gives the first field that may; false, with every field passed, when
  // none is left that does. Skipped fields cost a byte search, not a field walk: a
  // reply whose IP pool holds thousands of records without `=` is crossed at once.
  bool SkipToFieldWith(char byte);

 private:
  std::string_view text_;
  char separator_;
  std::size_t start_ = 0;  // where the next field begins (always a character start)
  bool done_ = false;
};

}  // namespace text
