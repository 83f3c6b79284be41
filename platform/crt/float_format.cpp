// The floating-point conversions: finite values through the C library with the exponent
// widened to three digits, infinities and NaN as the original runtime's digit strings.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/crt/c_locale.h"
#include "platform/crt/format_field.h"
#include "platform/crt/printf_format.h"

namespace quillet::crt {

namespace {

// The digit string the original runtime used for a value that is not finite, or empty for
// a finite one. The x86 "indefinite" NaN (sign set, only the quiet bit in the fraction),
// which 0/0 produces, is 1#IND; other quiet NaNs are 1#QNAN, signalling ones 1#SNAN.
std::string_view special_digits(double v) {
  auto bits = std::bit_cast<std::uint64_t>(v);
  const std::uint64_t exponent_mask = 0x7FF0000000000000u;
  const std::uint64_t fraction_mask = 0x000FFFFFFFFFFFFFu;
  const std::uint64_t quiet_bit = 0x0008000000000000u;
  if ((bits & exponent_mask) != exponent_mask)
    return {};
  std::uint64_t fraction = bits & fraction_mask;
  if (fraction == 0)
    return "1#INF";
  if (std::signbit(v) && fraction == quiet_bit)
    return "1#IND";
  return (fraction & quiet_bit) ? "1#QNAN" : "1#SNAN";
}

// The first `count` characters of a digit string, padded with '0', rounded up when the next
// character is '5' or above in byte order; so '#' followed by 'I' becomes '$'.
std::string cut_digits(std::string_view digits, int count) {
  std::string d;
  for (int i = 0; i < count; ++i)
    d += static_cast<std::size_t>(i) < digits.size() ? digits[i] : '0';
  char next = static_cast<std::size_t>(count) < digits.size() ? digits[count] : '\0';
  if (next < '5')
    return d;
  int i = count - 1;
  while (i >= 0 && d[i] == '9')
    d[i--] = '0';
  if (i >= 0)
    ++d[i];
  return d;
}

// One digit before the point and the rest after it; the point stays for '#' even alone.
std::string point_layout(const std::string& d, bool alt) {
  std::string body = d.substr(0, 1);
  if (d.size() > 1 || alt)
    body += "." + d.substr(1);
  return body;
}

// "%g" without '#' drops trailing zeros after the point, and the point if nothing is left.
void crop_zeros(std::string& body) {
  if (body.find('.') == std::string::npos)
    return;
  while (body.back() == '0')
    body.pop_back();
  if (body.back() == '.')
    body.pop_back();
}

// The body of a special value. Its decimal exponent is 0, so "%g" always takes the fixed
// form with precision minus one digits after the point.
std::string special_body(const conversion_spec& spec, std::string_view digits) {
  int precision = spec.precision < 0 ? 6 : spec.precision;
  char c = spec.conversion;
  if (c == 'g' || c == 'G') {
    std::string body = point_layout(cut_digits(digits, precision == 0 ? 1 : precision), spec.alt);
    if (!spec.alt)
      crop_zeros(body);
    return body;
  }
  std::string body = point_layout(cut_digits(digits, precision + 1), spec.alt);
  if (c == 'e')
    body += "e+000";
  if (c == 'E')
    body += "E+000";
  return body;
}

// Widens the exponent of an e-form body to three digits: 1e+20 becomes 1e+020.
void widen_exponent(std::string& body) {
  std::size_t e = body.find_first_of("eE");
  if (e == std::string::npos || e + 2 > body.size())
    return;
  std::size_t digits = body.size() - (e + 2);
  if (digits < 3)
    body.insert(e + 2, 3 - digits, '0');
}

// The body of a finite magnitude by the C library in the "C" locale, without sign or width.
std::string finite_body(const conversion_spec& spec, double magnitude) {
  std::string f = spec.alt ? "%#" : "%";
  if (spec.precision >= 0)
    f += "." + std::to_string(spec.precision);
  f += spec.conversion;
  locale_t previous = uselocale(c_numeric_locale());
  int n = std::snprintf(nullptr, 0, f.c_str(), magnitude);
  std::string body(n > 0 ? n : 0, '\0');
  if (n > 0)
    std::snprintf(body.data(), body.size() + 1, f.c_str(), magnitude);
  uselocale(previous);
  widen_exponent(body);
  return body;
}

}  // namespace

void format_double_spec(const conversion_spec& spec, double value, std::string& out) {
  bool negative = std::signbit(value);
  std::string_view special = special_digits(value);
  std::string body = special.empty() ? finite_body(spec, std::fabs(value)) : special_body(spec, special);
  std::string_view prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
  append_field(spec, prefix, body, out);
}

}  // namespace quillet::crt
