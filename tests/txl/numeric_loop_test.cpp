// Loops of numbers run as register programs: every outcome (value, kind, marker, the
// variables left behind, what later evaluations see) must be the one tree evaluation gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_support.h"
#include "txl/compiler.h"
#include "txl/expr_nodes.h"
#include "txl/loop_budget.h"

namespace quillet::test {
namespace {

// The outcome of evaluating a text, followed by the kind and exact bits of every variable
// of its body, with loop programs on or off (bodies are never programs here).
std::string outcome(const std::string& source, bool programs, std::int64_t budget = -1) {
  txl_numeric_loops_enabled = programs;
  txl_numeric_bodies_enabled = false;
  auto f = make_rc<txl_user_function>(std::string(), source);
  txl_compiler compiler;
  if (compiler.compile(source, f.get()) != 0) {
    txl_numeric_loops_enabled = true;
    txl_numeric_bodies_enabled = true;
    return "compile error " + std::to_string(compiler.error().code);
  }
  eval_template t;
  t.functions.push_back(f);
  t.bind();
  std::string out;
  if (budget >= 0) {
    txl_loop_budget b(budget);
    out = t.call(*f);
  } else {
    out = t.call(*f);
  }
  out += variable_states(f->body.get());
  txl_numeric_loops_enabled = true;
  txl_numeric_bodies_enabled = true;
  return out;
}

struct loop_case {
  const char* source;
  bool runs_as_program;
};

TEST(NumericLoop, SameOutcomeAsTreeEvaluation) {
  const std::vector<loop_case> cases = {
      {"var s = 0; var i; for i = 1 to 1000 do s = s + i; s;", true},
      {"var s = 0; var i; for i = 1 to 3 do s = s + i; i;", true},
      {"var i; for i = 5 to 1 do i = 99; i;", true},
      {"var i = 0; while i < 5 do i = i + 1; i;", true},
      {"while 1 do break;", true},
      {"while 0 do 1;", true},
      {"var s = 0; var i; for i = 1 to 9 do (if i == 3 then continue; if i == 7 then break; s = s + i;); s;", true},
      {"var i = 0; var j = 0; while i < 3 do (i = i + 1; while 1 do (j = j + 1; break;);); j;", true},
      {"var n = 3; var c = 0; var i; for i = 1 to n do (n = n - 1; c = c + 1;); c;", true},
      {"var x = 7; var i; for i = 0 to 40 do x = (x * 3 + i) % 1000 ^ (x << 2) | (x >> 1) & ~i; x;", true},
      {"var x = 0.75; var y = 0; var i; for i = 1 to 4 do (y = y + (x % 2) + -x + (not x) + (x and i) + (0 or x);); y;", true},
      {"var x = 1; var i; for i = 1 to 3 do x = -x; x;", true},
      {"var x = -2147483648; var i; for i = 1 to 1 do x = -x; x;", true},
      {"var z = 0; var q = 0; var i; for i = 1 to 2 do (q = z / z; q = (q == q) + (q < 1) + (q != q) * 10 + (q > 0) * 100 + (q >= 0) * 1000 + (q <= 0) * 10000;); q;", true},
      {"var big = 3000000000.0; var r = 0; var i; for i = 1 to 2 do r = big % 7 + (big & 255) + (big << 1); r;", true},
      {"var x = 2; var r; var i; for i = 1 to 2 do r = x + (x = 5;); r;", true},
      {"var x = 2; var r; var i; for i = 1 to 2 do r = (if 1 then x else 0) + (x = 5;); r;", true},
      {"var x = 2; var r; var i; for i = 1 to 2 do r = (x;) + (x = 9;); r;", true},
      {"var s = 0; var i; for i = 1 to 3 do (var t = i * 2; s = s + t;); s;", true},
      {"if 0 then var x else 0; var i; for i = 1 to 3 do x = x + 1;", true},
      {"if 0 then var x else 0; var i; for i = 1 to 3 do (x = i; x = x + 1;); x;", true},
      {"var n = 0; var out = 0; var k; for k = 1 to 3 do (var j; for j = 1 to 2 do n = n + 1; out = out + n * TICK();); out;", true},
      // Not numbers alone: evaluated as trees.
      {"var s = ''; var i; for i = 1 to 3 do s = s + i; s;", false},
      {"var s = 0; var i; for i = 1 to 3 do s = s + ABS(i); s;", false},
      {"var v = LIST(1, 2); var s = 0; var i; for i = 0 to 1 do s = s + v[i]; s;", false},
      {"var i; for i = 1 to 10 do (if i == 3 then return i * 10;); 0;", false},
      {"var l = LIST(1); var i; for i = 1 to 3 do l = i; l;", false},
  };
  for (const loop_case& c : cases) {
    SCOPED_TRACE(c.source);
    const std::uint64_t runs = txl_numeric_loop_runs;
    const std::string with_programs = outcome(c.source, true);
    EXPECT_EQ(txl_numeric_loop_runs != runs, c.runs_as_program);
    reset_ticks();
    ticks_current = true;
    EXPECT_EQ(with_programs, outcome(c.source, false));
  }
}

TEST(NumericLoop, LoopBudgetEndsBothAlike) {
  for (const char* source : {"var i = 0; while 1 do i = i + 1; i;",
                             "var i; var j; var n = 0; for i = 1 to 50 do for j = 1 to 50 do n = n + 1; n;",
                             "var i = 0; while i < 3 do i = i + 1; i;"}) {
    for (std::int64_t budget : {0, 1, 3, 4, 5, 100}) {
      SCOPED_TRACE(std::string(source) + " budget " + std::to_string(budget));
      EXPECT_EQ(outcome(source, true, budget), outcome(source, false, budget));
    }
  }
}

// Random loops over three variables of mixed kinds, every operator and control form.
class random_loops {
public:
  explicit random_loops(unsigned seed) : state_(seed) {}

  std::string program() {
    std::string s = "var a = " + literal() + "; var b = " + literal() + "; var c = " + literal() +
                    "; var i; var j; var k; ";
    s += loop(0);
    return s + "; LIST(a, b, c);";
  }

private:
  unsigned next(unsigned n) {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 16) % n;
  }

  std::string literal() {
    static const char* const values[] = {"0", "1", "2", "7", "-3", "100", "0.5", "2.75", "-1.5", "1e10", "2147483647", "65536"};
    return values[next(12)];
  }

  std::string var() { return std::string(1, "abcijk"[next(6)]); }

  std::string expr(int depth) {
    if (depth > 3 || next(3) == 0)
      return next(2) ? var() : literal();
    static const char* const binary[] = {"+", "-", "*", "/", "%", "&", "|", "^", "<<", ">>",
                                         "==", "!=", "<", "<=", ">", ">=", "and", "or"};
    switch (next(6)) {
      case 0: return "-(" + expr(depth + 1) + ")";
      case 1: return (next(2) ? "~(" : "not (") + expr(depth + 1) + ")";
      case 2: return "(if " + expr(depth + 1) + " then " + expr(depth + 1) + " else " + expr(depth + 1) + ")";
      default: return "(" + expr(depth + 1) + " " + binary[next(18)] + " " + expr(depth + 1) + ")";
    }
  }

  std::string statement(int depth, bool in_loop) {
    switch (next(in_loop ? 7 : 5)) {
      case 0: case 1: return std::string(1, "abc"[next(3)]) + " = " + expr(0);
      case 2: return "if " + expr(1) + " then (" + statement(depth + 1, in_loop) + ";) else (" +
                     statement(depth + 1, in_loop) + ";)";
      case 3: return depth < 2 ? loop(depth + 1) : "a = " + expr(0);
      case 4: return "(" + statement(depth + 1, in_loop) + "; " + statement(depth + 1, in_loop) + ";)";
      case 5: return "if " + expr(1) + " then break";
      default: return "if " + expr(1) + " then continue";
    }
  }

  std::string loop(int depth) {
    const std::string v(1, "ijk"[depth]);
    std::string body = "(" + statement(depth, true) + "; " + statement(depth, true) + ";)";
    if (next(4) == 0)
      return "while " + expr(1) + " do " + body;
    return "for " + v + " = " + std::to_string(next(3)) + " to " + std::to_string(next(6)) + " do " + body;
  }

  unsigned state_;
};

TEST(NumericLoop, RandomLoopsMatchTreeEvaluation) {
  random_loops gen(20261208);
  const std::uint64_t runs = txl_numeric_loop_runs;
  for (int n = 0; n < 1500; ++n) {
    const std::string source = gen.program();
    SCOPED_TRACE(source);
    const std::string with_programs = outcome(source, true, 5000);
    ASSERT_EQ(with_programs.rfind("compile error", 0), std::string::npos);
    ASSERT_EQ(with_programs, outcome(source, false, 5000));
  }
  EXPECT_EQ(txl_numeric_loop_runs - runs, 1500u);  // every one ran as a program
}

}  // namespace
}  // namespace quillet::test
