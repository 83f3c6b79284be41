// Sequences, "if", loops with break and continue, return, variables, indexed assignment and
// the evaluation markers, evaluated from source text.
#include <gtest/gtest.h>

#include <string>

#include "eval_support.h"

namespace quillet::test {
namespace {

TEST(EvalControl, SequencesAndConditionals) {
  run_eval_cases({
      {"1; 2;", "i:2"},
      {";", "i:0"},
      {"1;;", "i:1"},
      {"if 1 then 2 else 3", "i:2"},
      {"if 0 then 2", "i:0"},
      {"if 'yes' then 1 else 2", "i:2"},
      {"if 0.9 then 1 else 2", "i:2"},
      {"if 1 then 1 else if 0 then 2 else 3", "i:1"},
      {"if 0 then 1 else if 0 then 2 else 3", "i:3"},
      {"(var t = 2; t * t;)", "f:4"},
  });
}

TEST(EvalControl, Loops) {
  run_eval_cases({
      {"var s = 0; var i; for i = 1 to 3 do s = s + i; s;", "f:6"},
      {"var s = 0; var i; for i = 1 to 3 do s = s + i; i;", "f:4"},
      {"var s = 0; var i; for i = 1 to 100 do s = s + i; s;", "f:5050"},
      {"var i; for i = 5 to 1 do i = 99; i;", "i:5"},
      {"while 1 do break;", "i:0"},
      {"var i = 0; while i < 5 do i = i + 1; i;", "f:5"},
      {"var i = 0; while i < 5 do i = i + 1;", "i:0"},
      {"var s = 0; var i; for i = 1 to 5 do (if i == 3 then continue; s = s + i;); s;", "f:12"},
      {"var i; for i = 1 to 10 do if i == 4 then break; i;", "f:4"},
      {"var n = 3; var c = 0; var i; for i = 1 to n do (n = n - 1; c = c + 1;); c;", "f:2"},
      {"var i = 0; var j = 0; while i < 3 do (i = i + 1; while 1 do (j = j + 1; break;);); j;", "f:3"},
  });
}

TEST(EvalControl, ReturnEndsTheWholeBody) {
  run_eval_cases({
      {"return 3; 4;", "i:3"},
      {"(while 1 do return 5;); 7;", "i:5"},
      {"var i; for i = 1 to 10 do (if i == 3 then return i * 10;); 0;", "f:30"},
      {"var x = 1; (x = 2; return x;); x = 3;", "i:2"},
  });
}

TEST(EvalControl, VariablesAndTheirMarkers) {
  run_eval_cases({
      {"var x; x;", "i:0"},
      {"var x = 2; x;", "i:2"},
      {"var x; x = 'a';", "s:a"},
      {"if 0 then var x else 0; x;", "#NVAL#"},
      {"var x = 1; (var x = 2; x;); x;", "i:1"},
      {"var x = 1; (var x = 2; x;);", "i:2"},
      {"FOO(1)", "#UNK:FOO:#"},
      {"abs(1)", "#UNK:abs:#"},
      {"@nothing", "#UNK:nothing:#"},
      {"SIZE(LIST(1,2)) + FOO()", "#UNK:FOO:#"},
      {"SIZE(LIST(1,2))", "i:2"},
  });
}

// Numbers are copied into a variable's own object when that is safe; no holder of the old
// value may see a later assignment.
TEST(EvalControl, AssignmentNeverChangesAnotherHoldersNumber) {
  run_eval_cases({
      {"var a = 1.5; var v = LIST(a); a = 2.5; v[0];", "f:1.5"},
      {"var a = 1.5; var b = a; a = a + 1; b;", "f:1.5"},
      {"var a = 0.5; var b = 0; b = a + 1; a = b; b = 7.5; a;", "f:1.5"},
      {"var a = 0; var b = 0; var i; for i = 1 to 3 do (a = b; b = b + 1;); a;", "f:2"},
      {"var a = 0; var v = LIST(0); var i; for i = 1 to 3 do (a = a + 1; v[0] = a;); a = 9; v[0];", "f:3"},
      {"var x = 1; x = x; x;", "i:1"},
  });
}

TEST(EvalControl, IndexedAssignment) {
  run_eval_cases({
      {"var a = LIST(1,2); a[3] = 9; a;", "v(i:1,i:2,i:0,i:9)"},
      {"var s = 'ab'; s[3] = 'z'; SIZE(s);", "i:4"},
      {"var s = 'ab'; s[3] = 'z'; s[2];", "i:0"},
      {"var a = LIST(1); var b = a; b[0] = 5; a[0];", "i:5"},
      {"var s = 'ab'; s[0] = 65; s;", "s:Ab"},
      {"var s = 'ab'; s[0] = 321; s;", "s:Ab"},
      {"var s = 'ab'; s[0] = 66.7; s;", "s:Bb"},
      {"var s = 'ab'; s[0] = 'xyz'; s;", "s:xb"},
      {"var s = 'ab'; s[0] = ''; s;", "s:?b"},
      {"var s = 'ab'; s[0] = LIST(1); s;", "s:?b"},
      {"var a = LIST(1); a[0] = LIST(2); a;", "v(v(i:2))"},
      {"var a = LIST(1); a[0] = 'x'; a[0];", "s:x"},
      {"var a = LIST(1); a[1] = 2;", "v(i:1,i:2)"},
  });
}

TEST(EvalControl, IndexedAssignmentFailures) {
  run_eval_cases({
      {"var n = 5; n[0] = 1;", "#INDEX#"},
      {"var a = LIST(1); a[-1] = 2;", "#INDEX#"},
      {"var a = LIST(1); a['x'] = 2;", "#INDEX#"},
      {"var a; a[0] = 1;", "#INDEX#"},
      {"if 0 then var a else 0; a[0] = 1;", "#INDEX#"},
      {"var a = LIST(1); a[100000000] = 1;", "#INDEX#"},
      {"var s = 'a'; s[1000000000] = 1;", "#INDEX#"},
      // A vector may not come to hold itself: it could never be printed or freed.
      {"var a = LIST(1); a[0] = a;", "#INDEX#"},
      {"var a = LIST(1); var b = LIST(a); a[0] = b;", "#INDEX#"},
      {"var a = LIST(1); var b = LIST(LIST(a)); a[1] = b;", "#INDEX#"},
  });
}

// A string literal keeps its text when a variable that received it is changed in place.
TEST(EvalControl, StringLiteralsStayUnchanged) {
  eval_template t;
  t.add("f", "var s = 'ab'; s[1] = s[1] + ARGS[0]; s;");
  t.bind();
  EXPECT_EQ(t.call("f", {anyval::from_int(1)}), "s:ac");
  EXPECT_EQ(t.call("f", {anyval::from_int(1)}), "s:ac");
  EXPECT_EQ(t.call("f", {anyval::from_int(2)}), "s:ad");
}

// A tree deeper than the evaluator allows fails with a marker instead of exhausting the
// stack; a long chain is released without recursion.
TEST(EvalControl, DeepTreesFailCleanly) {
  rc_ptr<txl_expr> e = make_rc<txl_expr_constant>(anyval::from_int(1));
  for (int i = 0; i < 20000; ++i)
    e = make_unary_expr(txl_op_neg, e);
  auto f = make_rc<txl_user_function>("deep", "");
  f->set_body(make_rc<txl_expr_root>(e));
  e.reset();
  eval_template t;
  t.functions.push_back(f);
  EXPECT_EQ(t.call(*f), "#DEPTH#");

  rc_ptr<txl_expr> shallow = make_rc<txl_expr_constant>(anyval::from_int(1));
  for (int i = 0; i < 1000; ++i)
    shallow = make_unary_expr(txl_op_neg, shallow);
  f->set_body(make_rc<txl_expr_root>(shallow));
  shallow.reset();
  EXPECT_EQ(t.call(*f), "i:1");

  rc_ptr<txl_expr> chain = make_rc<txl_expr_constant>(anyval::from_int(1));
  for (int i = 0; i < 200000; ++i)
    chain = make_binary_expr(txl_op_add, chain, make_rc<txl_expr_constant>(anyval::from_int(1)));
  chain.reset();
}

}  // namespace
}  // namespace quillet::test
