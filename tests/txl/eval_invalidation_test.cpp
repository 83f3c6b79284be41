// Invalidation after a variable changes: whatever shortcut variable_changed takes, the valid
// flags it leaves must be those of clearing every reader's and assigner's ancestors one by
// one, as invalidate does, for every variable of every tree shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "eval_support.h"

namespace quillet::test {
namespace {

// Every node's valid flag in pre-order, "+" or "-", "_" for an empty slot.
std::string flags(const txl_expr* e) {
  std::string out;
  std::vector<const txl_expr*> pending{e};
  while (!pending.empty()) {
    const txl_expr* n = pending.back();
    pending.pop_back();
    if (!n) {
      out += '_';
      continue;
    }
    out += n->valid ? '+' : '-';
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
      pending.push_back(it->get());
  }
  return out;
}

// The storages the body's variable nodes name, ARGS included, in pre-order of first use.
std::vector<txl_expr_localvar*> storages(const txl_expr* root) {
  std::vector<txl_expr_localvar*> out;
  std::vector<const txl_expr*> pending{root};
  while (!pending.empty()) {
    const txl_expr* n = pending.back();
    pending.pop_back();
    txl_expr_localvar* s = nullptr;
    if (auto* r = dynamic_cast<const txl_expr_var_ref*>(n))
      s = &r->storage();
    else if (auto* a = dynamic_cast<const txl_expr_var_assign*>(n))
      s = &a->storage();
    if (s && std::find(out.begin(), out.end(), s) == out.end())
      out.push_back(s);
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
      if (*it)
        pending.push_back(it->get());
  }
  return out;
}

// The reference behaviour: each dependent and its ancestors, one walk each.
void walk_each_dependent(txl_expr_localvar& storage) {
  for (std::size_t i = 0; i < storage.dependent_count(); ++i)
    invalidate(*storage.dependent(i));
}

// Two copies of the same function, evaluated alike; every variable of the first is changed
// through variable_changed and the same variable of the second through the reference walk,
// and both trees must then hold the same flags and evaluate to the same result.
void check_same_invalidation(const std::string& source) {
  eval_template a;
  eval_template b;
  txl_user_function& fa = a.add("f", source);
  txl_user_function& fb = b.add("f", source);
  a.bind();
  b.bind();
  ASSERT_TRUE(fa.body && fb.body);
  ASSERT_EQ(a.call(fa, {anyval::from_int(2)}), b.call(fb, {anyval::from_int(2)}));
  ASSERT_EQ(flags(fa.body.get()), flags(fb.body.get()));
  std::vector<txl_expr_localvar*> sa = storages(fa.body.get());
  std::vector<txl_expr_localvar*> sb = storages(fb.body.get());
  ASSERT_EQ(sa.size(), sb.size());
  for (std::size_t i = 0; i < sa.size(); ++i) {
    SCOPED_TRACE("variable " + std::to_string(i));
    variable_changed(*sa[i]);
    walk_each_dependent(*sb[i]);
    EXPECT_EQ(flags(fa.body.get()), flags(fb.body.get()));
  }
  EXPECT_EQ(a.call(fa, {anyval::from_int(5)}), b.call(fb, {anyval::from_int(5)}));
  EXPECT_EQ(flags(fa.body.get()), flags(fb.body.get()));
}

TEST(EvalInvalidation, SameFlagsAsWalkingFromEveryDependent) {
  const std::vector<std::string> sources = {
      "var x = 1; x * 2;",
      "var x = 1; if x then 5 else 6;",
      "var x = 1; if 0 then x else 2;",
      "var x = 1; TICK() + 1; x;",
      "var x = 0; x and TICK();",
      "var x = 1; x or STALE();",
      "var s = 0; var i; for i = 1 to 3 do s = s + i; s;",
      "var x = 1; while x < 4 do x = x + 1; x;",
      "var a = LIST(1,2); a[1] = a[0] + 1; a[1] * 3;",
      "var x = 2; (var y = x; y + x;) + -x;",
      "var x = 2; (var x = 3; x;) + x;",
      "ARGS[0] + (var k = 3; k * ARGS[0];)",
      "var x = 1; x = x + 1; (x + 1) * (x - 1);",
      "var x; var y = 4; var l = LIST(x, y, x + y); l[2] + l[0];",
      "var x = 5; if x > 3 then return x + 1; 0;",
      "var t = 'ab'; t[0] = 'z'; t + ARGS[0];",
      "var n = 0; var i; for i = 0 to 5 do if i % 2 then continue else n = n + STALE(); n;",
  };
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    check_same_invalidation(source);
  }
}

// A variable read in more places than one change clears at once is walked reader by reader.
TEST(EvalInvalidation, ManyReadersOfOneVariable) {
  for (int readers : {10, 4095, 4097, 6000}) {
    SCOPED_TRACE(readers);
    std::string source = "var x = 1; ";
    for (int i = 0; i < readers; ++i)
      source += "x; ";
    check_same_invalidation(source);
  }
}

// Plans follow the trees: a function compiled, bound and released between two changes of a
// variable leaves the next change as exact as the first.
TEST(EvalInvalidation, TreesBuiltAndReleasedBetweenChanges) {
  tree_bodies_only trees;
  eval_template t;
  txl_user_function& f = t.add("f", "var x = 1; var y = x + 1; y * x;");
  t.bind();
  EXPECT_EQ(t.call(f), "f:2");
  std::vector<txl_expr_localvar*> vars = storages(f.body.get());
  ASSERT_EQ(vars.size(), 2u);
  variable_changed(*vars[0]);
  EXPECT_EQ(flags(f.body.get()), "---+---+-+-");
  EXPECT_EQ(t.call(f), "f:2");
  {
    eval_template other;
    txl_user_function& g = other.add("g", "var z = 1; z + z;");
    other.bind();
    EXPECT_EQ(other.call(g), "f:2");
  }
  variable_changed(*vars[1]);
  EXPECT_EQ(flags(f.body.get()), "---+-+++--+");
  EXPECT_EQ(t.call(f), "f:2");
}

}  // namespace
}  // namespace quillet::test
