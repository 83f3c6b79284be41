// ARGS of a function evaluated without arguments, as the report evaluates its properties:
// every evaluation starts from an empty vector, whatever the previous one did to its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins_support.h"
#include "eval_support.h"

namespace quillet::test {
namespace {

struct arguments_case {
  const char* body;
  const char* each;  // every evaluation's outcome
};

TEST(EvalArguments, EachEvaluationWithoutArgumentsSeesAnEmptyVector) {
  const std::vector<arguments_case> cases = {
      {"SIZE(ARGS)", "i:0"},
      {"var n = SIZE(ARGS); ARGS[0] = 1; n;", "i:0"},
      {"ARGS[2] = 7; SIZE(ARGS);", "i:3"},
      {"var a = ARGS; a[0] = 5; SIZE(ARGS);", "i:1"},
      {"ARGS[0]", "#INDEX#"},
  };
  for (const arguments_case& c : cases) {
    SCOPED_TRACE(c.body);
    eval_template t;
    txl_user_function& f = t.add("f", c.body);
    t.bind();
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      anyval result;
      std::string error;
      bool ok = evaluate_user_function(f, anyval(), result, error, t.messages);
      EXPECT_EQ(ok ? describe(result) : error, c.each);
    }
  }
}

// A result that shares the ARGS vector keeps it: the next evaluation gets a vector of its
// own, and changes made to it do not reach the value held from before.
TEST(EvalArguments, AHeldArgumentVectorIsNotReused) {
  eval_template t;
  txl_user_function& f = t.add("f", "ARGS");
  txl_user_function& g = t.add("g", "var a = @f; a[0] = 9; a;");
  t.bind();
  anyval first, second;
  std::string error;
  ASSERT_TRUE(evaluate_user_function(f, anyval(), first, error, t.messages));
  ASSERT_TRUE(evaluate_user_function(g, anyval(), second, error, t.messages));
  ASSERT_TRUE(evaluate_user_function(f, anyval(), second, error, t.messages));
  ASSERT_NE(first.as_vector(), nullptr);
  EXPECT_TRUE(first.as_vector()->empty());
  ASSERT_NE(second.as_vector(), nullptr);
  EXPECT_TRUE(second.as_vector()->empty());
}

}  // namespace
}  // namespace quillet::test
