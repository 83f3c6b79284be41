// CSS lengths: a number with an optional unit, the unit names, and conversion between the
// absolute units through metres; pixels go through the screen resolution.
#include <charconv>
#include <cmath>

#include "doc/style_values.h"
#include "platform/crt/char_class.h"

namespace quillet {

namespace {

// Without a screen device the resolution is the usual 96 pixels per inch.
double g_screen_resolution = 96.0;

constexpr std::string_view k_unit_names[] = {"px", "em", "ex", "mm", "cm", "in", "pt", "pc"};
constexpr int k_named_units = 8;

constexpr double k_metres_per_inch = 0.0254;
constexpr double k_inches_per_metre = 39.37007874015748;

bool is_digit_at(std::string_view s, std::size_t i) {
  return i < s.size() && crt::is_digit(static_cast<unsigned char>(s[i]));
}

std::size_t skip_spaces(std::string_view s, std::size_t i) {
  while (i < s.size() && crt::is_space(static_cast<unsigned char>(s[i])))
    ++i;
  return i;
}

std::size_t skip_digits(std::string_view s, std::size_t i) {
  while (is_digit_at(s, i))
    ++i;
  return i;
}

// Where a decimal number starts and ends: spaces, sign, digits with an optional point, and an
// exponent only when digits follow its letter. An empty span (end == 0) means no number. Only
// the decimal form is read, so "0x10" is 0 followed by other text and "inf" is no number.
struct number_span {
  std::size_t start = 0;
  std::size_t end = 0;
};

number_span scan_number(std::string_view s) {
  number_span n;
  n.start = skip_spaces(s, 0);
  std::size_t i = n.start;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    ++i;
  std::size_t int_end = skip_digits(s, i);
  std::size_t frac_end = int_end;
  if (int_end < s.size() && s[int_end] == '.')
    frac_end = skip_digits(s, int_end + 1);
  bool has_digits = int_end > i || frac_end > int_end + 1;
  if (!has_digits)
    return {};
  n.end = frac_end;
  if (n.end < s.size() && (s[n.end] == 'e' || s[n.end] == 'E')) {
    std::size_t e = n.end + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-'))
      ++e;
    if (is_digit_at(s, e))
      n.end = skip_digits(s, e);
  }
  return n;
}

// The value of a scanned number; false when it lies outside the range of a double, since an
// infinite length would poison every size computed from it.
bool number_value(std::string_view s, number_span n, double& out) {
  std::size_t from = n.start;
  if (s[from] == '+')
    ++from;
  auto r = std::from_chars(s.data() + from, s.data() + n.end, out, std::chars_format::general);
  return r.ec == std::errc() && std::isfinite(out);
}

bool starts_with_lowered(std::string_view text, std::string_view name) {
  if (text.size() < name.size())
    return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != name[i])
      return false;
  }
  return true;
}

// The unit index of the text after a number: -1 when only spaces remain, the first unit
// whose name begins the text, else 8 for any other text.
int read_unit(std::string_view rest) {
  std::size_t i = skip_spaces(rest, 0);
  if (i == rest.size())
    return unit_none;
  for (int u = 0; u < k_named_units; ++u)
    if (starts_with_lowered(rest.substr(i), k_unit_names[u]))
      return u;
  return unit_other;
}

// Metres per one of the unit; 0 for units that have no fixed size.
double metres_per_unit(int unit) {
  switch (unit) {
  case unit_px: return k_metres_per_inch / g_screen_resolution;
  case unit_mm: return 0.001;
  case unit_cm: return 0.01;
  case unit_in: return k_metres_per_inch;
  case unit_pt: return 0.00035277777777777776;
  case unit_pc: return 0.004233333333333333;
  default: return 0;
  }
}

// Units per metre; 0 for units that have no fixed size.
double units_per_metre(int unit) {
  switch (unit) {
  case unit_px: return g_screen_resolution * k_inches_per_metre;
  case unit_mm: return 1000;
  case unit_cm: return 100;
  case unit_in: return k_inches_per_metre;
  case unit_pt: return 2834.645669291339;
  case unit_pc: return 236.2204724409449;
  default: return 0;
  }
}

}  // namespace

double screen_resolution() { return g_screen_resolution; }

void set_screen_resolution(double pixels_per_inch) {
  if (pixels_per_inch > 0 && std::isfinite(pixels_per_inch))
    g_screen_resolution = pixels_per_inch;
}

// A text with no number still yields its unit when the caller asked only for the unit, so
// "px" alone can be told apart from "12px" by the caller.
bool parse_length(std::string_view text, double* value, int* unit, std::size_t* consumed) {
  number_span n = scan_number(text);
  if (n.end == 0) {
    if (value)
      return false;
    if (consumed)
      *consumed = 0;
    if (unit)
      *unit = read_unit(text);
    return true;
  }
  double v = 0;
  if (value && !number_value(text, n, v))
    return false;
  if (value)
    *value = v;
  if (consumed)
    *consumed = n.end;
  if (unit)
    *unit = read_unit(text.substr(n.end));
  return true;
}

std::string_view unit_name(int unit) {
  if (unit < 0 || unit >= k_named_units)
    return {};
  return k_unit_names[unit];
}

// Goes through metres so that every pair of absolute units converts with two factors.
bool convert_length(double value, int from_unit, int to_unit, double* out) {
  if (from_unit == to_unit) {
    if (out)
      *out = value;
    return true;
  }
  double to_metres = metres_per_unit(from_unit);
  double from_metres = units_per_metre(to_unit);
  if (to_metres == 0 || from_metres == 0)
    return false;
  if (out)
    *out = value * to_metres * from_metres;
  return true;
}

}  // namespace quillet
