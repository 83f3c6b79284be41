// Argument readings shared by the built-in functions: the conversions with the fallback a
// function uses when an argument is missing, absent or not convertible.
#pragma once

#include <cstdint>
#include <string>

#include "txl/anyval.h"

namespace quillet {

// The integer conversion of v, or fallback when v is absent or does not convert.
inline std::int32_t int_arg_or(const anyval& v, std::int32_t fallback) {
  std::int32_t out = 0;
  return v.to_int(out) ? out : fallback;
}

// The number conversion of v, or fallback when v is absent or does not convert.
inline double number_arg_or(const anyval& v, double fallback) {
  double out = 0.0;
  return v.to_double(out) ? out : fallback;
}

// -1, 0 or 1 as a is before, equal to or after b in the order of unsigned bytes, a string
// that is a prefix of the other coming first; every byte counts, a zero byte included.
inline int compare_bytes(const std::string& a, const std::string& b) {
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}

}  // namespace quillet
