#include "text/field.h"

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

}  // namespace
