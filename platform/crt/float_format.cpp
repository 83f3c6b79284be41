// The floating-point conversions as the original runtime produced them: the value becomes a
// string of 17 significant digits (or the digit string 1#INF, 1#IND, 1#QNAN, 1#SNAN), which
// is cut to the digits the conversion shows and rounded half up on that string, then laid
// out in fixed or exponent form with a three-digit exponent. So "%.0f" of 2.5 gives 3,
// "%.20f" of 0.1 gives 0.10000000000000001000 and "%.2f" of infinity gives 1.#J.
//
// A report formats a number for nearly every cell, so the digits live in a fixed buffer and
// the text is written straight onto the output: no conversion allocates. "%f", "%e", "%g" of
// ordinary magnitudes go further: the seventeen digits stay one integer, the cut and its
// rounding are integer division, and the text is laid out backwards in one local buffer,
// giving the same bytes as the digit string.
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/crt/digit_pairs.h"
#include "platform/crt/format_field.h"
#include "platform/crt/printf_format.h"

namespace quillet::crt {

namespace {

// Digits d1 d2 ... standing for d1.d2... times ten to the power decpt - 1. Only the first
// `held` digits are stored; the rest of the `length` digits are zeros (a cut may ask for far
// more digits than a value has, and those are always zeros).
struct digit_string {
  static constexpr int room = 20;  // 17 digits, or a rounding carry in front of them
  char held_digits[room] = {};
  int held = 0;
  int length = 0;
  int decpt = 0;

  // Digit i; past the end '\0', as a string's terminator reads.
  char at(int i) const { return i < held ? held_digits[i] : i < length ? '0' : '\0'; }
  void hold(std::string_view digits) {
    held = length = static_cast<int>(std::min<std::size_t>(digits.size(), room));
    std::copy_n(digits.data(), held, held_digits);
  }
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

using uint128 = unsigned __int128;

// Powers of ten up to 10^22, the largest that keeps a 53-bit significand times it in 128 bits.
constexpr int largest_scale = 22;
constexpr auto powers_of_ten = [] {
  std::array<uint128, largest_scale + 1> p{};
  p[0] = 1;
  for (int i = 1; i <= largest_scale; ++i)
    p[i] = p[i - 1] * 10;
  return p;
}();

// Powers of ten up to 10^19, the largest in 64 bits.
constexpr auto powers_of_ten_64 = [] {
  std::array<std::uint64_t, 20> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i)
    p[i] = p[i - 1] * 10;
  return p;
}();

// scaled_exactly for a shift s of 1 to 63 bits and a power of ten in 64 bits: magnitudes
// from 2^-11 up to 2^53, the numbers reports print, worked out in 64-bit halves.
[[gnu::always_inline]] inline bool scaled_by_short_shift(std::uint64_t m, unsigned s, std::uint64_t power,
                                                         std::uint64_t& q, int& rest) {
  uint128 n = static_cast<uint128>(m) * power;
  auto low = static_cast<std::uint64_t>(n);
  auto high = static_cast<std::uint64_t>(n >> 64);
  if (high >> s)
    return false;
  q = (low >> s) | (high << (64 - s));
  std::uint64_t cut = low & ((std::uint64_t{1} << s) - 1);
  std::uint64_t half = std::uint64_t{1} << (s - 1);
  rest = cut < half ? -1 : cut == half ? 0 : 1;
  return true;
}

// The integer part q of magnitude * 10^scale and whether the rest is below, at or above one
// half (-1, 0, 1), worked out exactly; false when the numbers leave 128 bits.
// Inlined: every float conversion runs it, and as a call its checks cost as much as its work.
[[gnu::always_inline]] inline bool scaled_exactly(std::uint64_t m, int e, int scale, std::uint64_t& q,
                                                  int& rest) {
  if (e < 0 && e > -64 && scale >= 0 && scale < static_cast<int>(powers_of_ten_64.size()))
    return scaled_by_short_shift(m, static_cast<unsigned>(-e), powers_of_ten_64[scale], q, rest);
  if (scale > largest_scale || scale < -largest_scale || e > 74 || e <= -128)
    return false;
  uint128 whole, twice_rest = 0, unit = 1;
  if (scale >= 0 && e >= 0) {
    whole = static_cast<uint128>(m) * powers_of_ten[scale] << e;
  } else if (scale >= 0) {
    uint128 n = static_cast<uint128>(m) * powers_of_ten[scale];
    unit = static_cast<uint128>(1) << -e;
    whole = n >> -e;
    twice_rest = (n & (unit - 1)) << 1;
  } else {
    uint128 n = static_cast<uint128>(m) << e;
    unit = powers_of_ten[-scale];
    whole = n / unit;
    twice_rest = (n % unit) << 1;
  }
  if (whole >> 64)
    return false;
  q = static_cast<std::uint64_t>(whole);
  rest = twice_rest < unit ? -1 : twice_rest == unit ? 0 : 1;
  return true;
}

// Seventeen significant digits of a nonzero magnitude as one integer, 10^16 <= q < 10^17,
// standing for q times ten to the power decpt - 17, worked out by exact integer arithmetic
// and rounded half to even as the C library rounds; false when the magnitude is too large or
// too small for 128 bits.
[[gnu::always_inline]] inline bool digits_as_integer(double magnitude, std::uint64_t& q, int& decpt) {
  auto bits = std::bit_cast<std::uint64_t>(magnitude);
  int biased = static_cast<int>(bits >> 52);
  if (biased == 0)
    return false;  // subnormal: far too small for 128 bits
  std::uint64_t m = (bits & 0x000FFFFFFFFFFFFFu) | 0x0010000000000000u;  // magnitude = m * 2^e
  int e = biased - 1075;
  // floor(log10(2^(e + 52))) by the usual fixed-point product, exact for these exponents; the
  // decimal exponent is this estimate or one more.
  int e10 = ((e + 52) * 78913) >> 18;
  const std::uint64_t lowest = 10000000000000000u, beyond = 100000000000000000u;
  int rest = 0;
  if (!scaled_exactly(m, e, 16 - e10, q, rest))
    return false;
  if (q >= beyond && !scaled_exactly(m, e, 16 - ++e10, q, rest))
    return false;
  if (q < lowest || q >= beyond)
    return false;
  q += rest > 0 || (rest == 0 && (q & 1)) ? 1 : 0;
  decpt = e10 + 1;
  if (q == beyond) {
    q = lowest;
    ++decpt;
  }
  return true;
}

// The same seventeen digits as a digit string.
bool digits_exactly(double magnitude, digit_string& d) {
  std::uint64_t q = 0;
  if (!digits_as_integer(magnitude, q, d.decpt))
    return false;
  for (int i = 16; i >= 0; --i, q /= 10)
    d.held_digits[i] = static_cast<char>('0' + q % 10);
  d.held = d.length = 17;
  return true;
}

// Seventeen significant digits of a finite magnitude, correctly rounded (the digits "%.16e"
// prints in the "C" locale, made without the locale switch and the printf machinery);
// zero is the single digit 0 at decpt 0.
digit_string finite_digits(double magnitude) {
  digit_string d;
  if (magnitude == 0.0) {
    d.hold("0");
    return d;
  }
  if (digits_exactly(magnitude, d))
    return d;
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 16);
  d.held_digits[0] = buf[0];
  std::copy_n(buf + 2, 16, d.held_digits + 1);
  d.held = d.length = 17;
  int exponent = 0;  // buf + 18 holds "e+" or "e-" and the exponent's digits
  std::from_chars(buf + 20, r.ptr, exponent);
  d.decpt = (buf[19] == '-' ? -exponent : exponent) + 1;
  return d;
}

// The first `count` digits, padded with '0', rounded up when the next digit is '5' or above
// in byte order (so '#' followed by 'I' becomes '$'). A carry out of the first digit makes
// the digits a 1 and zeros and moves the point. A count below 0 leaves nothing.
digit_string cut_digits(const digit_string& in, int count) {
  digit_string out;
  out.decpt = in.decpt;
  if (count <= 0) {
    bool carry = count == 0 && in.at(0) >= '5';
    out.hold(carry ? "1" : "");
    out.decpt += carry ? 1 : 0;
    return out;
  }
  out.held = std::min(count, in.held);
  out.length = count;
  std::copy_n(in.held_digits, out.held, out.held_digits);
  if (count >= in.length || in.at(count) < '5')
    return out;
  int i = count - 1;  // rounding happens only within the held digits
  while (i >= 0 && out.held_digits[i] == '9')
    out.held_digits[i--] = '0';
  if (i >= 0) {
    ++out.held_digits[i];
    return out;
  }
  out.held_digits[0] = '1';
  out.held = 1;
  out.length = count + 1;
  ++out.decpt;
  return out;
}

// Appends digits [from, from + n) of d, stopping at its last digit.
void append_digits(std::string& out, const digit_string& d, int from, int n) {
  int end = std::min(d.length, from + std::max(n, 0));
  if (from >= end)
    return;
  int stored_end = std::min(end, d.held);
  if (from < stored_end)
    out.append(d.held_digits + from, stored_end - from);
  out.append(static_cast<std::size_t>(end - std::max(from, stored_end)), '0');
}

// Fixed form: the digits before the point (or 0), then `precision` digits after it, zeros
// first when the point lies left of the digits. The point stays for '#' even alone.
void fixed_layout(const digit_string& d, int precision, bool alt, std::string& out) {
  int whole = d.decpt > 0 ? d.decpt : 0;
  if (whole > 0)
    append_digits(out, d, 0, whole);
  else
    out += '0';
  if (precision > 0 || alt)
    out += '.';
  if (precision <= 0)
    return;
  int zeros = d.decpt < 0 ? std::min(precision, -d.decpt) : 0;
  out.append(static_cast<std::size_t>(zeros), '0');
  append_digits(out, d, std::min(whole, d.length), precision - zeros);
}

// Exponent form: one digit, the point and `precision` digits, then e+000. A zero (or a
// special value) has exponent 0.
void exponent_layout(const digit_string& d, int precision, bool alt, char e, std::string& out) {
  append_digits(out, d, 0, 1);
  if (precision > 0 || alt)
    out += '.';
  append_digits(out, d, 1, precision);
  int exponent = d.at(0) != '0' ? d.decpt - 1 : 0;
  int magnitude = std::abs(exponent);
  char text[8] = {e, exponent < 0 ? '-' : '+'};
  char* end = text + 2;
  if (magnitude < 100)
    *end++ = '0';
  if (magnitude < 10)
    *end++ = '0';
  end = std::to_chars(end, text + sizeof text, magnitude).ptr;
  out.append(text, end);
}

// "%g" without '#' drops trailing zeros after the point of the body that starts at `from`,
// and the point if nothing is left.
void crop_zeros(std::string& out, std::size_t from) {
  std::size_t point = out.find('.', from);
  if (point == std::string::npos)
    return;
  std::size_t exponent = out.find_first_of("eE", from);
  std::size_t end = exponent == std::string::npos ? out.size() : exponent;
  std::size_t keep = end;
  while (keep > point + 1 && out[keep - 1] == '0')
    --keep;
  if (keep == point + 1)
    keep = point;
  out.erase(keep, end - keep);
}

// "%g": P significant digits (6 by default, 1 for 0), rounded first; exponent form when the
// rounded exponent is below -4 or at least P, fixed form otherwise.
void general_layout(const digit_string& value, const conversion_spec& spec, std::string& out) {
  int p = spec.precision < 0 ? 6 : spec.precision == 0 ? 1 : spec.precision;
  digit_string d = cut_digits(value, p);
  int magnitude = d.decpt - 1;
  std::size_t from = out.size();
  if (magnitude < -4 || magnitude >= p)
    exponent_layout(d, p - 1, spec.alt, spec.conversion == 'G' ? 'E' : 'e', out);
  else
    fixed_layout(d, p - d.decpt, spec.alt, out);
  if (!spec.alt)
    crop_zeros(out, from);
}

// Appends the body of the conversion, without sign or width.
void layout(const digit_string& value, const conversion_spec& spec, std::string& out) {
  int precision = spec.precision < 0 ? 6 : spec.precision;
  switch (spec.conversion) {
  case 'f':
    fixed_layout(cut_digits(value, value.decpt + precision), precision, spec.alt, out);
    return;
  case 'e':
  case 'E':
    exponent_layout(cut_digits(value, precision + 1), precision, spec.alt, spec.conversion, out);
    return;
  default:
    general_layout(value, spec, out);
  }
}

// The direct conversions: "%f", "%e" and "%g" of a finite nonzero value whose seventeen
// digits come by exact arithmetic. They make the same cut, half up on the digit after the
// kept ones, by integer division of q, and write the text backwards into one buffer that
// is appended once.

// Precisions up to this take the direct conversions; beyond it the buffer below would not do.
constexpr int direct_precision_limit = 64;
// "%g" takes them up to this many significant digits: its fixed form then has at most 17
// digits after the point.
constexpr int direct_significant_limit = 14;
// Exact arithmetic reaches magnitudes below 2^127, at most 39 digits before the point.
constexpr int direct_decpt_limit = 40;

// The first `count` (at most 17) of the seventeen digits q as an integer, plus one when the
// digit after them is 5 or more; a carry out of them gives 10^count. A count of 0 keeps
// nothing but may round up to 1, a negative one keeps nothing.
std::uint64_t cut_integer(std::uint64_t q, int count) {
  if (count < 0)
    return 0;
  if (count >= 17)
    return q;
  std::uint64_t unit = powers_of_ten_64[17 - count];
  std::uint64_t kept = q / unit;
  return q % unit >= unit / 2 ? kept + 1 : kept;
}

// Writes digits right to left before `p`, putting the point in front of the last `precision`
// of them when it shows.
struct backward_digits {
  char* p;
  int precision;
  bool point;
  int written = 0;

  void put(char digit) {
    if (written++ == precision && point)
      *--p = '.';
    *--p = digit;
  }
  // `zeros` zeros, then the digits of k (a single 0 for 0), then zeros up to one digit
  // before the point.
  void put_number(std::uint64_t k, int zeros) {
    for (; zeros > 0; --zeros)
      put('0');
    do {
      put(static_cast<char>('0' + k % 10));
      k /= 10;
    } while (k != 0);
    while (written <= precision)
      put('0');
  }
};

// Writes the last `count` digits of n right to left before p, two at a time; returns where
// they start.
[[gnu::always_inline]] inline char* put_exact_digits(char* p, std::uint64_t n, int count) {
  for (; count >= 2; count -= 2) {
    p -= 2;
    std::memcpy(p, &digit_pairs[2 * (n % 100)], 2);
    n /= 100;
  }
  if (count > 0)
    *--p = static_cast<char>('0' + n % 10);
  return p;
}

// Writes the digits of n (a single 0 for 0) right to left before p; returns where they start.
[[gnu::always_inline]] inline char* put_all_digits(char* p, std::uint64_t n) {
  for (; n >= 100; n /= 100) {
    p -= 2;
    std::memcpy(p, &digit_pairs[2 * (n % 100)], 2);
  }
  if (n < 10) {
    *--p = static_cast<char>('0' + n);
    return p;
  }
  p -= 2;
  std::memcpy(p, &digit_pairs[2 * n], 2);
  return p;
}

// The number k with its last `precision` (at most 17) digits after the point, written right
// to left before p: the fraction's digits, the point when it shows, and the whole part (0
// when there is none). Returns where it starts. Inlined into each conversion: it is most of
// their work.
[[gnu::always_inline]] inline char* put_point_number(char* p, std::uint64_t k, int precision, bool point) {
  std::uint64_t unit = powers_of_ten_64[precision];
  p = put_exact_digits(p, k % unit, precision);
  if (point)
    *--p = '.';
  return put_all_digits(p, k / unit);
}

// "%f" of q at decpt ending at `end`: decpt + precision digits kept, the cut ones rounded
// into the last; every kept digit stands precision places left of the point's right edge,
// so a carry only makes the number one digit longer. Returns the text's start.
char* fixed_backward(std::uint64_t q, int decpt, int precision, bool alt, char* end) {
  int count = decpt + precision;
  bool point = precision > 0 || alt;
  if (count <= 17 && precision <= 17)
    return put_point_number(end, cut_integer(q, count), precision, point);
  backward_digits w{end, precision, point};
  if (count > 17)
    w.put_number(q, count - 17);
  else
    w.put_number(cut_integer(q, count), 0);
  return w.p;
}

// The exponent letter, its sign and at least three digits, written before `end`. Returns
// where they start.
char* put_exponent(char* end, int exponent, char letter) {
  unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  char* p = end;
  for (int i = 0; i < 3 || magnitude != 0; ++i, magnitude /= 10)
    *--p = static_cast<char>('0' + magnitude % 10);
  *--p = exponent < 0 ? '-' : '+';
  *--p = letter;
  return p;
}

// "%g" of q at decpt ending at `end`: `significant` digits (at most 14, so the fixed form's
// fraction stays within 17 digits) rounded first; exponent form when the rounded exponent is
// below -4 or at least `significant`, fixed form otherwise. Without '#' the zeros that end
// the fraction go, and the point with them when nothing is left. Returns the text's start.
// Kept out of line so that the fixed form, which reports print most, stays compact.
[[gnu::noinline]] char* general_backward(std::uint64_t q, int decpt, int significant, bool alt, char letter, char* end) {
  std::uint64_t kept = cut_integer(q, significant);
  if (kept == powers_of_ten_64[significant]) {
    kept = powers_of_ten_64[significant - 1];
    ++decpt;
  }
  int exponent = decpt - 1;
  bool exponent_form = exponent < -4 || exponent >= significant;
  int fraction = exponent_form ? significant - 1 : significant - decpt;
  for (; !alt && fraction > 0 && kept % 10 == 0; --fraction)
    kept /= 10;
  char* p = exponent_form ? put_exponent(end, exponent, letter) : end;
  return put_point_number(p, kept, fraction, fraction > 0 || alt);
}

// "%e" of q at decpt ending at `end`: precision + 1 digits kept, a carry moving the point,
// then the exponent letter, its sign and at least three digits. Returns the text's start.
char* exponent_backward(std::uint64_t q, int decpt, int precision, bool alt, char letter, char* end) {
  int count = precision + 1;
  std::uint64_t kept = q;
  if (count <= 17) {
    kept = cut_integer(q, count);
    if (kept == powers_of_ten_64[count]) {
      kept = powers_of_ten_64[count - 1];
      ++decpt;
    }
  }
  char* p = put_exponent(end, decpt - 1, letter);
  if (count <= 17)
    return put_point_number(p, kept, precision, precision > 0 || alt);
  backward_digits w{p, precision, precision > 0 || alt};
  w.put_number(kept, count - 17);
  return w.p;
}

// Appends the direct conversion of the value and returns true, or returns false (appending
// nothing) when it is not one the direct conversions take.
bool format_direct(const conversion_spec& spec, double value, std::string& out) {
  char conversion = spec.conversion;
  int precision = spec.precision < 0 ? 6 : spec.precision;
  int limit = direct_precision_limit;
  switch (conversion) {
  case 'f':
  case 'e':
  case 'E':
    break;
  case 'g':
  case 'G':
    limit = direct_significant_limit;
    precision = std::max(precision, 1);  // "%g" shows at least one significant digit
    break;
  default:
    return false;
  }
  double magnitude = std::fabs(value);
  std::uint64_t q = 0;
  int decpt = 0;
  if (precision > limit || !(magnitude > 0.0) || !digits_as_integer(magnitude, q, decpt) ||
      decpt > direct_decpt_limit)
    return false;
  char text[2 * direct_precision_limit + direct_decpt_limit];
  char* end = text + sizeof text;
  char* start = nullptr;
  if (conversion == 'f')
    start = fixed_backward(q, decpt, precision, spec.alt, end);
  else if (conversion == 'e' || conversion == 'E')
    start = exponent_backward(q, decpt, precision, spec.alt, conversion, end);
  else
    start = general_backward(q, decpt, precision, spec.alt, conversion == 'G' ? 'E' : 'e', end);
  char sign = std::signbit(value) ? '-' : spec.plus ? '+' : spec.space ? ' ' : 0;
  if (sign != 0)
    *--start = sign;
  std::size_t length = static_cast<std::size_t>(end - start);
  if (spec.width <= 0 || static_cast<std::size_t>(spec.width) <= length) {
    out.append(start, length);
    return true;
  }
  std::size_t prefix = sign != 0 ? 1 : 0;
  std::size_t pad = static_cast<std::size_t>(spec.width) - length;
  if (spec.left || pad > static_cast<std::size_t>(start - text)) {
    append_field(spec, std::string_view(start, prefix), std::string_view(start + prefix, length - prefix), out);
    return true;
  }
  // A right-aligned field is padded in the buffer: zeros after the sign, or blanks before it.
  start -= pad;
  if (spec.zero && sign != 0)
    start[0] = sign;
  std::memset(start + (spec.zero ? prefix : 0), spec.zero ? '0' : ' ', pad);
  out.append(start, static_cast<std::size_t>(end - start));
  return true;
}

}  // namespace

void format_double_spec_general(const conversion_spec& spec, double value, std::string& out) {
  bool negative = std::signbit(value);
  std::string_view special = special_digits(value);
  digit_string digits;
  if (special.empty()) {
    digits = finite_digits(std::fabs(value));
  } else {
    digits.hold(special);
    digits.decpt = 1;
  }
  std::string_view prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
  std::size_t start = out.size();
  out += prefix;
  layout(digits, spec, out);
  pad_field_in_place(spec, prefix.size(), start, out);
}

void format_double_spec(const conversion_spec& spec, double value, std::string& out) {
  if (!format_direct(spec, value, out))
    format_double_spec_general(spec, value, out);
}

}  // namespace quillet::crt
