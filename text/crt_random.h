// The Microsoft C runtime's srand/rand generator, so the session key and the random IP
// choices come out the same in the Windows and the native builds.
#pragma once

#include <cstdint>

namespace text {

class CrtRandom {
 public:
  static constexpr int kRandMax = 0x7FFF;

  explicit CrtRandom(std::uint32_t seed = 1) : state_(seed) {}

  // srand
  void Seed(std::uint32_t seed) { state_ = seed; }

  // rand: state = state * 214013 + 2531011 (mod 2^32); result is bits 16-30.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t state_;
};

}  // namespace text
