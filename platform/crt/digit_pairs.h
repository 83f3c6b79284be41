// The digits "00" to "99", two at a time: number texts are written right to left a pair of
// digits per division.
#pragma once

#include <array>

namespace quillet::crt {

inline constexpr std::array<char, 200> digit_pairs = [] {
  std::array<char, 200> p{};
  for (int i = 0; i < 100; ++i) {
    p[2 * i] = static_cast<char>('0' + i / 10);
    p[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return p;
}();

}  // namespace quillet::crt
