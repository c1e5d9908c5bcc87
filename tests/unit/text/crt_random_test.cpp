#include "text/crt_random.h"

#include <gtest/gtest.h>

namespace {

TEST(CrtRandom, MatchesTheMicrosoftRuntimeSequence) {
  // rand() after srand(1) (also the state before any srand) in the Microsoft C runtime.
  text::CrtRandom r;
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int e : expected) EXPECT_EQ(r.Next(), e);
}

TEST(CrtRandom, SeedRestartsTheSequenceAndStaysInRange) {
  text::CrtRandom a(1765000000u), b;
  b.Seed(1765000000u);
  for (int i = 0; i < 1000; ++i) {
    const int x = a.Next();
    EXPECT_EQ(x, b.Next());
    ASSERT_GE(x, 0);
    ASSERT_LE(x, text::CrtRandom::kRandMax);
  }
  text::CrtRandom zero(0);
  EXPECT_EQ(zero.Next(), 38);  // (0 * 214013 + 2531011) >> 16
}

}  // namespace
