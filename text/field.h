// The one splitting operation of the wire protocol and the list formats: `|` between
// fields and pool records, `=` between key and value, `^` between list items and record
// fields, `/` between a server's name and code.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Field n (from 0) of `text` split at `separator`, matching whole characters only.
// Returns false and sets `field` empty when the text has fewer than n separators;
// otherwise `field` is the text after the n-th separator up to the next one (or the
// end) and the result is true. Field n of a text with k separators exists for n = 0..k.
bool ExtractField(std::string_view text, int n, char separator, std::string& field);

// The same, for callers that only want the text (empty when the field is missing).
std::string ExtractField(std::string_view text, int n, char separator);

}  // namespace text
