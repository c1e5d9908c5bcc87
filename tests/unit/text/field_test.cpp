#include "text/field.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ExtractField, FieldsAndTheirExistence) {
  struct Row { const char* text; int n; char sep; bool exists; const char* field; };
  const Row rows[] = {
      {"a|b|c", 0, '|', true, "a"},
      {"a|b|c", 1, '|', true, "b"},
      {"a|b|c", 2, '|', true, "c"},
      {"a|b|c", 3, '|', false, ""},
      {"", 0, '|', true, ""},
      {"", 1, '|', false, ""},
      {"a||", 1, '|', true, ""},
      {"a||", 2, '|', true, ""},
      {"a||", 3, '|', false, ""},
      {"|x", 0, '|', true, ""},
      {"key=value=more", 0, '=', true, "key"},
      {"key=value=more", 1, '=', true, "value"},
      {"novalue", 1, '=', false, ""},
      {"갂A^b", 1, '^', true, "b"},
      {"갂^b", 1, 'A', false, ""},  // the only 'A' is a trail byte, not a separator
      {"line1\nline2", 1, '\n', true, "line2"},
      {"a|b", -1, '|', false, ""},
  };
  for (const Row& r : rows) {
    std::string field = "stale";
    EXPECT_EQ(text::ExtractField(r.text, r.n, r.sep, field), r.exists) << r.text << " #" << r.n;
    EXPECT_EQ(field, r.field) << r.text << " #" << r.n;
    EXPECT_EQ(text::ExtractField(r.text, r.n, r.sep), r.field);
  }
}

std::vector<std::string> CursorFields(std::string_view s, char separator) {
  std::vector<std::string> fields;
  text::FieldCursor cursor(s, separator);
  for (std::string_view field; cursor.Next(field);) fields.emplace_back(field);
  std::string_view after = "stale";
  EXPECT_FALSE(cursor.Next(after));  // stays finished
  EXPECT_TRUE(after.empty());
  return fields;
}

TEST(FieldCursor, GivesEveryFieldInOrder) {
  struct Row { std::string text; char sep; std::vector<std::string> fields; };
  const Row rows[] = {
      {"", '|', {""}},
      {"a|b|c", '|', {"a", "b", "c"}},
      {"|a||", '|', {"", "a", "", ""}},
      {"key=value=more", '=', {"key", "value", "more"}},
      // 'A' and '|' as trail bytes of 갂 (B0 41) and of B0 7C never split.
      {"갂A^b", 'A', {"갂", "^b"}},
      {"x\xB0|y|z", '|', {"x\xB0|y", "z"}},
      // Lead bytes pair up from the start of their run: B0 B0 | is one character and a
      // separator, B0 | is one character.
      {"\xB0\xB0|\xB0|", '|', {"\xB0\xB0", "\xB0|"}},
      // A lead byte at the end or before a zero byte stands alone.
      {std::string("\xB0\0|\xB0", 4), '|', {std::string("\xB0\0", 2), "\xB0"}},
      {std::string("a\0b\xB0\0c", 6), '\0', {"a", "b\xB0", "c"}},
      // A lead-byte separator splits only where it stands alone.
      {"\xA1\xA1x\xA1", '\xA1', {"\xA1\xA1x", ""}},
  };
  for (const Row& r : rows) EXPECT_EQ(CursorFields(r.text, r.sep), r.fields) << r.text;
}

// The cursor gives exactly ExtractField(text, 0..k) and nothing more, on random texts
// dense in lead bytes, separators, zero bytes and separator-like trail bytes.
TEST(FieldCursor, MatchesExtractFieldOnRandomTexts) {
  const char bytes[] = {'|', '=', '^', 'a', 'A', '\0', '\x81', '\xA1', '\xB0', '\xFE', '\x7C', '\xE0'};
  const char separators[] = {'|', '=', 'A', '\0', '\xA1'};
  std::mt19937 rng(2024);
  for (int round = 0; round < 4000; ++round) {
    std::string s(rng() % 24, ' ');
    for (char& c : s) c = bytes[rng() % sizeof bytes];
    for (char sep : separators) {
      const std::vector<std::string> fields = CursorFields(s, sep);
      std::string expected;
      for (std::size_t n = 0; n < fields.size(); ++n) {
        ASSERT_TRUE(text::ExtractField(s, static_cast<int>(n), sep, expected));
        ASSERT_EQ(fields[n], expected) << "field " << n << " of a random text, separator " << int(sep);
      }
      ASSERT_FALSE(text::ExtractField(s, static_cast<int>(fields.size()), sep, expected));

      // Skipping to the fields that hold a byte gives exactly those fields, in order.
      for (char byte : {'=', '\x81', 'a'}) {
        std::vector<std::string> holding;
        for (const std::string& f : fields)
          if (f.find(byte) != std::string::npos) holding.push_back(f);
        std::vector<std::string> skipped;
        text::FieldCursor cursor(s, sep);
        for (std::string_view f; cursor.SkipToFieldWith(byte) && cursor.Next(f);)
          if (f.find(byte) != std::string_view::npos) skipped.emplace_back(f);
        ASSERT_EQ(skipped, holding) << "byte " << int(byte) << ", separator " << int(sep);
      }
    }
  }
}

}  // namespace
