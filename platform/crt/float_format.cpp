// The floating-point conversions as the original runtime produced them: the value becomes a
// string of 17 significant digits (or the digit string 1#INF, 1#IND, 1#QNAN, 1#SNAN), which
// is cut to the digits the conversion shows and rounded half up on that string, then laid
// out in fixed or exponent form with a three-digit exponent. So "%.0f" of 2.5 gives 3,
// "%.20f" of 0.1 gives 0.10000000000000001000 and "%.2f" of infinity gives 1.#J.
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/crt/c_locale.h"
#include "platform/crt/format_field.h"
#include "platform/crt/printf_format.h"

namespace quillet::crt {

namespace {

// Digits d1 d2 ... standing for d1.d2... times ten to the power decpt - 1.
struct digit_string {
  std::string digits;
  int decpt = 0;
};

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

// Seventeen significant digits of a finite magnitude, correctly rounded (the digits "%.16e"
// prints in the "C" locale, made without the locale switch and the printf machinery, which
// a report pays for in every number it shows); zero is the single digit 0 at decpt 0.
digit_string finite_digits(double magnitude) {
  if (magnitude == 0.0)
    return {"0", 0};
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 16);
  *r.ptr = '\0';
  digit_string d;
  d.digits = buf[0];
  d.digits.append(buf + 2, 16);
  d.decpt = std::atoi(buf + 19) + 1;
  return d;
}

// The first `count` characters of the digits, padded with '0', rounded up when the next
// character is '5' or above in byte order (so '#' followed by 'I' becomes '$'). A carry out
// of the first digit adds a leading 1 and moves the point. A count below 0 leaves nothing.
digit_string cut_digits(const digit_string& in, int count) {
  std::string buf = "0";
  for (int i = 0; i < count; ++i)
    buf += static_cast<std::size_t>(i) < in.digits.size() ? in.digits[i] : '0';
  char next = count >= 0 && static_cast<std::size_t>(count) < in.digits.size() ? in.digits[count] : '\0';
  if (next >= '5') {
    std::size_t i = buf.size() - 1;
    while (buf[i] == '9')
      buf[i--] = '0';
    ++buf[i];
  }
  if (buf[0] == '1')
    return {buf, in.decpt + 1};
  return {buf.substr(1), in.decpt};
}

// Fixed form: the digits before the point (or 0), then `precision` digits after it, zeros
// first when the point lies left of the digits. The point stays for '#' even alone.
std::string fixed_layout(const digit_string& d, int precision, bool alt) {
  std::size_t whole = d.decpt > 0 ? static_cast<std::size_t>(d.decpt) : 0;
  std::string body = whole > 0 ? d.digits.substr(0, whole) : "0";
  if (precision > 0 || alt)
    body += '.';
  if (precision <= 0)
    return body;
  std::size_t zeros = d.decpt < 0 ? std::min<std::size_t>(precision, -d.decpt) : 0;
  body.append(zeros, '0');
  body += d.digits.substr(std::min(whole, d.digits.size()), precision - zeros);
  return body;
}

// Exponent form: one digit, the point and `precision` digits, then e+000. A zero (or a
// special value) has exponent 0.
std::string exponent_layout(const digit_string& d, int precision, bool alt, char e) {
  std::string body = d.digits.substr(0, 1);
  if (precision > 0 || alt)
    body += '.';
  body += d.digits.substr(1, precision);
  int exponent = d.digits[0] != '0' ? d.decpt - 1 : 0;
  char text[16];
  std::snprintf(text, sizeof text, "%c%c%03d", e, exponent < 0 ? '-' : '+', std::abs(exponent));
  return body + text;
}

// "%g" without '#' drops trailing zeros after the point, and the point if nothing is left.
void crop_zeros(std::string& body) {
  std::size_t point = body.find('.');
  if (point == std::string::npos)
    return;
  std::size_t exponent = body.find_first_of("eE");
  std::size_t end = exponent == std::string::npos ? body.size() : exponent;
  std::size_t keep = end;
  while (keep > point + 1 && body[keep - 1] == '0')
    --keep;
  if (keep == point + 1)
    keep = point;
  body.erase(keep, end - keep);
}

// "%g": P significant digits (6 by default, 1 for 0), rounded first; exponent form when the
// rounded exponent is below -4 or at least P, fixed form otherwise.
std::string general_layout(const digit_string& value, const conversion_spec& spec) {
  int p = spec.precision < 0 ? 6 : spec.precision == 0 ? 1 : spec.precision;
  digit_string d = cut_digits(value, p);
  int magnitude = d.decpt - 1;
  std::string body = magnitude < -4 || magnitude >= p
                         ? exponent_layout(d, p - 1, spec.alt, spec.conversion == 'G' ? 'E' : 'e')
                         : fixed_layout(d, p - d.decpt, spec.alt);
  if (!spec.alt)
    crop_zeros(body);
  return body;
}

// The body of the conversion without sign or width.
std::string layout(const digit_string& value, const conversion_spec& spec) {
  int precision = spec.precision < 0 ? 6 : spec.precision;
  switch (spec.conversion) {
  case 'f':
    return fixed_layout(cut_digits(value, value.decpt + precision), precision, spec.alt);
  case 'e':
  case 'E':
    return exponent_layout(cut_digits(value, precision + 1), precision, spec.alt, spec.conversion);
  default:
    return general_layout(value, spec);
  }
}

}  // namespace

void format_double_spec(const conversion_spec& spec, double value, std::string& out) {
  bool negative = std::signbit(value);
  std::string_view special = special_digits(value);
  digit_string digits = special.empty() ? finite_digits(std::fabs(value)) : digit_string{std::string(special), 1};
  std::string_view prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
  append_field(spec, prefix, layout(digits, spec), out);
}

}  // namespace quillet::crt
