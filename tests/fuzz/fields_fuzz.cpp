// The field walking of replies and lists (`|` fields, `=` pairs, `^` items, `/` server
// names): the one-pass cursor must give exactly the fields ExtractField gives, field by
// field, with CP949 trail bytes never splitting, on any bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp949.h"
#include "text/field.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  // ExtractField walks from the start for each field: asked for every field it is
  // quadratic, so past 1 KiB only the first fields are asked and Split checks the rest.
  const bool everyField = size <= 1024;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (char separator : {'|', '=', '^', '/'}) {
    const std::vector<std::string> split = text::Split(text, separator);
    text::FieldCursor cursor(text, separator);
    std::string expected;
    int n = 0;
    for (std::string_view field; cursor.Next(field); ++n) {
      if (static_cast<std::size_t>(n) >= split.size() || field != split[n]) std::abort();
      if ((everyField || n < 32) && (!text::ExtractField(text, n, separator, expected) || field != expected))
        std::abort();
    }
    if (text::ExtractField(text, n, separator, expected)) std::abort();
    if (split.size() != static_cast<std::size_t>(n)) std::abort();

    // Skipping to the fields that hold an `=` byte loses none of them.
    text::FieldCursor all(text, separator), skipping(text, separator);
    std::string_view want, got;
    while (all.Next(want)) {
      if (want.find('=') == std::string_view::npos) continue;
      do {
        if (!skipping.SkipToFieldWith('=') || !skipping.Next(got)) std::abort();
      } while (got.data() != want.data());
      if (got != want) std::abort();
    }
  }
  return 0;
}
