// The float conversions' direct paths against the digit-string rendering: for every value and
// conversion the two must give the same bytes, so the tables below aim at the places where a
// shortcut goes wrong: cuts that round half up on the seventeenth digit, carries into a new
// leading digit, points far from the digits, magnitudes at the edges of exact arithmetic.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/crt/format_field.h"
#include "platform/crt/printf_format.h"

namespace quillet::crt {
namespace {

using namespace std::string_literals;

// Every conversion a value is tried with: each precision of f, e and g, and the flags and
// widths around them.
std::vector<conversion_spec> all_specs() {
  std::vector<std::string> texts;
  for (int p = 0; p <= 20; ++p) {
    for (const char* letter : {"f", "e", "g"})
      texts.push_back("%." + std::to_string(p) + letter);
  }
  for (const char* t : {"%f", "%e", "%E", "%g", "%G", "%+8.3f", "%-10.2f|", "%010.1f", "% .4e", "%#.0f",
                        "%#.0e", "%#.3g", "%12.5E", "%-+14.6f", "%03.0f", "%.40f", "%.64f", "%.65f",
                        "%.30e", "%#f", "%1.2f", "%25.17f", "%#g", "%#.0g", "%-12.4G|", "%+g", "%#.14G",
                        "%8.2f", "% 9.2f", "%+012.3e", "%-08.2f|", "%0150.2f", "%150.2f"})
    texts.push_back(t);
  std::vector<conversion_spec> specs;
  for (const auto& t : texts) {
    conversion_spec spec;
    EXPECT_TRUE(parse_single_conversion(t, spec)) << t;
    specs.push_back(spec);
  }
  return specs;
}

// Values where the digits or the cut are awkward: decimals of two and three places and the
// halves between them with their neighbours, powers of ten and their neighbours, the ends of
// the range, nines that carry, zeros of both signs and the specials.
std::vector<double> awkward_values() {
  std::vector<double> v = {0.0, -0.0, 0.5, 1.5, 2.5, 9.5, 0.05, 0.005, 0.0005, 99.995, 999.9995, 0.125,
                           9.9996, 99.96, 1e23, 1e22, 5e-324, 2.2250738585072014e-308,
                           std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(), 0.30000000000000004,
                           4503599627370496.5, 9007199254740993.0, 123456789012345678.0,
                           0.1, 0.7, 0.95, 0.995, 0.9999999999999999, 1125899906842624.25,
                           1125899906842624.75, 562949953421312.125, 562949953421312.375};
  for (int k = 0; k <= 20000; k += 17) {
    v.push_back(k / 100.0);
    v.push_back(k / 1000.0 + 0.0005);
    v.push_back(k / 100.0 + 0.005);
  }
  for (int n = -40; n <= 40; ++n) {
    double p = std::pow(10.0, n);
    for (double x : {p, 5 * p, 9.5 * p, 0.5 * p})
      v.insert(v.end(), {x, std::nextafter(x, 0.0), std::nextafter(x, 1e300)});
  }
  for (double x : {0x1p-75, 0x1p-74, 0x1p-76, 0x1p126, 0x1p127, 0x1p128, 0x1p-1022, 0x1p1023, 0x1p-12, 0x1p-11,
                   0x1p-10, 0x1p52, 0x1p53, 0x1p54})
    v.insert(v.end(), {x, std::nextafter(x, 0.0), std::nextafter(x, 1e300)});
  std::size_t n = v.size();
  for (std::size_t i = 0; i < n; ++i)
    v.push_back(-v[i]);
  return v;
}

// Compares one value under every conversion; returns the number of mismatches, reporting the
// first few.
int compare_all(double value, const std::vector<conversion_spec>& specs, int& reported) {
  int mismatches = 0;
  std::string direct, general;
  for (const auto& spec : specs) {
    direct = "<";  // text already in the output stays as it was
    general = "<";
    format_double_spec(spec, value, direct);
    format_double_spec_general(spec, value, general);
    if (direct == general)
      continue;
    ++mismatches;
    if (reported++ < 10)
      ADD_FAILURE() << "value bits " << std::hex << std::bit_cast<std::uint64_t>(value) << std::dec
                    << " (" << value << "), conversion " << spec.conversion << " precision "
                    << spec.precision << " width " << spec.width << ": direct '" << direct
                    << "', digit string '" << general << "'";
  }
  return mismatches;
}

TEST(CrtFloatDirect, AwkwardValuesMatchTheDigitString) {
  auto specs = all_specs();
  int reported = 0, mismatches = 0;
  for (double v : awkward_values())
    mismatches += compare_all(v, specs, reported);
  EXPECT_EQ(mismatches, 0);
}

TEST(CrtFloatDirect, RandomValuesMatchTheDigitString) {
  auto specs = all_specs();
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> cents(0, 1e6);
  std::uniform_int_distribution<int> exponents(-30, 40);
  int reported = 0, mismatches = 0;
  for (int i = 0; i < 1500; ++i) {
    // Any bit pattern (specials and subnormals included), a decimal of two places as
    // reports print them, and a random significand at a magnitude within exact reach.
    double bits = std::bit_cast<double>(random());
    double decimal = std::round(cents(random)) / 100;
    double scaled = std::ldexp(static_cast<double>(random() >> 11), -52) * std::pow(10.0, exponents(random));
    for (double v : {bits, decimal, scaled})
      mismatches += compare_all(v, specs, reported);
  }
  EXPECT_EQ(mismatches, 0);
}

// Known texts of the direct paths' common cases, so a fault shared by both renderings shows.
TEST(CrtFloatDirect, CommonConversionsPrintKnownTexts) {
  const struct {
    const char* format;
    double value;
    const char* expected;
  } rows[] = {
      {"%.2f", 12.345, "12.35"},  // 1.2345000000000000e1: the 5 rounds up on the digit string
      {"%.2f", 99.995, "100.00"},
      {"%.2f", -0.004, "-0.00"},
      {"%.2f", 0.0, "0.00"},
      {"%.2f", -0.0, "-0.00"},
      {"%.0f", 0.5, "1"},
      {"%.0f", 0.49999999999999994, "0"},
      {"%.3f", 1e-30, "0.000"},
      {"%.17f", 1e-17, "0.00000000000000001"},
      {"%.16f", 5e-17, "0.0000000000000000"},  // 4.9999999999999999e-17: its first digit decides
      {"%.2f", 1e38, "99999999999999998000000000000000000000.00"},
      {"%.2f", 2251799813685248.5, "2251799813685248.50"},
      // Eighteen exact digits ending in 5: the seventeenth is rounded half to even first.
      {"%.2f", 1125899906842624.25, "1125899906842624.20"},
      {"%.2f", 1125899906842624.75, "1125899906842624.80"},
      {"%.1e", 1125899906842624.25, "1.1e+015"},
      {"%10.2f|", 3.14159, "      3.14|"},
      {"%-10.2f|", -3.14159, "-3.14     |"},
      {"%+010.2f", 3.14159, "+000003.14"},
      {"%.3e", 12345.678, "1.235e+004"},
      {"%.2e", 9.995, "9.99e+000"},  // 9.9949999999999992
      {"%.2e", 9.9951, "1.00e+001"},
      {"%E", 1e-20, "1.000000E-020"},
      {"%#.0e", 5.0, "5.e+000"},
      {"%.20e", 0.1, "1.00000000000000010000e-001"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.format);
    std::string out;
    EXPECT_TRUE(format_double(r.format, r.value, out));
    EXPECT_EQ(out, r.expected);
  }
}

}  // namespace
}  // namespace quillet::crt
