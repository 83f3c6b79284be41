// The conditional IF and the lookups RANGE and FIND.
#include <gtest/gtest.h>

#include <limits>

#include "builtins_support.h"

namespace quillet::test {
namespace {

TEST(BuiltinsConditions, IfConditionTexts) {
  run_cases({
      {"IF", {iv(1), sv("="), fv(1.0), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), sv("=>"), iv(2), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), sv("=="), iv(1), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), sv("<>"), iv(2), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), sv("<>"), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), sv("!="), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), sv("!x"), iv(2), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), sv("<"), iv(2), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(2), sv("<"), iv(2), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(2), sv("<x"), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(2), sv("<="), iv(2), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(3), sv("<="), iv(2), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(3), sv(">"), iv(2), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(2), sv(">"), iv(2), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(2), sv(">="), iv(2), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), sv(">="), iv(2), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), sv(""), iv(1), sv("a"), sv("b")}, "#IF():COND#"},
      {"IF", {iv(1), sv("eq"), iv(1), sv("a"), sv("b")}, "#IF():COND#"},
      {"IF", {iv(1), sv(" ="), iv(1), sv("a"), sv("b")}, "#IF():COND#"},
  });
}

TEST(BuiltinsConditions, IfNumericCodes) {
  run_cases({
      {"IF", {iv(1), iv(0), iv(1), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), iv(1), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), iv(2), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(4), iv(3), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(3), iv(4), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(3), iv(5), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), iv(9), iv(3), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), iv(6), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {iv(1), fv(2.9), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), vec({iv(1), iv(2)}), iv(3), sv("a"), sv("b")}, "s:a"},
      {"IF", {iv(1), iv(-1), iv(3), sv("a"), sv("b")}, "#IF():COND#"},
  });
}

TEST(BuiltinsConditions, IfComparisons) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  run_cases({
      {"IF", {sv("10"), sv("<"), sv("9"), iv(1), iv(2)}, "i:1"},
      {"IF", {sv("10"), sv("<"), iv(9), iv(1), iv(2)}, "i:2"},
      {"IF", {sv("b"), sv(">"), sv("B"), iv(1), iv(2)}, "i:1"},
      {"IF", {sv("ab"), sv("<"), sv("abc"), iv(1), iv(2)}, "i:1"},
      {"IF", {sv("\xE9"), sv(">"), sv("z"), iv(1), iv(2)}, "i:1"},
      {"IF", {sv("x"), sv(">="), iv(1), sv("a"), sv("b")}, "s:a"},
      {"IF", {sv("x"), sv("<="), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {sv("x"), sv("<>"), iv(1), sv("a"), sv("b")}, "s:a"},
      {"IF", {sv("x"), sv("="), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {sv("x"), sv("<"), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {sv("x"), sv(">"), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {sv("12abc"), sv("="), iv(12), sv("a"), sv("b")}, "s:b"},
      {"IF", {fv(nan), sv("="), fv(nan), sv("a"), sv("b")}, "s:b"},
      {"IF", {fv(nan), sv(">="), iv(1), sv("a"), sv("b")}, "s:a"},
      {"IF", {fv(nan), sv("<"), iv(1), sv("a"), sv("b")}, "s:b"},
      {"IF", {vec({iv(1), iv(2)}), sv("="), iv(2), sv("a"), sv("b")}, "s:a"},
  });
}

TEST(BuiltinsConditions, IfFailures) {
  run_cases({
      {"IF", {iv(1), sv("="), iv(1), sv("a")}, "#IF():ARGS#"},
      {"IF", {iv(1), sv("="), iv(1), sv("a"), sv("b"), sv("c")}, "#IF():ARGS#"},
      {"IF", {}, "#IF():ARGS#"},
      {"IF", {none(), sv("="), iv(1), sv("a"), sv("b")}, "(silent)"},
      {"IF", {iv(1), none(), iv(1), sv("a"), sv("b")}, "(silent)"},
      {"IF", {iv(1), sv("="), none(), sv("a"), sv("b")}, "(silent)"},
      {"IF", {iv(1), sv("="), iv(1), none(), sv("b")}, "(silent)"},
      {"IF", {iv(1), sv("="), iv(1), sv("a"), none()}, "s:a"},
      {"IF", {iv(1), sv("="), iv(2), sv("a"), none()}, "(silent)"},
  });
}

// The chosen argument is handed back itself, not a copy.
TEST(BuiltinsConditions, IfReturnsTheChosenValue) {
  const anyval then_value = vec({iv(1)});
  const anyval else_value = sv("b");
  anyval result;
  call_builtin("IF", {iv(1), sv("="), iv(1), then_value, else_value}, result);
  EXPECT_TRUE(result == then_value);
  call_builtin("IF", {iv(1), sv("="), iv(2), then_value, else_value}, result);
  EXPECT_TRUE(result == else_value);
}

TEST(BuiltinsConditions, Range) {
  run_cases({
      {"RANGE", {iv(5), iv(0), iv(10), iv(20)}, "i:1"},
      {"RANGE", {iv(-1), iv(0), iv(10)}, "i:0"},
      {"RANGE", {iv(10), iv(0), iv(10)}, "i:2"},
      {"RANGE", {iv(25), vec({iv(0), iv(10)}), iv(20)}, "i:3"},
      {"RANGE", {iv(5)}, "i:0"},
      {"RANGE", {iv(5), iv(10), iv(0)}, "i:2"},
      {"RANGE", {iv(5), sv("x"), iv(0)}, "i:2"},
      {"RANGE", {iv(5), none(), iv(0)}, "i:2"},
      {"RANGE", {iv(5), vec({none(), sv("x")}), iv(0)}, "i:3"},
      {"RANGE", {iv(5), sv("3")}, "i:1"},
      {"RANGE", {sv("7abc"), iv(5), iv(8)}, "i:1"},
      {"RANGE", {sv("abc"), iv(0), iv(1)}, "i:1"},
      {"RANGE", {fv(0.5), vec({}), iv(0), iv(1)}, "i:1"},
      {"RANGE", {vec({iv(1), iv(2)}), iv(1), iv(2), iv(3)}, "i:2"},
      {"RANGE", {}, "#RANGE():ARGS#"},
      {"RANGE", {none(), iv(0)}, "(silent)"},
  });
}

TEST(BuiltinsConditions, Find) {
  run_cases({
      {"FIND", {sv("b"), sv("a"), sv("B"), sv("b")}, "i:2"},
      {"FIND", {iv(2), vec({iv(1), iv(2), iv(3)})}, "i:1"},
      {"FIND", {iv(7)}, "i:-1"},
      {"FIND", {iv(3), iv(1), vec({iv(2), iv(3)}), iv(3)}, "i:2"},
      {"FIND", {iv(3), sv("3")}, "i:0"},
      {"FIND", {iv(3), sv("3x"), fv(3.0)}, "i:1"},
      {"FIND", {sv("3"), iv(3), sv("3")}, "i:1"},
      {"FIND", {fv(2.5), iv(2), sv("2.5")}, "i:1"},
      {"FIND", {sv(""), sv("")}, "i:0"},
      {"FIND", {sv("abc"), iv(1)}, "i:-1"},
      {"FIND", {sv("12x"), iv(12)}, "i:-1"},
      {"FIND", {vec({iv(1), iv(2)}), iv(2)}, "i:0"},
      {"FIND", {iv(1), vec({none(), iv(1)})}, "i:1"},
      {"FIND", {}, "#FIND():ARGS#"},
      {"FIND", {none(), iv(1)}, "(silent)"},
      {"FIND", {iv(1), iv(1), none()}, "(silent)"},
  });
}

}  // namespace
}  // namespace quillet::test
