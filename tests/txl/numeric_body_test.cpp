// Bodies of numbers run as register programs: every call must leave what tree evaluation
// leaves (value or marker, the body's variables, the calls made to other functions, the
// function's change count), over a series of calls with changing arguments and validity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_support.h"
#include "txl/expr_nodes.h"

namespace quillet::test {
namespace {

// Calls f (beside g, whose value rests on TICK; k, which reads its arguments and is never a
// program itself; s, a string; n, a string never current; e, a failure; m, which changes
// the vector it is given in place) with a
// series of arguments, making TICK stale before the fourth call, and describes each call.
std::string call_series(const std::string& body, bool programs) {
  txl_numeric_loops_enabled = programs;
  reset_ticks();
  std::string out;
  {
    eval_template t{{"g", "TICK() * 2 + 0.5;"}, {"k", "ARGS[0] * '3';"}, {"s", "'x';"},
                    {"n", "TICK() + STALE() + 'y';"}, {"e", "ARGS[5];"},
                    {"m", "var t = ARGS[0]; t[0] = 99; 1;"}, {"f", body}};
    t.bind();
    const std::vector<anyval_list> series = {
        {anyval::from_float(1.5), anyval::from_int(2)},
        {anyval::from_float(1.5), anyval::from_int(2)},
        {anyval::from_int(7), anyval::from_float(-3.25)},
        {anyval::from_float(0.25), anyval::from_int(-9)},
        {anyval::from_int(4), anyval()},
        {anyval::from_string("x"), anyval::from_int(1)},
        {},
        {anyval::from_int(-2), anyval::from_float(1e10)},
    };
    for (std::size_t i = 0; i < series.size(); ++i) {
      if (i == 3)
        ticks_current = false;
      if (i == 5)
        ticks_current = true;
      txl_user_function& f = t.get("f");
      out += t.call(f, series[i]) + " t" + std::to_string(tick_calls) + " c" + std::to_string(f.change_count) +
             variable_states(f.body.get()) + "\n";
    }
  }
  txl_numeric_loops_enabled = true;
  return out;
}

struct body_case {
  const char* body;
  bool runs_as_program;  // in at least one call of the series
};

TEST(NumericBody, SameOutcomeAsTreeEvaluation) {
  const std::vector<body_case> cases = {
      {"var u = ARGS[0] * 7 + @g; u = u - FLOOR(u / 4294967296.0) * 4294967296.0; u - FLOOR(u / 100) * 100;", true},
      {"var a = ARGS[0]; var b = ARGS[1]; a * b + CEIL(a) - ABS(b) + SQRT(ABS(a));", true},
      {"var a = ARGS[1]; if a > 0 then a = FLOOR(a) else a = -a; a + @g;", true},
      {"var x = ARGS[0]; x = x % 3 + (x << 2) + (x and 1) + (not x); x;", true},
      {"FLOOR(ARGS[0]) + FLOOR(ARGS[0] * 2);", true},
      {"var e = 1; e = e + 1; e;", true},
      {"var a = ARGS[0]; var b; b = b + a; b;", true},
      {"var a; a = ARGS[0] + LOG(2) + EXP(1) + SIN(1) + COS(1) + TAN(1) + ASIN(0.5) + ACOS(0.5) + ATAN(1) + LOG10(5); a;", true},
      {"var a = ABS(-2147483648) + ABS(ARGS[1]) + FLOOR(3) + SQRT(4); a;", true},
      // Kinds and emptiness known while the program is built: a kind changed in one branch
      // only, a variable set before it is read, integer constants in float arithmetic.
      {"var u = 0.5; if ARGS[0] > 2 then u = 3 else u = u * 2; var w = u / 2; w + FLOOR(u) + -u * 1.5;", true},
      {"var c; c = ARGS[1] * 3; c = c / 2 + c * 4 - 7; c + 1;", true},
      {"var u = 1.5 * ARGS[0]; u = 3; u = u * 2 + u / 2; u = -u; u - FLOOR(u / 4) * 4;", true},
      // A product with a difference or a sum after it, on either side, of known and unknown
      // kinds; NaNs of both signs, whose order shows in the result's sign.
      {"var a = ARGS[0] * 1.5; var b = ARGS[1]; a * b + b - (b - a * 0.5) + (b * a - 2) + (3 - b * b);", true},
      {"var n = ASIN(ARGS[0] + 9); var m = -n; var x = n * 1.5 + m; var y = m + n * 1.5; "
       "var z = m * 2 - n; var w = n - m * 2; x * 0 + y;", true},
      // A node the program would take as it stands reads a variable it changes, a call of
      // more than one number, strings, and a function that is never current: trees.
      {"var a = ARGS[0]; a = a + 1; @k(a) + 1;", false},
      {"var a = ARGS[0]; a + POW(a, 2);", false},
      {"var a = ARGS[0]; a + '1';", false},
      {"var a = ARGS[0]; a + STALE();", false},
      {"@g;", true},  // g's own body runs as a program
      // Calls evaluated in their place before any assignment: a string or a value that is
      // never current hands the body to the tree; a failure ends it with the variables
      // declared so far.
      {"ARGS[0] * 2 + @s;", true},
      {"ARGS[1] * 2 + @n;", true},
      {"var a; var b = ARGS[0] + @e; a;", true},
      {"var a = @g + ARGS[0]; a = a * @g; a + @s;", true},
      {"FLOOR(@g) + (if ARGS[0] > 2 then @s else 1);", true},
      {"var a = 3; return a + 1;", false},
      {"SIZE((return ARGS[0];)) + 1;", false},
      {"ARGS[0] + SIZE((ARGS = LIST(9, 8);)) + ARGS[0];", false},
      {"ARGS[0] + @m(ARGS) + ARGS[0];", false},
      {"ARGS[0] + @m(ARGS[1]) + ARGS[0];", true},
      {"POW((if ARGS[0] > 2 then return 5 else 1;), 2) + FLOOR(ARGS[0]);", false},
      {"var a = ARGS[0]; var i; for i = 1 to 5 do a = a + FLOOR(i * 1.5); a;", false},
  };
  for (const body_case& c : cases) {
    SCOPED_TRACE(c.body);
    const std::uint64_t runs = txl_numeric_body_runs;
    const std::string with_programs = call_series(c.body, true);
    EXPECT_EQ(txl_numeric_body_runs != runs, c.runs_as_program);
    EXPECT_EQ(with_programs, call_series(c.body, false));
  }
}

// Random bodies over three variables of mixed kinds, the arguments, math calls, a cached
// call and every operator, "if" and loops (which make a body a tree, with loop programs).
class random_bodies {
public:
  explicit random_bodies(unsigned seed) : state_(seed) {}

  std::string body() {
    std::string s = "var a = " + operand() + "; var b = " + operand() + "; var c; var i; ";
    const unsigned n = 1 + next(4);
    for (unsigned k = 0; k < n; ++k)
      s += statement(0) + "; ";
    return s + expr(1) + ";";
  }

private:
  unsigned next(unsigned n) {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 16) % n;
  }

  std::string operand() {
    static const char* const values[] = {"0", "1", "2", "7", "-3", "0.5", "2.75", "-1.5", "1e10",
                                         "2147483647", "ARGS[0]", "ARGS[1]", "@g"};
    return values[next(13)];
  }

  std::string expr(int depth) {
    if (depth > 3 || next(3) == 0)
      return next(2) ? std::string(1, "abc"[next(3)]) : operand();
    static const char* const binary[] = {"+", "-", "*", "/", "%", "&", "|", "^", "<<", ">>",
                                         "==", "!=", "<", "<=", ">", ">=", "and", "or"};
    static const char* const math[] = {"FLOOR", "CEIL", "ABS", "SQRT", "LOG", "ATAN"};
    switch (next(7)) {
      case 0: return "-(" + expr(depth + 1) + ")";
      case 1: return std::string(math[next(6)]) + "(" + expr(depth + 1) + ")";
      case 2: return "(if " + expr(depth + 1) + " then " + expr(depth + 1) + " else " + expr(depth + 1) + ")";
      default: return "(" + expr(depth + 1) + " " + binary[next(18)] + " " + expr(depth + 1) + ")";
    }
  }

  std::string statement(int depth) {
    switch (next(4)) {
      case 0: case 1: return std::string(1, "abc"[next(3)]) + " = " + expr(0);
      case 2: return "if " + expr(1) + " then (" + statement(depth + 1) + ";) else (" + statement(depth + 1) + ";)";
      default:
        if (depth > 0 || next(4) != 0)
          return "a = " + expr(0);
        return "for i = 1 to " + std::to_string(next(4)) + " do (" + statement(depth + 1) + ";)";
    }
  }

  unsigned state_;
};

TEST(NumericBody, RandomBodiesMatchTreeEvaluation) {
  random_bodies gen(20261208);
  const std::uint64_t runs = txl_numeric_body_runs;
  for (int n = 0; n < 600; ++n) {
    const std::string body = gen.body();
    SCOPED_TRACE(body);
    ASSERT_EQ(call_series(body, true), call_series(body, false));
  }
  EXPECT_GT(txl_numeric_body_runs - runs, 600u);  // most bodies ran as programs, in several calls
}

}  // namespace
}  // namespace quillet::test
