// FORMAT through the general library: the conversion checks, the value readings, the
// original float texts and the 1023-byte cut.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "builtins_support.h"

namespace quillet::test {
namespace {

const char* const err = "#FORMAT():ERR#";

TEST(Format, IntegerConversions) {
  run_cases({
      {"FORMAT", {sv("%d"), fv(2.9)}, "s:2"},
      {"FORMAT", {sv("%d"), fv(-2.9)}, "s:-2"},
      {"FORMAT", {sv("%i"), iv(7)}, "s:7"},
      {"FORMAT", {sv("%hd"), iv(70000)}, "s:4464"},
      {"FORMAT", {sv("%hd"), iv(40000)}, "s:-25536"},
      {"FORMAT", {sv("%hu"), iv(-1)}, "s:65535"},
      {"FORMAT", {sv("%hx"), iv(70000)}, "s:1170"},
      {"FORMAT", {sv("%x"), sv("12")}, "s:c"},
      {"FORMAT", {sv("%X"), iv(255)}, "s:FF"},
      {"FORMAT", {sv("%#x"), iv(255)}, "s:0xff"},
      {"FORMAT", {sv("%u"), iv(-1)}, "s:4294967295"},
      {"FORMAT", {sv("%ld"), iv(-5)}, "s:-5"},
      {"FORMAT", {sv("%Ld"), iv(5)}, "s:5"},
      {"FORMAT", {sv("%lx"), iv(-1)}, "s:ffffffff"},
      {"FORMAT", {sv("%05d"), iv(-42)}, "s:-0042"},
      {"FORMAT", {sv("%+d"), iv(5)}, "s:+5"},
      {"FORMAT", {sv("[%-5d]"), iv(1)}, "s:[1    ]"},
      {"FORMAT", {sv("% d"), iv(3)}, "s: 3"},
      {"FORMAT", {sv("%.3d"), iv(7)}, "s:007"},
      {"FORMAT", {sv("%d"), anyval::from_vector({iv(1), iv(2), iv(3)})}, "s:3"},
      {"FORMAT", {sv("%d"), sv("0x10")}, "s:16"},
      {"FORMAT", {sv("%d"), anyval::from_vector({})}, "s:0"},
  });
}

TEST(Format, FloatConversions) {
  run_cases({
      {"FORMAT", {sv("%5.1f"), fv(3.14159)}, "s:  3.1"},
      {"FORMAT", {sv("%f"), iv(2)}, "s:2.000000"},
      {"FORMAT", {sv("%.2f"), sv("1.005e2")}, "s:100.50"},
      {"FORMAT", {sv("%e"), fv(1e20)}, "s:1.000000e+020"},
      {"FORMAT", {sv("%E"), fv(-1.5e-7)}, "s:-1.500000E-007"},
      {"FORMAT", {sv("%g"), fv(1e20)}, "s:1e+020"},
      {"FORMAT", {sv("%G"), fv(0.0001)}, "s:0.0001"},
      {"FORMAT", {sv("%g"), fv(INFINITY)}, "s:1.#INF"},
      {"FORMAT", {sv("%g"), fv(-INFINITY)}, "s:-1.#INF"},
      {"FORMAT", {sv("%f"), fv(INFINITY)}, "s:1.#INF00"},
      {"FORMAT", {sv("%lf"), fv(1.5)}, "s:1.500000"},
      {"FORMAT", {sv("%Lf"), fv(1.5)}, "s:1.500000"},
      {"FORMAT", {sv("%hf"), fv(1.5)}, "s:1.500000"},
      {"FORMAT", {sv("%Lg"), fv(1e100)}, "s:1e+100"},
  });
}

TEST(Format, StringsAndLiteralText) {
  run_cases({
      {"FORMAT", {sv("%s"), sv("abc")}, "s:abc"},
      {"FORMAT", {sv("<%5s>"), sv("ab")}, "s:<   ab>"},
      {"FORMAT", {sv("<%-5s>"), sv("ab")}, "s:<ab   >"},
      {"FORMAT", {sv("%.2s"), sv("abcdef")}, "s:ab"},
      {"FORMAT", {sv("%hs"), sv("abc")}, "s:abc"},
      {"FORMAT", {sv("%s"), sv(std::string("a\0b", 3))}, "s:a"},
      {"FORMAT", {sv("%%%d"), iv(5)}, "s:%5"},
      {"FORMAT", {sv("100%%: %d%%"), iv(5)}, "s:100%: 5%"},
      {"FORMAT", {sv("Value: %d units"), iv(12)}, "s:Value: 12 units"},
      {"FORMAT", {sv(std::string("%d\0%d", 5)), iv(4)}, "s:4"},
  });
}

TEST(Format, RefusedSpecificationsAndValues) {
  run_cases({
      {"FORMAT", {sv("%s"), iv(12)}, err},
      {"FORMAT", {sv("%s"), fv(1.5)}, err},
      {"FORMAT", {sv("abc"), iv(1)}, err},
      {"FORMAT", {sv(""), iv(1)}, err},
      {"FORMAT", {sv("100%%"), iv(1)}, err},
      {"FORMAT", {sv("%*d"), iv(5)}, err},
      {"FORMAT", {sv("%o"), iv(8)}, err},
      {"FORMAT", {sv("%c"), iv(65)}, err},
      {"FORMAT", {sv("%p"), iv(1)}, err},
      {"FORMAT", {sv("%n"), iv(1)}, err},
      {"FORMAT", {sv("%I64d"), iv(1)}, err},
      {"FORMAT", {sv("%lld"), iv(1)}, err},
      {"FORMAT", {sv("%"), iv(1)}, err},
      {"FORMAT", {sv("%5"), iv(1)}, err},
      {"FORMAT", {sv("%d"), sv("abc")}, err},
      {"FORMAT", {sv("%f"), sv("1.5x")}, err},
      // A second conversion would read a value that was never supplied.
      {"FORMAT", {sv("%d %d"), iv(1)}, err},
      {"FORMAT", {sv("%d%s"), iv(1)}, err},
      {"FORMAT", {sv("%s%n"), sv("a")}, err},
      {"FORMAT", {sv("%d%"), iv(1)}, err},
      // Wide strings have no reading here.
      {"FORMAT", {sv("%ls"), sv("a")}, err},
      {"FORMAT", {sv("%Ls"), sv("a")}, err},
      {"FORMAT", {sv(std::string("ab\0%d", 5)), iv(1)}, err},
  });
}

TEST(Format, ArgumentFailures) {
  run_cases({
      {"FORMAT", {sv("%d")}, "#FORMAT():ARGS#"},
      {"FORMAT", {}, "#FORMAT():ARGS#"},
      {"FORMAT", {sv("%d"), iv(1), iv(2)}, "#FORMAT():ARGS#"},
      {"FORMAT", {iv(5), iv(1)}, "#FORMAT():FMT#"},
      {"FORMAT", {anyval(), iv(1)}, "#FORMAT():FMT#"},
      {"FORMAT", {sv("%d"), anyval()}, "#FORMAT():VAL"},
      {"FORMAT", {iv(5), anyval()}, "#FORMAT():FMT#"},
  });
}

// A report calls FORMAT with one format over and over and then switches: each call must
// answer for its own format, whether it is the one before or another, refused ones and
// formats that differ only after a zero byte included.
TEST(Format, RepeatedAndAlternatingFormats) {
  const std::vector<builtin_case> rows = {
      {"FORMAT", {sv("%.2f"), fv(12.345)}, "s:12.35"},
      {"FORMAT", {sv("%.2f"), fv(-0.004)}, "s:-0.00"},
      {"FORMAT", {sv("%.2f"), iv(7)}, "s:7.00"},
      {"FORMAT", {sv("%.2f"), sv("x")}, err},
      {"FORMAT", {sv("%.2f%"), fv(1.0)}, err},
      {"FORMAT", {sv("%.2e"), fv(12.345)}, "s:1.23e+001"},
      {"FORMAT", {sv("<%.2f>"), fv(1.0)}, "s:<1.00>"},
      {"FORMAT", {sv("%%%.1f%%"), fv(99.96)}, "s:%100.0%"},
      {"FORMAT", {sv(std::string("%d\0%s", 5)), iv(3)}, "s:3"},
      {"FORMAT", {sv("%d"), iv(4)}, "s:4"},
      {"FORMAT", {sv(std::string("%d\0%x", 5)), iv(5)}, "s:5"},
      {"FORMAT", {sv("%s"), iv(1)}, err},
      {"FORMAT", {sv("%s"), sv("abc")}, "s:abc"},
      {"FORMAT", {sv(""), iv(1)}, err},
      {"FORMAT", {sv("%8.3lf|"), fv(-2.5)}, "s:  -2.500|"},
      {"FORMAT", {sv("%hd"), iv(70000)}, "s:4464"},
      {"FORMAT", {sv("%hs"), sv("ab")}, "s:ab"},
  };
  std::vector<builtin_case> twice;
  for (int round = 0; round < 2; ++round) {
    for (const auto& row : rows)
      twice.insert(twice.end(), {row, row});
  }
  run_cases(twice);
}

// Formats of one length that differ in a single byte, at each place in turn, each give their
// own text however they follow one another.
TEST(Format, FormatsDifferingInOneByte) {
  for (std::size_t length = 0; length <= 18; ++length) {
    const std::string base = std::string(length, 'a') + "%d";
    for (std::size_t at = 0; at < length; ++at) {
      std::string other = base;
      other[at] = 'b';
      for (const std::string& f : {base, other, base, other})
        EXPECT_EQ(call_builtin("FORMAT", {sv(f), iv(1)}), "s:" + f.substr(0, length) + "1") << f;
    }
  }
}

TEST(Format, LongOutputIsCutTo1023Bytes) {
  std::string a1500(1500, 'a');
  run_cases({
      {"FORMAT", {sv("%1023d"), iv(1)}, ("s:" + std::string(1022, ' ') + "1").c_str()},
      {"FORMAT", {sv("%1024d"), iv(1)}, ("s:" + std::string(1023, ' ')).c_str()},
      {"FORMAT", {sv("%2000d"), iv(7)}, ("s:" + std::string(1023, ' ')).c_str()},
      {"FORMAT", {sv(a1500 + "%d"), iv(1)}, ("s:" + std::string(1023, 'a')).c_str()},
      {"FORMAT", {sv("%d" + a1500), iv(42)}, ("s:42" + std::string(1021, 'a')).c_str()},
      {"FORMAT", {sv("%s"), sv(a1500)}, ("s:" + std::string(1023, 'a')).c_str()},
      {"FORMAT", {sv("%.1000f"), fv(1.0)}, ("s:1." + std::string(1000, '0')).c_str()},
      {"FORMAT", {sv("%.1100f"), fv(1.0)}, ("s:1." + std::string(1021, '0')).c_str()},
      // Widths beyond what the formatter pads are refused rather than padded.
      {"FORMAT", {sv("%99999999999d"), iv(1)}, "#FORMAT():ERR#"},
  });
}

}  // namespace
}  // namespace quillet::test
