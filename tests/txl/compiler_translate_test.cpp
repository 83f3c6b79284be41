// Translation into evaluation trees: node classes per operator, folded negative constants,
// the spelled-out "for" loop, shared variable storages, call sites and their spans, and what
// the translated trees compute.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "compiler_support.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet {
namespace {

using testing_support::eval_text;

// Writes an evaluation tree compactly; variables appear as #n, numbered by storage in order
// of first appearance (ARGS as #args), so that shared storages show.
class expr_writer {
public:
  explicit expr_writer(const txl_user_function& fn) : fn_(fn) {}
  std::string text(const txl_expr* e);

private:
  std::string var(const txl_expr_localvar& storage);
  std::string children(const txl_expr* e, std::size_t from = 0);
  const txl_user_function& fn_;
  std::map<const txl_expr_localvar*, int> numbers_;
};

template <class T>
bool is(const txl_expr* e) { return dynamic_cast<const T*>(e) != nullptr; }

std::string expr_writer::var(const txl_expr_localvar& storage) {
  if (&storage == fn_.args.get())
    return "#args";
  auto it = numbers_.emplace(&storage, static_cast<int>(numbers_.size()) + 1).first;
  return "#" + std::to_string(it->second);
}

std::string expr_writer::children(const txl_expr* e, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < e->child_count(); ++i)
    out += " " + (e->child(i) ? text(e->child(i)) : std::string("_"));
  return out;
}

std::string expr_writer::text(const txl_expr* e) {
  static const std::pair<bool (*)(const txl_expr*), const char*> ops[] = {
      {is<txl_expr_unary_neg>, "neg"}, {is<txl_expr_unary_inv>, "inv"}, {is<txl_expr_unary_lnot>, "not"},
      {is<txl_expr_binary_add>, "add"}, {is<txl_expr_binary_sub>, "sub"}, {is<txl_expr_binary_mul>, "mul"},
      {is<txl_expr_binary_div>, "div"}, {is<txl_expr_binary_rem>, "rem"}, {is<txl_expr_binary_and>, "and_bits"},
      {is<txl_expr_binary_or>, "or_bits"}, {is<txl_expr_binary_xor>, "xor"}, {is<txl_expr_binary_shl>, "shl"},
      {is<txl_expr_binary_shr>, "shr"}, {is<txl_expr_binary_land>, "and"}, {is<txl_expr_binary_lor>, "or"},
      {is<txl_expr_compare_eq>, "eq"}, {is<txl_expr_compare_ne>, "ne"}, {is<txl_expr_compare_gt>, "gt"},
      {is<txl_expr_compare_ge>, "ge"}, {is<txl_expr_compare_lt>, "lt"}, {is<txl_expr_compare_le>, "le"},
      {is<txl_expr_index>, "index"}, {is<txl_expr_if>, "if"}, {is<txl_expr_for>, "loop"},
      {is<txl_expr_return>, "return"}, {is<txl_expr_break>, "break"}, {is<txl_expr_continue>, "continue"},
  };
  if (auto* c = dynamic_cast<const txl_expr_constant*>(e)) {
    std::string out;
    write_literal(c->result, 0, out);
    return c->result.type() == type_float ? out + "f" : out;
  }
  if (auto* r = dynamic_cast<const txl_expr_var_ref*>(e))
    return (r->declaration ? "var" : "") + var(r->storage());
  if (auto* a = dynamic_cast<const txl_expr_var_assign*>(e)) {
    std::string out = "(set" + var(a->storage()) + " " + text(a->child(0));
    return out + (a->child(1) ? " [" + text(a->child(1)) + "])" : ")");
  }
  if (is<txl_expr_seq>(e))
    return "{" + children(e).substr(e->child_count() ? 1 : 0) + "}";
  if (auto* f = dynamic_cast<const txl_expr_fncall*>(e))
    return (f->user_function ? "@" : "") + f->name + "(" + children(e).substr(e->child_count() ? 1 : 0) + ")";
  for (const auto& op : ops)
    if (op.first(e))
      return "(" + std::string(op.second) + children(e) + ")";
  return "?";
}

// The translated tree under the body's root.
std::string translated(std::string_view source) {
  auto fn = make_rc<txl_user_function>("f", std::string(source));
  txl_compiler c;
  if (c.compile(source, fn.get()) != 0)
    return "error " + std::to_string(c.error().code);
  if (!fn->body || fn->body->child_count() != 1)
    return "no body";
  return expr_writer(*fn).text(fn->body->child(0));
}

TEST(CompilerTranslate, NodeShapes) {
  const struct {
    const char* source;
    const char* tree;
  } rows[] = {
      {"-5", "-5"},
      {"-2.5", "-2.5f"},
      {"-(5)", "-5"},
      {"-(5;)", "{-5}"},
      {"-((5;);)", "{{-5}}"},
      {"-(5; 6;)", "(neg {5 6})"},
      {"-2147483648", "-2147483648"},
      {"-0x80000000", "-2147483648"},
      {"-4294967295", "1"},
      {"-'a'", "(neg \"a\")"},
      {"-F()", "(neg F())"},
      {"var x; -x;", "{var#1 (neg #1)}"},
      {"+5", "5"},
      {"~5", "(inv 5)"},
      {"not 5", "(not 5)"},
      {"1 - 2 * 3 / 4 % 5", "(sub 1 (rem (div (mul 2 3) 4) 5))"},
      {"1 & 2 | 3 ^ 4 << 5 + (6 >> 7)", "(add (xor (or_bits (and_bits 1 2) 3) (shl 4 5)) (shr 6 7))"},
      {"1 < 2 and 3 >= 4 or not 5", "(or (and (lt 1 2) (ge 3 4)) (not 5))"},
      {"1 == 2 or 1 != 2 or 1 > 2 or 1 <= 2", "(or (or (or (eq 1 2) (ne 1 2)) (gt 1 2)) (le 1 2))"},
      {"if 1 then 2", "(if 1 2 0)"},
      {"if 1 then 2 else 3", "(if 1 2 3)"},
      {"var i; for i = 1 to 3 do i;", "{var#1 (loop (set#1 1) (le #1 3) (set#1 (add #1 1)) #1)}"},
      {"var v; for v[0] = 1 to 3 do 0;",
       "{var#1 (loop (set#1 1 [0]) (le (index #1 0) 3) (set#1 (add (index #1 0) 1) [0]) 0)}"},
      {"var n = 2; var i; for i = 1 to n do break;",
       "{(set#1 2) var#2 (loop (set#2 1) (le #2 #1) (set#2 (add #2 1)) (break))}"},
      {"while 1 do continue;", "{(loop _ 1 _ (continue))}"},
      {"var a = 1; (var a = 2; a;); a;", "{(set#1 1) {(set#2 2) #2} #1}"},
      {"var a = 1; (a = 2;); a;", "{(set#1 1) {(set#1 2)} #1}"},
      {"var x; x[1] = 2;", "{var#1 (set#1 2 [1])}"},
      {"ARGS[0] + ARGS", "(add (index #args 0) #args)"},
      {"var ARGS = 1; ARGS;", "{(set#1 1) #1}"},
      {"(var ARGS;); ARGS;", "{{var#1} #args}"},
      {"F(G(1), @h, @'x y'(2))", "F(G(1) @h() @x y(2))"},
      {"@f(1)[2]", "(index @f(1) 2)"},
      {"return 1;", "{(return 1)}"},
      {";", "{}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    EXPECT_EQ(translated(row.source), row.tree);
  }
}

TEST(CompilerTranslate, CallSitesInOrderWithSpans) {
  auto fn = make_rc<txl_user_function>("f", "");
  txl_compiler c;
  ASSERT_EQ(c.compile("F(G(1), @h) + K( ) - @'x y'(2)", fn.get()), 0);
  const struct {
    const char* name;
    bool user;
    int start, end;
  } rows[] = {
      {"G", false, 2, 5}, {"h", true, 8, 9}, {"F", false, 0, 10}, {"K", false, 14, 17}, {"x y", true, 21, 29},
  };
  ASSERT_EQ(fn->call_sites.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    const txl_expr_fncall& site = *fn->call_sites[i];
    EXPECT_EQ(site.name, rows[i].name);
    EXPECT_EQ(site.user_function, rows[i].user);
    EXPECT_EQ(site.span_start, rows[i].start);
    EXPECT_EQ(site.span_end, rows[i].end);
    EXPECT_FALSE(site.is_bound());
  }
  EXPECT_EQ(fn->body->span_start, 0);
  EXPECT_EQ(fn->body->span_end, 29);
}

TEST(CompilerTranslate, RecompilingReplacesBodyAndCallSites) {
  auto fn = make_rc<txl_user_function>("f", "");
  txl_compiler c;
  ASSERT_EQ(c.compile("F(1) + G(2)", fn.get()), 0);
  ASSERT_EQ(fn->call_sites.size(), 2u);
  ASSERT_EQ(c.compile("H()", fn.get()), 0);
  ASSERT_EQ(fn->call_sites.size(), 1u);
  EXPECT_EQ(fn->call_sites[0]->name, "H");
  txl_expr_root* body = fn->body.get();
  // A failing compilation leaves the last good body alone.
  EXPECT_EQ(c.compile("H() +", fn.get()), -1);
  EXPECT_EQ(fn->body.get(), body);
  EXPECT_EQ(fn->call_sites.size(), 1u);
}

TEST(CompilerTranslate, TranslatedTreesCompute) {
  const struct {
    const char* source;
    const char* value;
  } rows[] = {
      {"1 + 2 * 3 & 4", "1"},
      {"(1 + 2) * 3", "9"},
      {"-2 << 1", "-4"},
      {"-5", "-5"},
      {"-2147483648", "-2147483648"},
      {"- -2147483648 + 0", "Line 1: syntax error"},
      {"var s = 0; var i; for i = 1 to 3 do s = s + i; s;", "6"},
      {"var s = 0; var i; for i = 1 to 3 do s = s + i; i;", "4"},
      {"var n = 3; var s = 0; var i; for i = 1 to n do (s = s + i; n = 2;); s;", "3"},
      {"var a = 1; (var a = 2; a;); a;", "1"},
      {"var a = 1; (a = 2;); a;", "2"},
      {"var x = 0; while x < 3 do x = x + 1; x;", "3"},
      {"var x = 0; while 1 do (x = x + 1; if x > 4 then break;); x;", "5"},
      {"(return 7;); 8;", "7"},
      {"var i; for i = 1 to 10 do (return i * 2;); 0;", "2"},
      {"if 0 then 1", "0"},
      {"if 1 then if 0 then 2 else 3", "3"},
      {"var v = LIST(1, 2); for v[1] = 5 to 7 do 0; v;", "LIST(1,8)"},
      {"'a\\'b' + \"c\"", "\"a\\'bc\""},
      {"ARGS", "LIST()"},
      {";", "0"},
      {"var x; x;", "0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    EXPECT_EQ(eval_text(row.source), row.value);
  }
}

}  // namespace
}  // namespace quillet
