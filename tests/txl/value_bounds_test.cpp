// Bounds on what an expression may make the evaluator allocate or run: indexed assignment
// and INSERT stop at the longest vector (16M elements), string assignment at the longest string, and loops
// under an iteration budget end with "#LOOP#".
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/txl/eval_support.h"
#include "txl/loop_budget.h"

namespace quillet::test {
namespace {

TEST(ValueBounds, IndexedAssignmentAndInsertStopAtTheLongestValue) {
  run_eval_cases({
      {"var a = LIST(); a[16777216] = 1;", "#INDEX#"},
      {"var a = LIST(); a[2147483647] = 1;", "#INDEX#"},
      {"var a = LIST(); a[16777215] = 1; SIZE(INSERT(a, LIST(7)));", "#INSERT:ARGS#"},
      {"var s = 'a'; s[268435456] = 1;", "#INDEX#"},
      {"var s = 'a'; s[2147483647] = 'x';", "#INDEX#"},
  });
}

struct budget_case {
  const char* source;
  std::int64_t budget;
  const char* expect;
};

// Every check of a loop's condition uses one iteration of the budget.
TEST(ValueBounds, LoopsEndWithinTheirBudget) {
  const budget_case rows[] = {
      {"while 1 do 0;", 1000, "#LOOP#"},
      {"var i = 0; while 1 do (i = i + 1; if i > 100000 then break;); i;", 100, "#LOOP#"},
      {"var i = 0; while i < 5 do i = i + 1; i;", 6, "f:5"},
      {"var i = 0; while i < 5 do i = i + 1; i;", 5, "#LOOP#"},
      {"var n = 0; var i; var j; for i = 1 to 3 do for j = 1 to 3 do n = n + 1; n;", 16, "f:9"},
      {"var n = 0; var i; var j; for i = 1 to 3 do for j = 1 to 3 do n = n + 1; n;", 15, "#LOOP#"},
      {"var i; for i = 1 to 10 do 0; 5;", 0, "#LOOP#"},
      {"1 + 2;", 0, "f:3"},
  };
  for (const budget_case& r : rows) {
    SCOPED_TRACE(r.source);
    txl_loop_budget budget(r.budget);
    EXPECT_EQ(eval_text(r.source), r.expect);
  }
  // Without a budget in scope loops are not counted; scopes nest and restore the outer count.
  EXPECT_EQ(eval_text("var i = 0; while i < 100000 do i = i + 1; i;"), "f:100000");
  txl_loop_budget outer(3);
  {
    txl_loop_budget inner(100);
    EXPECT_EQ(eval_text("var i; for i = 1 to 50 do 0; 1;"), "i:1");
  }
  EXPECT_EQ(eval_text("var i; for i = 1 to 3 do 0; 1;"), "#LOOP#");
}

}  // namespace
}  // namespace quillet::test
