// Values of literals: integer and float literals as the C library reads them, and string
// literals with their escapes, including "\u" code units converted to the ANSI code page.
#include <iconv.h>
#include <locale.h>

#include <cstdlib>
#include <string>

#include "platform/crt/char_class.h"
#include "txl/lexer.h"

namespace quillet {

namespace {

int digit_value(int c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return 99;
}

// Appends the bytes of one UTF-16 code unit in the ANSI code page, nothing when the code
// page has no mapping for it (a lone surrogate, or a character outside the code page).
void append_code_unit(unsigned unit, std::string& out) {
  iconv_t cd = iconv_open(crt::codepage_iconv_name(crt::current_codepage()), "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return;
  char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  char buf[8];
  char* in_p = in;
  char* out_p = buf;
  std::size_t in_left = sizeof in;
  std::size_t out_left = sizeof buf;
  if (iconv(cd, &in_p, &in_left, &out_p, &out_left) != static_cast<std::size_t>(-1))
    out.append(buf, out_p - buf);
  iconv_close(cd);
}

}  // namespace

// Like strtoul with base 0 on a 32-bit machine: "0x" selects hexadecimal, a leading "0"
// octal (reading stops at the first digit that does not belong), anything else decimal;
// values above 4294967295 saturate there, which reads back as -1.
std::int32_t txl_integer_literal(std::string_view digits) {
  unsigned base = 10;
  std::size_t i = 0;
  if (digits.size() > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (!digits.empty() && digits[0] == '0') {
    base = 8;
  }
  std::uint64_t value = 0;
  for (; i < digits.size(); ++i) {
    int d = digit_value(static_cast<unsigned char>(digits[i]));
    if (d >= static_cast<int>(base))
      break;
    value = value * base + static_cast<unsigned>(d);
    if (value > 0xFFFFFFFFu)
      value = 0x100000000u;  // stays above the limit while more digits come
  }
  if (value > 0xFFFFFFFFu)
    value = 0xFFFFFFFFu;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// strtod in the "C" locale, whatever locale the process runs in: "." is the decimal point.
double txl_float_literal(std::string_view digits) {
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  std::string text(digits);
  return strtod_l(text.c_str(), nullptr, c_locale);
}

// The bytes of a string literal's body with escapes replaced: "\n", "\r", "\t", "\u" with
// four characters read as hexadecimal digits (any other character, or a missing one at the
// end of the body, counts as 0), and a backslash before any other byte gives that byte.
std::string txl_string_literal(std::string_view body) {
  std::string out;
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c != '\\' || i + 1 >= body.size()) {
      out += c;
      continue;
    }
    char e = body[++i];
    if (e == 'n') { out += '\n'; continue; }
    if (e == 'r') { out += '\r'; continue; }
    if (e == 't') { out += '\t'; continue; }
    if (e != 'u') { out += e; continue; }
    unsigned unit = 0;
    for (int k = 0; k < 4; ++k) {
      int d = i + 1 < body.size() ? digit_value(static_cast<unsigned char>(body[++i])) : 0;
      unit = unit * 16 + (d < 16 ? static_cast<unsigned>(d) : 0u);
    }
    append_code_unit(unit, out);
  }
  return out;
}

}  // namespace quillet
