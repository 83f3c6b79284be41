// printf-style formatting of one value, the way the original platform's C library printed:
// 32-bit long, "%hd" reduced to 16 bits, float exponents with three digits (1e+020) and
// infinities and NaN as 1.#INF, -1.#INF, -1.#IND, 1.#QNAN, 1.#SNAN.
//
// A format text holds literal bytes, "%%" escapes and exactly one conversion:
//   % [flags -+ #0] [width] [.precision] [h | l | L] conversion
// Anything else (no conversion, two conversions, "*" widths, "%n", unknown letters, widths or
// precisions above format_limit) is refused with false, so no caller can make the C library
// read an argument that is not there or allocate without bound.
//
// Floats are printed from 17 significant digits, cut to what the conversion shows and rounded
// half up on that digit string: "%.0f" of 2.5 is 3, "%.20f" of 0.1 is 0.10000000000000001000.
// Special values follow the same digit-string rendering: the value is the "digits"
// 1#INF (1#IND, 1#QNAN, 1#SNAN) with the point after the first one, cut to the precision and
// rounded by the next character as if it were a digit. So "%f" gives 1.#INF00, "%e" gives
// 1.#INF00e+000, "%g" gives 1.#INF, "%.2f" gives 1.#J and "%.1f" gives 1.$. Sign, "+", " ",
// width and "0" padding apply as to any number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::crt {

// Widths and precisions above this are refused.
inline constexpr int format_limit = 4096;

struct conversion_spec {
  bool left = false;    // '-'
  bool plus = false;    // '+'
  bool space = false;   // ' '
  bool alt = false;     // '#'
  bool zero = false;    // '0'
  int width = 0;
  int precision = -1;   // -1 when not given
  char length = 0;      // 0, 'h', 'l' or 'L'
  char conversion = 0;  // d i u o x X c e E f g G s
  std::size_t begin = 0;  // the conversion's first byte ('%') in the format text
  std::size_t end = 0;    // one past its last byte
};

// Finds and checks the single conversion of a format text. False when the text has none,
// more than one, or one that a single value cannot safely feed.
bool parse_single_conversion(std::string_view format, conversion_spec& out);

// True for the conversions that format_int, format_double and format_string take.
bool is_int_conversion(char conversion);
bool is_float_conversion(char conversion);
bool is_string_conversion(char conversion);

// Each appends the formatted text to out and returns true, or returns false (appending
// nothing) when the format is refused or its conversion is not one of that function's.
bool format_int(std::string_view format, std::int32_t value, std::string& out);
bool format_double(std::string_view format, double value, std::string& out);
// A string prints up to its first NUL byte, as a C string would.
bool format_string(std::string_view format, std::string_view value, std::string& out);

// Appends literal format text, the text around a conversion, with each "%%" turned into "%".
void append_literal(std::string_view text, std::string& out);

// The one conversion alone, without the literal text around it.
void format_int_spec(const conversion_spec& spec, std::int32_t value, std::string& out);
void format_double_spec(const conversion_spec& spec, double value, std::string& out);
void format_string_spec(const conversion_spec& spec, std::string_view value, std::string& out);

}  // namespace quillet::crt
