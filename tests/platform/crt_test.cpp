// The C-library layer: 32-bit strtoul, decimal-only strtod, one-value printf formatting with
// the original runtime's float texts, and character classes per code page.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/crt/char_class.h"
#include "platform/crt/number_text.h"
#include "platform/crt/printf_format.h"

namespace quillet::crt {
namespace {

using namespace std::string_literals;

const double inf = std::numeric_limits<double>::infinity();

double nan_from_bits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

struct strtoul_row {
  std::string text;
  std::uint32_t value;
  std::size_t consumed;
};

TEST(CrtStrtoul, ThirtyTwoBitAutomaticBase) {
  const strtoul_row rows[] = {
      {"0", 0, 1},
      {"12", 12, 2},
      {"12abc", 12, 2},
      {"  \t7\t", 7, 4},
      {"+5", 5, 2},
      {"-1", 4294967295u, 2},
      {"-2", 4294967294u, 2},
      {"4294967295", 4294967295u, 10},
      {"4294967296", 4294967295u, 10},
      {"99999999999999999999999", 4294967295u, 23},
      {"-4294967296", 4294967295u, 11},
      {"0x10", 16, 4},
      {"0X1f", 31, 4},
      {"0xFFFFFFFF", 4294967295u, 10},
      {"0x100000000", 4294967295u, 11},
      {"-0x10", 4294967280u, 5},
      {"010", 8, 3},
      {"08", 0, 1},
      {"0777", 511, 4},
      {"0x", 0, 0},
      {"0xg", 0, 0},
      {"abc", 0, 0},
      {"", 0, 0},
      {"-", 0, 0},
      {" + 5", 0, 0},
      {"1\0" "2"s, 1, 1},
      {"\xA0" "5", 5, 2},  // no-break space is white space in windows-1252
  };
  for (const auto& r : rows) {
    SCOPED_TRACE("text: " + r.text);
    std::size_t consumed = 99;
    EXPECT_EQ(strtoul32(r.text, consumed), r.value);
    EXPECT_EQ(consumed, r.consumed);
  }
}

struct strtod_row {
  std::string text;
  double value;
  std::size_t consumed;
};

TEST(CrtStrtod, DecimalFormsOnly) {
  const strtod_row rows[] = {
      {"1.5e3 ", 1500.0, 5},
      {"1.5x", 1.5, 3},
      {"  -2.25", -2.25, 7},
      {"+.5", 0.5, 3},
      {"5.", 5.0, 2},
      {".", 0.0, 0},
      {"-.e1", 0.0, 0},
      {"1e", 1.0, 1},
      {"1e+", 1.0, 1},
      {"1E-2", 0.01, 4},
      {"0x1p3", 0.0, 1},
      {"inf", 0.0, 0},
      {"-infinity", 0.0, 0},
      {"nan", 0.0, 0},
      {"1e400", inf, 5},
      {"-1e400", -inf, 6},
      {"0.1", 0.1, 3},
      {"", 0.0, 0},
      {"7\0" "5"s, 7.0, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE("text: " + r.text);
    std::size_t consumed = 99;
    EXPECT_EQ(strtod_decimal(r.text, consumed), r.value);
    EXPECT_EQ(consumed, r.consumed);
  }
}

TEST(CrtNumberText, OnlySpaceAfter) {
  const struct {
    std::string text;
    std::size_t pos;
    bool expected;
  } rows[] = {
      {"12", 2, true}, {"12  \t\r\n", 2, true}, {"12a", 2, false}, {"12 a", 2, false},
      {"12\0junk"s, 2, true}, {"", 0, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE("text: " + r.text);
    EXPECT_EQ(only_space_after(r.text, r.pos), r.expected);
  }
}

struct int_row {
  const char* format;
  std::int32_t value;
  const char* expected;
};

TEST(CrtFormat, Integers) {
  const int_row rows[] = {
      {"%d", -5, "-5"},
      {"%ld", -2147483647 - 1, "-2147483648"},
      {"%i", 42, "42"},
      {"%5d", 42, "   42"},
      {"%-5d|", 42, "42   |"},
      {"%05d", -42, "-0042"},
      {"%+d", 7, "+7"},
      {"% d", 7, " 7"},
      {"%.3d", 7, "007"},
      {"%.0d", 0, ""},
      {"%u", -1, "4294967295"},
      {"%lu", -1, "4294967295"},
      {"%x", 255, "ff"},
      {"%X", -1, "FFFFFFFF"},
      {"%#X", 31, "0X1F"},
      {"%#x", 0, "0"},
      {"%o", 8, "10"},
      {"%#o", 8, "010"},
      {"%hd", 70000, "4464"},
      {"%hd", 32768, "-32768"},
      {"%hu", -1, "65535"},
      {"%hx", 0x12345, "2345"},
      {"%c", 65, "A"},
      {"%3c", 66, "  B"},
      {"%03c", 66, "00B"},
      {"Value: %d%%", 9, "Value: 9%"},
      {"%%%d%%", 1, "%1%"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    std::string out = "=";
    EXPECT_TRUE(format_int(r.format, r.value, out));
    EXPECT_EQ(out, "="s + r.expected);
  }
}

// Every integer conversion, flag set, width, precision and length against the C library's
// own conversion of the same spec (the 'l' length reads the same 32-bit value).
TEST(CrtFormat, IntegerConversionsMatchTheCLibrary) {
  const std::int32_t values[] = {0, 1, -1, 7, -42, 255, 4096, 32767, 32768, 65535, 65536, -65536, 123456789,
                                 INT32_MIN, INT32_MAX};
  std::string ours;
  char theirs[256];
  for (const std::string length : {"", "h", "l"})
    for (const char conversion : {'d', 'i', 'u', 'o', 'x', 'X'})
      for (int flags = 0; flags < 32; ++flags)
        for (const char* width : {"", "1", "5", "14"})
          for (const char* precision : {"", ".0", ".1", ".7"}) {
            std::string spec = "%";
            for (int f = 0; f < 5; ++f)
              if (flags & (1 << f))
                spec += "-+ #0"[f];
            spec = spec + width + precision;
            // The C library is given the value as the length would read it, and no length.
            const std::string c_format = spec + conversion;
            const std::string format = spec + length + conversion;
            const bool is_signed = conversion == 'd' || conversion == 'i';
            for (const std::int32_t v : values) {
              ours.clear();
              ASSERT_TRUE(format_int(format, v, ours)) << format;
              const std::int32_t narrow = length == "h" ? (is_signed ? std::int16_t(v) : std::uint16_t(v)) : v;
              if (is_signed)
                std::snprintf(theirs, sizeof theirs, c_format.c_str(), narrow);
              else
                std::snprintf(theirs, sizeof theirs, c_format.c_str(), static_cast<std::uint32_t>(narrow));
              ASSERT_EQ(ours, theirs) << format << " of " << v;
            }
          }
}

TEST(CrtFormat, FiniteFloatsHaveThreeDigitExponents) {
  const struct {
    const char* format;
    double value;
    const char* expected;
  } rows[] = {
      {"%g", 2.0, "2"},
      {"%g", 0.1, "0.1"},
      {"%g", 1234567.0, "1.23457e+006"},
      {"%g", 1e20, "1e+020"},
      {"%g", 1e-5, "1e-005"},
      {"%g", 1e300, "1e+300"},
      {"%g", 0.0001, "0.0001"},
      {"%G", 1e-10, "1E-010"},
      {"%e", 1.0, "1.000000e+000"},
      {"%E", -12345.678, "-1.234568E+004"},
      {"%10.3e", 1e20, "1.000e+020"},
      {"%12.3e", 1e20, "  1.000e+020"},
      {"%-12.3e|", 1e20, "1.000e+020  |"},
      {"%012.3e", -1e20, "-01.000e+020"},
      {"%013.3e", -1e20, "-001.000e+020"},
      {"%f", 1.5, "1.500000"},
      {"%.2f", 2.345, "2.35"},
      {"%.0f", 2.5, "3"},  // halves round up on the digit string
      {"%.0f", 0.5, "1"},
      {"%.2f", 0.125, "0.13"},
      {"%.2f", 0.005, "0.01"},
      {"%.1f", 0.04, "0.0"},
      {"%.0f", 0.4, "0"},
      {"%f", 0.0, "0.000000"},
      {"%e", 0.0, "0.000000e+000"},
      {"%g", 0.0, "0"},
      {"%g", 1234565.0, "1.23457e+006"},
      {"%g", 999999.5, "1e+006"},
      {"%g", 99999.95, "99999.9"},
      {"%g", 100000.0, "100000"},
      {"%g", 0.00012345, "0.00012345"},
      {"%g", 1.5e-300, "1.5e-300"},
      {"%g", 5e-324, "4.94066e-324"},
      {"%.3e", 9.9996, "1.000e+001"},
      {"%.20f", 0.1, "0.10000000000000001000"},  // 17 significant digits, then zeros
      {"%f", 1e23, "99999999999999992000000.000000"},
      {"%.1f", 99.96, "100.0"},
      {"%#.3g", 1.0, "1.00"},
      {"%.0e", 12345.0, "1e+004"},
      {"%#.0e", 12345.0, "1.e+004"},
      {"%#.0f", 3.0, "3."},
      {"%+.1f", 3.0, "+3.0"},
      {"% .1f", 3.0, " 3.0"},
      {"%8.2f", -3.14159, "   -3.14"},
      {"%08.2f", -3.14159, "-0003.14"},
      {"%#g", 2.0, "2.00000"},
      {"%lf", 0.5, "0.500000"},
      {"%Lg", 0.5, "0.5"},
      {"%.3g", 1234.0, "1.23e+003"},
      {"%g", -0.0, "-0"},
      {"(%g)", 0.25, "(0.25)"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    std::string out;
    EXPECT_TRUE(format_double(r.format, r.value, out));
    EXPECT_EQ(out, r.expected);
  }
}

// Cuts that carry into a new leading digit, points far left or right of the digits, and
// fields padded after text already in the output, which must stay as it was.
TEST(CrtFormat, CarriesZeroRunsAndFieldsAfterEarlierText) {
  const struct {
    const char* before;
    const char* format;
    double value;
    const char* expected;
  } rows[] = {
      {"", "%.2f", 99.995, "100.00"},
      {"", "%.2f", 9.995, "9.99"},  // 9.9949999999999992 on the digit string
      {"", "%.0f", 9.5, "10"},
      {"", "%.3f", 0.0005, "0.001"},
      {"", "%.1f", 0.05, "0.1"},
      {"", "%.2f", 1e-300, "0.00"},
      {"", "%.2f", 123456789.125, "123456789.13"},
      {"", "%.2f", 1e22, "10000000000000000000000.00"},
      {"", "%.3g", 99.95, "100"},
      {"", "%.17g", 0.1, "0.10000000000000001"},
      {"", "%E", 1e-300, "1.000000E-300"},
      {"", "%.1f", -0.0, "-0.0"},
      {"", "%.1e", inf, "1.$e+000"},
      {"", "%08.3f", inf, "0001.#IO"},
      {"abc", "%8.2f", 3.14159, "abc    3.14"},
      {"abc", "%-8.1f|", -2.25, "abc-2.3    |"},
      {"abc", "%+08.2f", 3.14159, "abc+0003.14"},
      {"abc", "%010.2f", -1.5, "abc-000001.50"},
      {"abc", "x%%%10.4g%%", 3.14159265, "abcx%     3.142%"},
      {"abc", "%#.0e", 5.5, "abc6.e+000"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    std::string out = r.before;
    EXPECT_TRUE(format_double(r.format, r.value, out));
    EXPECT_EQ(out, r.expected);
  }
}

// The 17 digits behind every float conversion, against the C++ library's correctly rounded
// "%.16e" digits: bit patterns of every range, two-decimal amounts, and halves that sit
// exactly between two 17-digit results (rounded to the even one).
TEST(CrtFormat, SeventeenDigitsMatchTheLibrary) {
  std::uint64_t state = 88172645463325252u;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  std::vector<double> values = {1000000000000000.25, 1000000000000000.75, 1e17, 1e22, 1e23, 1e-6, 1e-7,
                                0.1, 5e-324, 1.7976931348623157e308, 9007199254740993.0};
  for (int i = 0; i < 20000; ++i) {
    values.push_back(std::fabs(nan_from_bits(next())));
    values.push_back(static_cast<double>(next() % 100000000) / 100.0);
    values.push_back(static_cast<double>((next() % 5000000000000000u + 4000000000000000u) | 1) / 4);
  }
  for (double v : values) {
    if (!std::isfinite(v) || v == 0.0)
      continue;
    char lib[40];
    char* end = std::to_chars(lib, lib + sizeof lib - 1, v, std::chars_format::scientific, 16).ptr;
    *end = '\0';
    std::string expected(lib, 18);  // d.dddddddddddddddd; the exponent is compared below
    std::string out;
    ASSERT_TRUE(format_double("%.16e", v, out));
    SCOPED_TRACE(expected);
    EXPECT_EQ(out.substr(0, 18), expected);
    EXPECT_EQ(std::atoi(out.c_str() + 19), std::atoi(lib + 19));
  }
}

TEST(CrtFormat, InfinityAndNanFamily) {
  const double indefinite = nan_from_bits(0xFFF8000000000000u);
  const double quiet = nan_from_bits(0x7FF8000000000000u);
  const double negative_quiet_payload = nan_from_bits(0xFFF8000000000001u);
  const double signalling = nan_from_bits(0x7FF0000000000001u);
  volatile double zero = 0.0;
  const struct {
    const char* format;
    double value;
    const char* expected;
  } rows[] = {
      {"%g", inf, "1.#INF"},
      {"%g", -inf, "-1.#INF"},
      {"%g", zero / zero, "-1.#IND"},
      {"%g", indefinite, "-1.#IND"},
      {"%g", quiet, "1.#QNAN"},
      {"%g", negative_quiet_payload, "-1.#QNAN"},
      {"%g", signalling, "1.#SNAN"},
      {"%f", inf, "1.#INF00"},
      {"%f", indefinite, "-1.#IND00"},
      {"%f", quiet, "1.#QNAN0"},
      {"%e", inf, "1.#INF00e+000"},
      {"%E", -inf, "-1.#INF00E+000"},
      {"%.0f", inf, "1"},
      {"%.1f", inf, "1.$"},
      {"%.2f", inf, "1.#J"},
      {"%.3f", inf, "1.#IO"},
      {"%.4f", inf, "1.#INF"},
      {"%#.0f", inf, "1."},
      {"%.2f", quiet, "1.#R"},
      {"%.3g", inf, "1.#J"},
      {"%.1g", inf, "1"},
      {"%#g", inf, "1.#INF0"},
      {"%10g", inf, "    1.#INF"},
      {"%-10g|", -inf, "-1.#INF   |"},
      {"%010g", -inf, "-0001.#INF"},
      {"%+g", inf, "+1.#INF"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    std::string out;
    EXPECT_TRUE(format_double(r.format, r.value, out));
    EXPECT_EQ(out, r.expected);
  }
}

TEST(CrtFormat, Strings) {
  const struct {
    const char* format;
    std::string value;
    const char* expected;
  } rows[] = {
      {"%s", "abc", "abc"},
      {"%-6s|", "abc", "abc   |"},
      {"%6s", "abc", "   abc"},
      {"%.2s", "abc", "ab"},
      {"%5.1s", "abc", "    a"},
      {"%05s", "ab", "000ab"},
      {"%hs", "x", "x"},
      {"[%s]", "a\0b"s, "[a]"},
      {"%s", "", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    std::string out;
    EXPECT_TRUE(format_string(r.format, r.value, out));
    EXPECT_EQ(out, r.expected);
  }
}

// Formats that cannot be fed by exactly one value of the function's kind are refused
// and leave the output alone.
TEST(CrtFormat, RefusedFormats) {
  const char* int_refused[] = {"", "plain", "%", "%d %d", "%*d", "%.*d", "%n", "%p", "%lld",
                               "%I64d", "%Ld", "%lc", "%f", "%s", "%5000d", "%.99999999999d",
                               "%d%", "%y", "%hhd"};
  for (const char* f : int_refused) {
    SCOPED_TRACE(f);
    std::string out = "keep";
    EXPECT_FALSE(format_int(f, 1, out));
    EXPECT_EQ(out, "keep");
  }
  const char* float_refused[] = {"%d", "%a", "%F", "%hf", "%g%g", "%.5000f", "%s"};
  for (const char* f : float_refused) {
    SCOPED_TRACE(f);
    std::string out;
    EXPECT_FALSE(format_double(f, 1.0, out));
    EXPECT_EQ(out, "");
  }
  const char* string_refused[] = {"%ls", "%d", "%s%s", "%*s", "%S"};
  for (const char* f : string_refused) {
    SCOPED_TRACE(f);
    std::string out;
    EXPECT_FALSE(format_string(f, "x", out));
  }
}

TEST(CrtFormat, LargestAcceptedFieldsStayBounded) {
  std::string out;
  ASSERT_TRUE(format_double("%.4096f", 1e308, out));
  EXPECT_EQ(out.size(), 309u + 1u + 4096u);
  out.clear();
  ASSERT_TRUE(format_int("%4096d", 1, out));
  EXPECT_EQ(out.size(), 4096u);
  out.clear();
  ASSERT_TRUE(format_double("%4096.4096e", -inf, out));
  EXPECT_EQ(out.size(), 3u + 4096u + 5u);  // "-1." digits "e+000"
}

TEST(CrtFormat, ParseSingleConversionReportsPlace) {
  conversion_spec spec;
  ASSERT_TRUE(parse_single_conversion("T=%-08.3lf C", spec));
  EXPECT_EQ(spec.begin, 2u);
  EXPECT_EQ(spec.end, 10u);
  EXPECT_TRUE(spec.left);
  EXPECT_TRUE(spec.zero);
  EXPECT_EQ(spec.width, 8);
  EXPECT_EQ(spec.precision, 3);
  EXPECT_EQ(spec.length, 'l');
  EXPECT_EQ(spec.conversion, 'f');
}

struct class_row {
  codepage cp;
  int c;
  bool space, alpha, upper, lower;
  int to_up, to_low;
};

class CrtCharClass : public testing::Test {
protected:
  void TearDown() override { set_codepage(saved_); }
  codepage saved_ = current_codepage();
};

TEST_F(CrtCharClass, ClassesAndCasePerCodePage) {
  const auto w = codepage::cp1252;
  const auto c = codepage::cp1251;
  const auto g = codepage::gbk;
  const class_row rows[] = {
      // ASCII, the same everywhere
      {w, 'a', false, true, false, true, 'A', 'a'},
      {c, 'Z', false, true, true, false, 'Z', 'z'},
      {g, 'q', false, true, false, true, 'Q', 'q'},
      {w, ' ', true, false, false, false, ' ', ' '},
      {w, '\v', true, false, false, false, '\v', '\v'},
      {w, '5', false, false, false, false, '5', '5'},
      {w, 0x1C, false, false, false, false, 0x1C, 0x1C},
      // windows-1252
      {w, 0xA0, true, false, false, false, 0xA0, 0xA0},
      {w, 0xC0, false, true, true, false, 0xC0, 0xE0},
      {w, 0xE9, false, true, false, true, 0xC9, 0xE9},
      {w, 0xD7, false, false, false, false, 0xD7, 0xD7},
      {w, 0xF7, false, false, false, false, 0xF7, 0xF7},
      {w, 0xDF, false, true, false, true, 0xDF, 0xDF},
      {w, 0xFF, false, true, false, true, 0x9F, 0xFF},
      {w, 0x9F, false, true, true, false, 0x9F, 0xFF},
      {w, 0x8A, false, true, true, false, 0x8A, 0x9A},
      {w, 0x9C, false, true, false, true, 0x8C, 0x9C},
      {w, 0x9E, false, true, false, true, 0x8E, 0x9E},
      {w, 0x83, false, true, false, true, 0x83, 0x83},
      {w, 0xB5, false, true, false, true, 0xB5, 0xB5},
      {w, 0xAA, false, true, false, true, 0xAA, 0xAA},
      {w, 0x80, false, false, false, false, 0x80, 0x80},
      {w, 0x85, false, false, false, false, 0x85, 0x85},
      // windows-1251
      {c, 0xA0, true, false, false, false, 0xA0, 0xA0},
      {c, 0xC0, false, true, true, false, 0xC0, 0xE0},
      {c, 0xFF, false, true, false, true, 0xDF, 0xFF},
      {c, 0xA8, false, true, true, false, 0xA8, 0xB8},
      {c, 0xB8, false, true, false, true, 0xA8, 0xB8},
      {c, 0x80, false, true, true, false, 0x80, 0x90},
      {c, 0x83, false, true, false, true, 0x81, 0x83},
      {c, 0xB2, false, true, true, false, 0xB2, 0xB3},
      {c, 0xB4, false, true, false, true, 0xA5, 0xB4},
      {c, 0xB5, false, true, false, true, 0xB5, 0xB5},
      {c, 0xD7, false, true, true, false, 0xD7, 0xF7},
      {c, 0x88, false, false, false, false, 0x88, 0x88},
      {c, 0xB9, false, false, false, false, 0xB9, 0xB9},
      // GBK: high bytes are halves of double-byte characters
      {g, 0xC0, false, false, false, false, 0xC0, 0xC0},
      {g, 0xA0, false, false, false, false, 0xA0, 0xA0},
      {g, 0xE9, false, false, false, false, 0xE9, 0xE9},
      // outside the byte range
      {w, -1, false, false, false, false, -1, -1},
      {w, 256, false, false, false, false, 256, 256},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(codepage_iconv_name(r.cp)) + " byte " + std::to_string(r.c));
    set_codepage(r.cp);
    EXPECT_EQ(is_space(r.c), r.space);
    EXPECT_EQ(is_alpha(r.c), r.alpha);
    EXPECT_EQ(is_upper(r.c), r.upper);
    EXPECT_EQ(is_lower(r.c), r.lower);
    EXPECT_EQ(to_upper(r.c), r.to_up);
    EXPECT_EQ(to_lower(r.c), r.to_low);
  }
}

// Every case pair of every code page maps both ways, and case mapping keeps letters letters.
TEST_F(CrtCharClass, CaseMappingIsConsistent) {
  for (codepage cp : {codepage::cp1252, codepage::cp1251, codepage::gbk}) {
    set_codepage(cp);
    for (int ch = 0; ch < 256; ++ch) {
      SCOPED_TRACE(std::string(codepage_iconv_name(cp)) + " byte " + std::to_string(ch));
      if (is_lower(ch) && to_upper(ch) != ch) {
        EXPECT_TRUE(is_upper(to_upper(ch)));
        EXPECT_EQ(to_lower(to_upper(ch)), ch);
      }
      if (is_upper(ch)) {
        EXPECT_TRUE(is_lower(to_lower(ch)));
        EXPECT_EQ(to_upper(to_lower(ch)), ch);
      }
      if (!is_alpha(ch)) {
        EXPECT_EQ(to_upper(ch), ch);
        EXPECT_EQ(to_lower(ch), ch);
      }
      EXPECT_FALSE(is_upper(ch) && is_lower(ch));
    }
  }
}

TEST(CrtCodepage, NamesParse) {
  const struct {
    const char* name;
    bool ok;
    codepage cp;
  } rows[] = {
      {"1252", true, codepage::cp1252}, {"Windows-1251", true, codepage::cp1251},
      {"CP936", true, codepage::gbk},   {"gbk", true, codepage::gbk},
      {"utf-8", false, codepage::cp1252}, {"", false, codepage::cp1252},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    codepage cp = codepage::cp1252;
    EXPECT_EQ(parse_codepage(r.name, cp), r.ok);
    EXPECT_EQ(cp, r.cp);
  }
}

}  // namespace
}  // namespace quillet::crt
