// The math built-ins: forms chosen by the arguments, results and silent failures.
#include <gtest/gtest.h>

#include <string>

#include "builtins_support.h"
#include "eval_support.h"

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

// A call site works a one-float call out by itself; it must give what the function's own
// call gives, for every function and for the arguments that are not floats.
TEST(BuiltinsMath, CallSitesGiveTheFunctionsResults) {
  const char* names[] = {"FLOOR", "CEIL", "ABS", "SQRT", "LOG", "LOG10", "EXP",
                         "SIN", "COS", "TAN", "ASIN", "ACOS", "ATAN", "PI", "POW"};
  struct argument {
    const char* text;
    anyval value;
  };
  const argument arguments[] = {
      {"2.5", fv(2.5)},     {"-2.5", fv(-2.5)}, {"0.3", fv(0.3)}, {"-0.7", fv(-0.7)},
      {"1e10", fv(1e10)},   {"0.0", fv(0.0)},   {"7", iv(7)},     {"-3", iv(-3)},
      {"\"2.5\"", sv("2.5")}, {"LIST(1, 2)", vec({iv(1), iv(2)})},
  };
  for (const char* name : names) {
    for (const argument& a : arguments) {
      std::string text = std::string("var x = ") + a.text + "; " + name + "(x);";
      SCOPED_TRACE(text);
      std::string expect = call_builtin(name, {a.value});
      std::string got = eval_text(text);
      if (expect == "(silent)")
        EXPECT_EQ(got, "#UNEXP:ERR#");
      else
        EXPECT_EQ(got, expect);
    }
  }
}

// Results worked out at the call site are invalidated like any other when the argument
// changes, inside and outside loops.
TEST(BuiltinsMath, CallSiteResultsFollowTheirArguments) {
  const eval_case cases[] = {
      {"var x = 1.5; var a = FLOOR(x); x = -1.5; a + FLOOR(x) * 10;", "f:-19"},
      {"var s = 0; var i; for i = 1 to 3 do s = s + FLOOR(i * 1.5); s;", "f:8"},
      {"var x = 2.5; var a = CEIL(x); x = 2; a * 10 + CEIL(x);", "f:32"},
      {"var x = 4.0; var a = SQRT(x); x = \"9\"; a * 10 + SQRT(x);", "f:23"},
  };
  for (const eval_case& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(eval_text(c.source), c.expect);
  }
}

}  // namespace
}  // namespace quillet::test
