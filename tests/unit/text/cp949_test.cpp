#include "text/cp949.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

using text::AtoI;
using text::Find;
using text::ReplaceAll;
using text::ReverseChars;
using text::Split;

// "갂" is 81 41 and "똠" is 8C 63 in code page 949: their trail bytes are the ASCII
// letters 'A' and 'c', which byte-wise loops would change or match.
static_assert(sizeof("갂") == 3, "sources must be compiled with -fexec-charset=CP949");

TEST(Cp949, LeadByteRange) {
  EXPECT_FALSE(text::IsLeadByte(0x00));
  EXPECT_FALSE(text::IsLeadByte(0x7F));
  EXPECT_FALSE(text::IsLeadByte(0x80));
  EXPECT_TRUE(text::IsLeadByte(0x81));
  EXPECT_TRUE(text::IsLeadByte(0xB0));
  EXPECT_TRUE(text::IsLeadByte(0xFE));
  EXPECT_FALSE(text::IsLeadByte(0xFF));
}

TEST(Cp949, CaseMappingLeavesDoubleByteCharactersWhole) {
  struct Row { const char* in; const char* lower; const char* upper; };
  const Row rows[] = {
      {"", "", ""},
      {"AbC-09", "abc-09", "ABC-09"},
      {"갂A똠c", "갂a똠c", "갂A똠C"},  // trail bytes 'A' and 'c' stay as they are
      {"\x81", "\x81", "\x81"},        // a lone lead byte at the end
      {"Z\xFF" "a", "z\xFF" "a", "Z\xFF" "A"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(text::ToLowerAscii(r.in), r.lower) << r.in;
    EXPECT_EQ(text::ToUpperAscii(r.in), r.upper) << r.in;
  }
  EXPECT_EQ(text::ToLowerAscii("갂"), "\x81\x41");
}

TEST(Cp949, FindNeverMatchesFromATrailByte) {
  EXPECT_EQ(Find("갂A", "A"), 2u);
  EXPECT_EQ(Find("갂", "A"), std::string_view::npos);
  EXPECT_EQ(Find("똠c", "c"), 2u);
  EXPECT_EQ(Find("abc", ""), std::string_view::npos);
  EXPECT_EQ(Find("abcabc", "bc", 2), 4u);
  // A match found on a trail byte is skipped; the next one on a boundary is taken.
  EXPECT_EQ(Find("\x81" "AA", "AA"), std::string_view::npos);
  EXPECT_EQ(Find("\x81" "AAA", "AA"), 2u);
}

TEST(Cp949, ReplaceAllIsLeftToRightNonOverlappingAndResumesAfterInsertedText) {
  struct Row { std::string in, from, to, out; };
  const Row rows[] = {
      {"", "a", "b", ""},
      {"aaa", "aa", "b", "ba"},
      {"abab", "ab", "abab", "abababab"},  // never rescans what it inserted
      {"a,b,,c", ",", std::string("\x0E\x5E\x17", 3), "a\x0E\x5E\x17" "b\x0E\x5E\x17\x0E\x5E\x17" "c"},
      {"xyz", "", "q", "xyz"},
      {"갂A", "A", "B", "갂B"},
      {"똠cc", "c", "", "똠"},
      {"==x==", "==", "/", "/x/"},
      {std::string("a\0b", 3), std::string("\0", 1), "-", "a-b"},
  };
  for (const Row& r : rows) EXPECT_EQ(ReplaceAll(r.in, r.from, r.to), r.out) << r.in;
}

TEST(Cp949, ReplaceAllIsLinearOnManyMatches) {
  // A quadratic replace loop would take minutes here.
  const std::string big(4 << 20, ',');
  const std::string out = ReplaceAll(big, ",", "\x0E\x5E\x17");
  EXPECT_EQ(out.size(), big.size() * 3);
}

TEST(Cp949, SplitAtWholeCharactersOnly) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Split("", '|'), V{""});
  EXPECT_EQ(Split("a|b||", '|'), (V{"a", "b", "", ""}));
  EXPECT_EQ(Split("|", '|'), (V{"", ""}));
  EXPECT_EQ(Split("갂A|x", 'A'), (V{"갂", "|x"}));
  EXPECT_EQ(Split("\x81|a|b", '|'), (V{"\x81|a", "b"}));
}

TEST(Cp949, ReverseKeepsDoubleByteCharactersInOrder) {
  EXPECT_EQ(ReverseChars(""), "");
  EXPECT_EQ(ReverseChars("abc"), "cba");
  EXPECT_EQ(ReverseChars("a갂b똠"), "똠b갂a");
  EXPECT_EQ(ReverseChars("x\x81"), "\x81x");  // lone lead byte at the end is one character
}

TEST(Cp949, AtoIFollowsTheCRuntime) {
  struct Row { const char* in; int out; };
  const Row rows[] = {
      {"", 0},           {"abc", 0},          {"42", 42},
      {"  -12x", -12},   {"+7", 7},           {" \t\n\v\f\r9", 9},
      {"0012", 12},      {"- 5", 0},          {"--5", 0},
      {"12 34", 12},     {"3.9", 3},          {"-0", 0},
      {"2147483647", INT_MAX},               {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX},               {"-99999999999999999999", INT_MIN},
      {"1970-01-01", 1970},
  };
  for (const Row& r : rows) EXPECT_EQ(AtoI(r.in), r.out) << '"' << r.in << '"';
}

}  // namespace
