// Parse trees: precedence and associativity, statement lists, loops, calls and indexing, and
// the byte spans the nodes cover.
#include <gtest/gtest.h>

#include <string>

#include "compiler_support.h"
#include "txl/compiler.h"

namespace quillet {
namespace {

using testing_support::parse_text;

TEST(CompilerTree, PrecedenceAndAssociativity) {
  const struct {
    const char* source;
    const char* tree;
  } rows[] = {
      {"1 + 2 * 3 & 4", "(add 1 (mul 2 (and_bits 3 4)))"},
      {"1 & 2 * 3 + 4", "(add (mul (and_bits 1 2) 3) 4)"},
      {"1 - 2 - 3", "(sub (sub 1 2) 3)"},
      {"1 - 2 + 3", "(add (sub 1 2) 3)"},
      {"1 / 2 * 3 % 4", "(rem (mul (div 1 2) 3) 4)"},
      {"1 & 2 | 3 ^ 4", "(xor (or_bits (and_bits 1 2) 3) 4)"},
      {"1 ^ 2 & 3", "(and_bits (xor 1 2) 3)"},
      {"1 << 2 & 3", "(and_bits (shl 1 2) 3)"},
      {"1 & 2 >> 3", "(and_bits 1 (shr 2 3))"},
      {"1 < 2 + 3", "(lt 1 (add 2 3))"},
      {"1 + 2 >= 3 * 4", "(ge (add 1 2) (mul 3 4))"},
      {"1 == 2 and 3 != 4", "(and (eq 1 2) (ne 3 4))"},
      {"1 <= 2 or 3 > 4", "(or (le 1 2) (gt 3 4))"},
      {"1 or 2 and 3", "(or 1 (and 2 3))"},
      {"1 and 2 or 3", "(or (and 1 2) 3)"},
      {"1 or 2 or 3", "(or (or 1 2) 3)"},
      {"1 and 2 and 3", "(and (and 1 2) 3)"},
      {"-2 << 1", "(shl (neg 2) 1)"},
      {"not 1 + ~2", "(add (not 1) (inv 2))"},
      {"+5 - -5", "(sub (plus 5) (neg 5))"},
      {"-(1 + 2) * 3", "(mul (neg (add 1 2)) 3)"},
      {"(1 + 2) * 3", "(mul (add 1 2) 3)"},
      {"((((7))))", "7"},
      {"var x; -x[1];", "{var x; (neg x[1])}"},
      {"if 1 then 2", "(if 1 2)"},
      {"if 1 or 0 then 2 else 3", "(if (or 1 0) 2 3)"},
      {"if 1 then if 2 then 3 else 4", "(if 1 (if 2 3 4))"},
      {"if 1 then 2 else if 0 then 3 else 4", "(if 1 2 (if 0 3 4))"},
      {"1 + (if 1 then 2 else 3)", "(add 1 (if 1 2 3))"},
      {"var a; var x; if a then x = 1 else x = 2;", "{var a; var x; (if a (assign x 1) (assign x 2))}"},
      {"F(1, G(), 'a')", "F(1, G(), \"a\")"},
      {"F()", "F()"},
      {"@f", "@f"},
      {"@f()", "@f"},
      {"@ f(1)", "@f(1)"},
      {"@'my func'(1)", "@my func(1)"},
      {"@f(1,2)[0]", "(index @f(1, 2) 0)"},
      {"@f[ARGS[1]]", "(index @f ARGS[1])"},
      {"ARGS", "ARGS"},
      {"var ARGS; ARGS;", "{var ARGS; ARGS}"},
      {"(1; 2;)", "{1; 2}"},
      {"(var t = 2; t * t;)", "{(assign var t 2); (mul t t)}"},
      {";", "{}"},
      {"1;;", "{1}"},
      {"; 1; ; 2;", "{1; 2}"},
      {"(;)", "{}"},
      {"return 1;", "{(return 1)}"},
      {"var v; v[0] = 2;", "{var v; (assign v[0] 2)}"},
      {"var i; for i = 1 to 3 do i;", "{var i; (for i 1 3 i)}"},
      {"var v; for v[1] = 1 to 3 do 0;", "{var v; (for v[1] 1 3 0)}"},
      {"while 1 do break;", "{(while 1 (break))}"},
      {"while 1 do while 2 do continue;", "{(while 1 (while 2 (continue)))}"},
      {"while 1 do x = 1; var x;", "error 11"},
      {"1e5 + 2.5 + 0x10", "(add (add 100000f 2.5f) 16)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    EXPECT_EQ(parse_text(row.source), row.tree);
  }
}

// Spans of the root node: smallest and largest byte offsets covered, keywords, ";" and
// parentheses included.
TEST(CompilerTree, RootSpans) {
  const struct {
    const char* source;
    int start, end;
  } rows[] = {
      {"1 + 23", 0, 5},
      {"  abc(1) ", 2, 7},
      {"'text'", 0, 5},
      {"(1)", 0, 2},
      {" ( 1 + 2 ) ", 1, 9},
      {"-5", 0, 1},
      {"not 1", 0, 4},
      {"@ f", 0, 2},
      {"@'f'(1)", 0, 6},
      {"return 5;", 0, 8},
      {"var x;", 0, 5},
      {"var x = 1 ;", 0, 10},
      {"if 1 then 2", 0, 10},
      {"while 1 do break;", 0, 16},
      {"ARGS[2]", 0, 6},
      {";", -1, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    txl_compiler c;
    ASSERT_EQ(c.compile(row.source), 0);
    EXPECT_EQ(c.root()->span_start, row.start);
    EXPECT_EQ(c.root()->span_end, row.end);
  }
}

}  // namespace
}  // namespace quillet
