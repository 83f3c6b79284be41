// Type conversion and type tests: INT, NUM, STR, CHR, ISINT, ISNUM, ISSTR, ISVEC.
#include <gtest/gtest.h>

#include "builtins_support.h"

namespace quillet::test {
namespace {

using namespace std::string_view_literals;

TEST(BuiltinsTypes, Conversions) {
  run_cases({
      {"INT", {}, "i:0"},
      {"INT", {none()}, "i:0"},
      {"INT", {fv(2.9)}, "i:2"},
      {"INT", {fv(-2.9)}, "i:-2"},
      {"INT", {sv("0x10")}, "i:16"},
      {"INT", {sv("12abc")}, "i:0"},
      {"INT", {sv("abc")}, "i:0"},
      {"INT", {vec({iv(1), iv(2), iv(3)})}, "i:3"},
      {"INT", {iv(7), sv("ignored")}, "i:7"},
      {"NUM", {}, "i:0"},
      {"NUM", {none()}, "i:0"},
      {"NUM", {iv(3)}, "i:3"},
      {"NUM", {fv(2.5)}, "f:2.5"},
      {"NUM", {sv("3")}, "f:3"},
      {"NUM", {sv("1.5e3 ")}, "f:1500"},
      {"NUM", {sv("abc")}, "f:0"},
      {"NUM", {sv("1.5x")}, "f:0"},
      {"NUM", {vec({iv(1), none()})}, "f:2"},
      {"STR", {}, "s:"},
      {"STR", {none()}, "s:"},
      {"STR", {sv("abc")}, "s:abc"},
      {"STR", {iv(-5)}, "s:-5"},
      {"STR", {fv(2.0)}, "s:2"},
      {"STR", {fv(0.1)}, "s:0.1"},
      {"STR", {vec({iv(1), iv(2), iv(3)})}, "s:3"},
      {"CHR", {iv(65)}, "s:A"},
      {"CHR", {iv(321)}, "s:A"},
      {"CHR", {iv(-191)}, "s:A"},
      {"CHR", {iv(0)}, "s:"},
      {"CHR", {iv(256)}, "s:"},
      {"CHR", {sv("x")}, "s:"},
      {"CHR", {none()}, "s:"},
      {"CHR", {fv(66.9)}, "s:B"},
      {"CHR", {iv(0xE9)}, "s:\xE9"},
      {"CHR", {}, "#CHR:ARGS#"},
      {"CHR", {iv(65), iv(66)}, "#CHR:ARGS#"},
  });
}

TEST(BuiltinsTypes, TypeTests) {
  run_cases({
      {"ISINT", {iv(1)}, "i:1"},   {"ISINT", {fv(1)}, "i:0"},   {"ISINT", {sv("1")}, "i:0"},
      {"ISINT", {vec({})}, "i:0"}, {"ISINT", {}, "i:0"},        {"ISINT", {none()}, "i:0"},
      {"ISNUM", {iv(1)}, "i:1"},   {"ISNUM", {fv(1)}, "i:1"},   {"ISNUM", {sv("1")}, "i:0"},
      {"ISNUM", {vec({})}, "i:0"}, {"ISNUM", {}, "i:0"},        {"ISSTR", {sv("")}, "i:1"},
      {"ISSTR", {iv(1)}, "i:0"},   {"ISSTR", {none()}, "i:0"},  {"ISVEC", {vec({})}, "i:1"},
      {"ISVEC", {sv("a")}, "i:0"}, {"ISVEC", {}, "i:0"},        {"ISINT", {sv("a"), iv(1)}, "i:0"},
  });
}

// NUM and STR hand back the very value they were given when it already has the kind.
TEST(BuiltinsTypes, SameValueReturned) {
  struct row {
    const char* name;
    anyval arg;
    bool same;
  };
  const std::vector<row> rows = {
      {"NUM", iv(3), true}, {"NUM", fv(3.5), true}, {"NUM", sv("3"), false},
      {"STR", sv("x"), true}, {"STR", iv(3), false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    anyval result;
    call_builtin(r.name, {r.arg}, result);
    EXPECT_EQ(result == r.arg, r.same);
  }
}

}  // namespace
}  // namespace quillet::test
