// Text-to-number conversions as the original platform's C library performed them:
// `unsigned long` was 32 bits wide, and floating-point text was decimal only.
// Both read a byte range (not necessarily NUL-terminated) and stop at a NUL byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet::crt {

// strtoul with base 0 on a 32-bit unsigned long: leading white space (is_space), an
// optional sign, then "0x"/"0X" hexadecimal, a leading "0" octal, otherwise decimal.
// A minus sign negates modulo 2^32, so "-1" gives 4294967295. Overflow gives 4294967295
// whatever the sign. `consumed` is the number of bytes read, 0 when no digit was found
// (then the result is 0).
std::uint32_t strtoul32(std::string_view text, std::size_t& consumed);

// strtod restricted to decimal forms: leading white space (is_space), an optional sign,
// digits with an optional point, an optional exponent. No hexadecimal floats, no "inf"
// or "nan" words. Overflow gives an infinity of the sign. `consumed` is 0 when no number
// was found (then the result is 0.0).
double strtod_decimal(std::string_view text, std::size_t& consumed);

// True when every byte from `pos` to the end of the text (or to a NUL byte) is white space,
// which is how the callers of the two conversions decide that the whole text was a number.
bool only_space_after(std::string_view text, std::size_t pos);

}  // namespace quillet::crt
