// Operand conversions and result kinds of every operator, evaluated from source text.
#include <gtest/gtest.h>

#include "eval_support.h"

namespace quillet::test {
namespace {

TEST(EvalOperators, AdditionConcatenatesOrAddsFloats) {
  run_eval_cases({
      {"1 + 2", "f:3"},
      {"1.5 + 2", "f:3.5"},
      {"'a' + 1", "s:a1"},
      {"1 + 'a'", "s:1a"},
      {"'a' + 'b'", "s:ab"},
      {"'' + 2.5", "s:2.5"},
      {"'x' + LIST(1,2)", "s:x2"},
      {"LIST(1,2) + 1", "f:3"},
      {"'n' + 1e20", "s:n1e+020"},
      {"'n' + 0.1", "s:n0.1"},
  });
}

// `s = s + e` grows s where it lies only while nobody else holds s's string: copies taken
// on the way keep their text. A long loop ends in linear time.
TEST(EvalOperators, AppendingInALoopLeavesCopiesAlone) {
  run_eval_cases({
      {"var s = 'a'; var t; var i; for i = 1 to 3 do (s = s + i; if i == 1 then t = s;); t + '|' + s;", "s:a1|a123"},
      {"var s = 'a'; var t; var i; for i = 1 to 3 do (s = s + i; if i == 2 then t = LIST(s);); t[0] + '|' + s;",
       "s:a12|a123"},
      {"var s = 'a'; var t = 'b'; var i; for i = 1 to 2 do (s = s + t; t = s;); t + '|' + s;", "s:abab|abab"},
      {"var s = 'ab'; s = s + s; s = s + s; s;", "s:abababab"},
      {"var s = ''; var i; for i = 1 to 400000 do s = s + 'x'; SIZE(s);", "i:400000"},
  });
}

// A concatenation made again writes into its last string only while nobody else holds it:
// a copy kept in a variable keeps its text.
TEST(EvalOperators, ConcatenatingAgainLeavesCopiesAlone) {
  run_eval_cases({
      {"var t = ''; var i; for i = 1 to 3 do t = t + ('r' + INT(i - 2)) + ','; t;", "s:r-1,r0,r1,"},
      {"var a; var b; var i; for i = 1 to 3 do (b = a; a = 'x' + i;); b + a;", "s:x2x3"},
      {"var s = 'y'; var t = ''; var i; for i = 1 to 2 do (t = t + ('<' + s) + i; s = s + 'z';); t;", "s:<y1<yz2"},
      {"var t = ''; var i; for i = 1 to 2 do t = t + ('a' + i * 1.5); t;", "s:a1.5a3"},
  });
}

// `a = INSERT(a, ...)` extends a where it lies only while nobody else holds it. Copying a at
// every step, the 150,000 appends of the vector would move some 90 GB and those of the
// string 11 GB: the last rows end at once only when appending is linear.
TEST(EvalOperators, InsertingIntoTheSameVariableLeavesCopiesAlone) {
  run_eval_cases({
      {"var a = LIST(1); var b; var i; for i = 2 to 3 do (a = INSERT(a, i, SIZE(a)); if i == 2 then b = a;); "
       "SIZE(b) * 10 + SIZE(a);", "f:23"},
      {"var a = LIST(1); var b = LIST(a); a = INSERT(a, 2); SIZE(b[0]) * 10 + SIZE(a);", "f:12"},
      {"var a = LIST(1, 2); a = INSERT(a, a, 1); a;", "v(i:1,i:1,i:2,i:2)"},
      {"var s = 'ab'; var t = s; s = INSERT(s, 'X', 1); t + '|' + s;", "s:ab|aXb"},
      {"var s = 'ab'; s = INSERT(s, 'X', 1); s = INSERT(s, 'Y'); s;", "s:aXbY"},
      {"var a = LIST(); var i; for i = 1 to 150000 do a = INSERT(a, i, SIZE(a)); SIZE(a) + a[149999];", "f:300000"},
      {"var s = ''; var i; for i = 1 to 150000 do s = INSERT(s, 'x'); SIZE(s);", "i:150000"},
  });
}

TEST(EvalOperators, ArithmeticUsesStoredNumbers) {
  run_eval_cases({
      {"7 / 2", "f:3.5"},
      {"'5' - 2", "f:3"},
      {"'5x' - 2", "f:3"},
      {"'x' - 2", "f:-2"},
      {"3 * '2'", "f:6"},
      {"LIST(1,2,3) * 2", "f:6"},
      {"1 / 0", "f:inf"},
      {"-1 / 0", "f:-inf"},
      {"0 / 0", "f:nan"},
      {"2 - 5", "f:-3"},
  });
}

TEST(EvalOperators, RemainderIsUnsigned) {
  run_eval_cases({
      {"-7 % 3", "i:0"},
      {"7 % -3", "i:7"},
      {"5 % 0", "i:5"},
      {"7 % 3", "i:1"},
      {"7.9 % 2", "i:1"},
      {"'9' % 4", "i:1"},
      {"'x' % 4", "i:0"},
  });
}

TEST(EvalOperators, BitwiseAndShifts) {
  run_eval_cases({
      {"6 & 3", "i:2"},
      {"6 | 3", "i:7"},
      {"6 ^ 3", "i:5"},
      {"'abc' | 1", "i:1"},
      {"2.9 & 3", "i:2"},
      {"1 << 33", "i:2"},
      {"-8 >> 1", "i:-4"},
      {"1 << 31", "i:-2147483648"},
      {"-1 >> 40", "i:-1"},
      {"3 << -1", "i:-2147483648"},
      {"'x' << 1", "i:0"},
      {"1 + 2 * 3 & 1", "f:3"},
  });
}

TEST(EvalOperators, UnaryOperators) {
  run_eval_cases({
      {"var x = 2.5; -x;", "f:-2.5"},
      {"var x = 3; -x;", "i:-3"},
      {"-'a'", "i:0"},
      {"-'7'", "i:-7"},
      {"-LIST(1,2,3)", "i:-3"},
      {"var x = -2147483648; -x;", "i:-2147483648"},
      {"-5", "i:-5"},
      {"~0", "i:-1"},
      {"~'x'", "i:-1"},
      {"~1.9", "i:-2"},
      {"not 'abc'", "i:1"},
      {"not 0.5", "i:1"},
      {"not '1'", "i:0"},
      {"not 2", "i:0"},
      {"not LIST(1)", "i:0"},
      {"+'a'", "s:a"},
  });
}

TEST(EvalOperators, Comparisons) {
  run_eval_cases({
      {"'10' < '9'", "i:1"},
      {"'10' < 9", "i:0"},
      {"LIST(1,2) == LIST(3,4)", "i:1"},
      {"'abc' == 'abc'", "i:1"},
      {"'abc' == 'abd'", "i:0"},
      {"'a' != 'b'", "i:1"},
      {"'B' > 'A'", "i:1"},
      {"'a' >= 'a'", "i:1"},
      {"'a' <= 'A'", "i:0"},
      {"2 >= 2.0", "i:1"},
      {"'5x' == 5", "i:1"},
      {"1 > 2", "i:0"},
      {"3 != 3", "i:0"},
  });
}

TEST(EvalOperators, NotANumberComparesAsTheOriginalDid) {
  run_eval_cases({
      {"0/0 == 0/0", "i:1"},
      {"0/0 == 1", "i:1"},
      {"0/0 != 1", "i:0"},
      {"0/0 < 1", "i:1"},
      {"0/0 <= 1", "i:1"},
      {"0/0 > 1", "i:0"},
      {"0/0 >= 1", "i:0"},
  });
}

TEST(EvalOperators, LogicalOperatorsShortCircuit) {
  run_eval_cases({
      {"if 0 then var x else 0; 0 and x;", "i:0"},
      {"if 0 then var x else 0; 1 or x;", "i:1"},
      {"if 0 then var x else 0; 1 and x;", "#NVAL#"},
      {"if 0 then var x else 0; 0 or x;", "#NVAL#"},
      {"2 and 'yes'", "i:0"},
      {"0.5 or '1'", "i:1"},
      {"1 and 3", "i:1"},
      {"0 or 0", "i:0"},
      {"0 and TICK()", "i:0"},
  });
}

TEST(EvalOperators, IndexReads) {
  run_eval_cases({
      {"var v = LIST(1,2); v[1];", "i:2"},
      {"var v = LIST(1,2); v[2];", "#INDEX#"},
      {"var v = LIST(1,2); v[-1];", "#INDEX#"},
      {"var v = LIST(1,2); v['x'];", "i:1"},
      {"var v = LIST(1,2); v[1.9];", "i:2"},
      {"var s = 'AB'; s[1];", "i:66"},
      {"var s = 'AB'; s[2];", "#INDEX#"},
      {"var n = 5; n[0];", "#INDEX#"},
      {"var v = LIST(LIST(7)); v[0];", "v(i:7)"},
  });
}

}  // namespace
}  // namespace quillet::test
