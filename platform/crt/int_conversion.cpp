// The integer conversions d, i, u, o, x and X, written here rather than through snprintf:
// a report formats numbers cell after cell, and rebuilding a format text for the C library
// and running its interpreter cost about a thousand instructions a number.
#include "platform/crt/int_conversion.h"

#include <cstdint>

#include "platform/crt/format_field.h"

namespace quillet::crt {

namespace {

// The value's magnitude and sign as the conversion reads its argument: 'h' narrows it to 16
// bits, d and i are signed, the others unsigned.
std::uint32_t magnitude_of(const conversion_spec& spec, std::int32_t value, bool& negative) {
  const bool is_signed = spec.conversion == 'd' || spec.conversion == 'i';
  negative = false;
  if (!is_signed)
    return spec.length == 'h' ? static_cast<std::uint16_t>(value) : static_cast<std::uint32_t>(value);
  const std::int32_t v = spec.length == 'h' ? static_cast<std::int16_t>(value) : value;
  negative = v < 0;
  return negative ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
}

// The digits of n in the conversion's base, written right to left before `end`; none for 0.
char* put_digits_before(char* end, std::uint32_t n, char conversion) {
  const char* const digits = conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
  const std::uint32_t base = conversion == 'o' ? 8 : conversion == 'x' || conversion == 'X' ? 16 : 10;
  for (; n != 0; n /= base)
    *--end = digits[n % base];
  return end;
}

}  // namespace

void format_int_direct(const conversion_spec& spec, std::int32_t value, std::string& out) {
  bool negative = false;
  const std::uint32_t n = magnitude_of(spec, value, negative);
  char buf[conversion_buffer];
  char* const end = buf + sizeof buf;
  char* start = put_digits_before(end, n, spec.conversion);
  // The precision is the least number of digits; without one it is 1, so 0 shows as "0".
  const std::ptrdiff_t least = spec.precision < 0 ? 1 : spec.precision;
  while (end - start < least)
    *--start = '0';
  if (spec.alt && spec.conversion == 'o' && (start == end || *start != '0'))
    *--start = '0';
  std::string_view prefix;
  if (spec.conversion == 'd' || spec.conversion == 'i')
    prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
  else if (spec.alt && n != 0 && (spec.conversion == 'x' || spec.conversion == 'X'))
    prefix = spec.conversion == 'x' ? "0x" : "0X";
  // '0' pads with zeros only when no precision is given.
  conversion_spec field = spec;
  field.zero = spec.zero && spec.precision < 0;
  append_field(field, prefix, std::string_view(start, static_cast<std::size_t>(end - start)), out);
}

}  // namespace quillet::crt
