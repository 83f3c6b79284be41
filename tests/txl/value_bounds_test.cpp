// Bounds on what an expression may make the evaluator allocate or run: indexed assignment
// and INSERT stop at the longest vector (16M elements), string assignment at the longest string, and loops
// under an iteration budget end with "#LOOP#".
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

// Calls of user functions share the budget with loops: functions that each call the next
// twice with new arguments would make 2^31 calls; the budget names what reached it.
TEST(ValueBounds, UserFunctionCallsShareTheBudget) {
  struct row {
    const char* function;
    std::int64_t budget;
    const char* expect;
    txl_work spent_on;
  };
  for (const row& r : {row{"small", 15, "f:28", txl_work::loop_iteration}, row{"small", 14, "#LOOP#", txl_work::function_call},
                       row{"f0", 100000, "#LOOP#", txl_work::function_call},
                       row{"looping", 11, "f:15", txl_work::loop_iteration},
                       row{"looping", 10, "#LOOP#", txl_work::loop_iteration},
                       row{"looping", 9, "#LOOP#", txl_work::function_call}}) {
    SCOPED_TRACE(std::string(r.function) + " " + std::to_string(r.budget));
    eval_template t;  // a new one each time: results cached by one row would spare the next its calls
    for (int i = 0; i < 30; ++i)
      t.add("f" + std::to_string(i), "@f" + std::to_string(i + 1) + "(ARGS[0] * 2) + @f" + std::to_string(i + 1) +
                                         "(ARGS[0] * 2 + 1)");
    t.add("f30", "ARGS[0]");
    t.add("small", "@f27(0) + 0");
    t.add("looping", "var i; var n = 0; for i = 1 to 5 do n = n + @f30(i); n;");
    t.bind();
    txl_loop_budget budget(r.budget);
    EXPECT_EQ(t.call(r.function, {anyval::from_int(0)}), r.expect);
    if (budget.spent()) {
      EXPECT_EQ(budget.spent_on(), r.spent_on);
    }
  }
}

}  // namespace
}  // namespace quillet::test
