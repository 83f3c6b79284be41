// The integer conversions of printf (d, i, u, o, x, X), with every flag, width, precision and
// the 'h' and 'l' lengths as the C library gives them for a 32-bit argument.
#pragma once

#include <cstdint>
#include <string>

#include "platform/crt/printf_format.h"

namespace quillet::crt {

// Room for any precision a format may ask (at most format_limit digits) and the digits of a
// 32-bit number in base 8.
inline constexpr std::size_t conversion_buffer = format_limit + 16;

// Appends the conversion of `value`; spec.conversion is one of d, i, u, o, x and X.
void format_int_direct(const conversion_spec& spec, std::int32_t value, std::string& out);

}  // namespace quillet::crt
