// Decimal, octal and hexadecimal integer text and decimal floating-point text.
#include "platform/crt/number_text.h"

#include <cstdlib>
#include <string>

#include "platform/crt/c_locale.h"
#include "platform/crt/char_class.h"

namespace quillet::crt {

namespace {

// Reads bytes of a range as a C string would: a NUL byte ends it.
struct byte_reader {
  std::string_view text;
  std::size_t pos = 0;

  int peek(std::size_t ahead = 0) const {
    std::size_t i = pos + ahead;
    if (i >= text.size() || text[i] == '\0')
      return -1;
    return static_cast<unsigned char>(text[i]);
  }
  void skip_space() {
    while (is_space(peek()))
      ++pos;
  }
  // Consumes a sign if there is one; true when it was a minus.
  bool read_sign() {
    int c = peek();
    if (c != '+' && c != '-')
      return false;
    ++pos;
    return c == '-';
  }
};

// The value of an ASCII digit or letter in bases up to 36, or 99 for anything else.
int digit_value(int c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z')
    return c - 'A' + 10;
  return 99;
}

// Picks the base from the first characters and skips a "0x" prefix; when no hex digit
// follows the prefix there is no number at all, so "0x" alone converts nothing.
int read_base_prefix(byte_reader& r) {
  if (r.peek() != '0')
    return 10;
  int x = r.peek(1);
  if (x != 'x' && x != 'X')
    return 8;
  r.pos += 2;
  return 16;
}

// Counts decimal digits from the reader's position and moves past them.
std::size_t skip_digits(byte_reader& r) {
  std::size_t n = 0;
  while (r.peek() >= '0' && r.peek() <= '9') {
    ++r.pos;
    ++n;
  }
  return n;
}

}  // namespace

locale_t c_numeric_locale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

std::uint32_t strtoul32(std::string_view text, std::size_t& consumed) {
  byte_reader r{text};
  consumed = 0;
  r.skip_space();
  bool negative = r.read_sign();
  int base = read_base_prefix(r);
  std::uint64_t number = 0;
  bool any_digit = false;
  bool overflow = false;
  for (int d; (d = digit_value(r.peek())) < base; ++r.pos) {
    any_digit = true;
    number = number * base + d;
    if (number > 0xFFFFFFFFu) {
      overflow = true;
      number = 0xFFFFFFFFu;
    }
  }
  if (!any_digit)
    return 0;
  consumed = r.pos;
  if (overflow)
    return 0xFFFFFFFFu;
  auto value = static_cast<std::uint32_t>(number);
  return negative ? 0u - value : value;
}

// Finds the extent of the decimal number first, then lets the C library's correctly rounded
// conversion read exactly that text in the "C" locale.
double strtod_decimal(std::string_view text, std::size_t& consumed) {
  byte_reader r{text};
  consumed = 0;
  r.skip_space();
  std::size_t start = r.pos;
  r.read_sign();
  std::size_t digits = skip_digits(r);
  if (r.peek() == '.') {
    ++r.pos;
    digits += skip_digits(r);
  }
  if (digits == 0)
    return 0.0;
  if (r.peek() == 'e' || r.peek() == 'E') {
    byte_reader e = r;
    ++e.pos;
    e.read_sign();
    if (skip_digits(e) > 0)
      r.pos = e.pos;
  }
  consumed = r.pos;
  std::string number(text.substr(start, r.pos - start));
  return strtod_l(number.c_str(), nullptr, c_numeric_locale());
}

bool only_space_after(std::string_view text, std::size_t pos) {
  byte_reader r{text, pos};
  r.skip_space();
  return r.peek() == -1;
}

}  // namespace quillet::crt
