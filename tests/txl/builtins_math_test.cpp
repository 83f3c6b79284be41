// The math built-ins: forms chosen by the arguments, results and silent failures.
#include <gtest/gtest.h>

#include "builtins_support.h"

namespace quillet::test {
namespace {

TEST(BuiltinsMath, RoundingAndAbs) {
  run_cases({
      {"FLOOR", {fv(2.7)}, "f:2"},
      {"FLOOR", {fv(-2.5)}, "f:-3"},
      {"FLOOR", {iv(3)}, "i:3"},
      {"FLOOR", {vec({iv(1), iv(2), iv(3)})}, "i:3"},
      {"FLOOR", {sv("2.5")}, "f:2"},
      {"FLOOR", {sv("7")}, "f:7"},
      {"FLOOR", {sv("x")}, "(silent)"},
      {"FLOOR", {sv("2.5x")}, "(silent)"},
      {"FLOOR", {none()}, "(silent)"},
      {"CEIL", {fv(2.1)}, "f:3"},
      {"CEIL", {fv(-2.5)}, "f:-2"},
      {"CEIL", {iv(-4)}, "i:-4"},
      {"ABS", {iv(-5)}, "i:5"},
      {"ABS", {fv(-5.5)}, "f:5.5"},
      {"ABS", {sv("-5")}, "f:5"},
      {"ABS", {iv(-2147483647 - 1)}, "i:-2147483648"},
      {"ABS", {vec({})}, "i:0"},
  });
}

TEST(BuiltinsMath, Functions) {
  run_cases({
      {"PI", {}, "f:3.141592654"},
      {"EXP", {}, "f:2.718281828"},
      {"EXP", {iv(0)}, "f:1"},
      {"EXP", {fv(1.0)}, "f:2.718281828"},
      {"SQRT", {vec({iv(1), iv(2), iv(3), iv(4)})}, "f:2"},
      {"SQRT", {iv(9)}, "f:3"},
      {"SQRT", {iv(-1)}, "f:nan"},
      {"POW", {iv(2), iv(10)}, "f:1024"},
      {"POW", {sv("2"), fv(0.5)}, "f:1.414213562"},
      {"POW", {vec({iv(1), iv(2)}), iv(3)}, "f:8"},
      {"LOG", {fv(1.0)}, "f:0"},
      {"LOG", {iv(0)}, "f:-inf"},
      {"LOG", {iv(-1)}, "f:nan"},
      {"LOG10", {iv(1000)}, "f:3"},
      {"SIN", {fv(0.5)}, "f:0.4794255386"},
      {"COS", {iv(0)}, "f:1"},
      {"TAN", {fv(1.0)}, "f:1.557407725"},
      {"ASIN", {iv(1)}, "f:1.570796327"},
      {"ACOS", {iv(1)}, "f:0"},
      {"ACOS", {iv(2)}, "f:nan"},
      {"ATAN", {iv(1)}, "f:0.7853981634"},
      {"ATAN", {iv(1), iv(-1)}, "f:2.35619449"},
      {"ATAN", {iv(-1), iv(-1)}, "f:-2.35619449"},
      {"ATAN", {iv(1), iv(0)}, "f:1.570796327"},
  });
}

TEST(BuiltinsMath, MissingFormsAndBadArguments) {
  run_cases({
      {"PI", {iv(1)}, "(silent)"},
      {"SIN", {}, "(silent)"},
      {"POW", {iv(2)}, "(silent)"},
      {"FLOOR", {}, "(silent)"},
      {"FLOOR", {iv(1), iv(2)}, "(silent)"},
      {"SQRT", {iv(4), iv(2)}, "(silent)"},
      {"EXP", {iv(1), iv(2)}, "(silent)"},
      {"POW", {iv(2), none()}, "(silent)"},
      {"POW", {none(), iv(2)}, "(silent)"},
      {"POW", {iv(2), sv("3x")}, "(silent)"},
      {"ATAN", {sv("a"), iv(1)}, "(silent)"},
      {"SIN", {iv(1), iv(2), iv(3)}, "#MATH():ARGS#"},
      {"PI", {none(), none(), none()}, "#MATH():ARGS#"},
      {"POW", {iv(1), iv(2), iv(3), iv(4)}, "#MATH():ARGS#"},
  });
}

}  // namespace
}  // namespace quillet::test
