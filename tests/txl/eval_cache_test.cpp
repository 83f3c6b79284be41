// The result cache: which nodes are valid after an evaluation, what a change of a variable
// or of ARGS invalidates, and how often a function is really called.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins_support.h"
#include "eval_support.h"
#include "txl/compiler.h"

namespace quillet::test {
namespace {

// A short name for a node's class.
std::string node_name(const txl_expr& e) {
  if (dynamic_cast<const txl_expr_constant*>(&e)) return "k";
  if (dynamic_cast<const txl_expr_root*>(&e)) return "root";
  if (dynamic_cast<const txl_expr_seq*>(&e)) return "seq";
  if (dynamic_cast<const txl_expr_if*>(&e)) return "if";
  if (dynamic_cast<const txl_expr_for*>(&e)) return "loop";
  if (dynamic_cast<const txl_expr_var_ref*>(&e)) return "v";
  if (dynamic_cast<const txl_expr_var_assign*>(&e)) return "set";
  if (dynamic_cast<const txl_expr_fncall*>(&e)) return "call";
  if (dynamic_cast<const txl_expr_binary_land*>(&e)) return "and";
  if (dynamic_cast<const txl_expr_binary_lor*>(&e)) return "or";
  if (dynamic_cast<const txl_expr_index*>(&e)) return "idx";
  if (dynamic_cast<const txl_expr_compare*>(&e)) return "cmp";
  if (dynamic_cast<const txl_expr_binary*>(&e)) return "bin";
  if (dynamic_cast<const txl_expr_unary*>(&e)) return "un";
  if (dynamic_cast<const txl_expr_return*>(&e)) return "ret";
  return "?";
}

// The tree with each node's valid flag: "bin+(v-,k+)"; an empty slot is "_".
std::string validity(const txl_expr* e) {
  if (!e)
    return "_";
  std::string out = node_name(*e) + (e->valid ? "+" : "-");
  if (e->children.empty())
    return out;
  out += "(";
  for (std::size_t i = 0; i < e->children.size(); ++i)
    out += (i ? "," : "") + validity(e->children[i].get());
  return out + ")";
}

struct cache_case {
  const char* source;
  const char* after_evaluation;
};

TEST(EvalCache, ValidFlagsAfterOneEvaluation) {
  tree_bodies_only trees;
  const std::vector<cache_case> cases = {
      {"1 + 2", "root+(bin+(k+,k+))"},
      {"-ARGS[0]", "root+(un+(idx+(v+,k+)))"},
      {"var x = 1; x + 2;", "root+(seq-(set-(k+),bin+(v+,k+)))"},
      {"var x; x;", "root+(seq+(v+,v+))"},
      {"TICK()", "root+(call+)"},
      {"STALE() + 1", "root+(bin-(call-,k+))"},
      {"0 and STALE()", "root+(and+(k+,call-))"},
      {"1 and STALE()", "root+(and-(k+,call-))"},
      {"1 or STALE()", "root+(or+(k+,call-))"},
      {"if 1 then 2 else STALE()", "root+(if+(k+,k+,call-))"},
      {"if 0 then 2 else STALE()", "root+(if-(k+,k+,call-))"},
      {"while 0 do STALE();", "root+(seq+(loop+(_,k+,_,call-)))"},
      {"LIST((var x = 1;))", "root+(call+(seq-(set-(k+))))"},
      {"return 4;", "root+(seq-(ret-(k+)))"},
  };
  for (const cache_case& c : cases) {
    SCOPED_TRACE(c.source);
    eval_template t;
    txl_user_function& f = t.add("f", c.source);
    t.bind();
    t.call(f, {anyval::from_int(3)});
    EXPECT_EQ(validity(f.body.get()), c.after_evaluation);
  }
}

// The first storage whose variable the body assigns or reads, other than ARGS.
txl_expr_localvar* first_variable(const txl_user_function& f) {
  std::vector<const txl_expr*> pending{f.body.get()};
  while (!pending.empty()) {
    const txl_expr* e = pending.back();
    pending.pop_back();
    if (auto* r = dynamic_cast<const txl_expr_var_ref*>(e); r && &r->storage() != f.args.get())
      return &r->storage();
    for (auto it = e->children.rbegin(); it != e->children.rend(); ++it)
      if (*it)
        pending.push_back(it->get());
  }
  return nullptr;
}

TEST(EvalCache, ChangingAVariableInvalidatesItsReadersAndTheirAncestors) {
  tree_bodies_only trees;
  const std::vector<cache_case> cases = {
      {"var x = 1; x * 2;", "root-(seq-(set-(k+),bin-(v-,k+)))"},
      {"var x = 1; if x then 5 else 6;", "root-(seq-(set-(k+),if-(v-,k+,k+)))"},
      {"var x = 1; TICK() + 1; x;", "root-(seq-(set-(k+),bin+(call+,k+),v-))"},
      {"var x = 0; x and TICK();", "root-(seq-(set-(k+),and-(v-,call-)))"},
  };
  for (const cache_case& c : cases) {
    SCOPED_TRACE(c.source);
    eval_template t;
    txl_user_function& f = t.add("f", c.source);
    t.bind();
    t.call(f);
    txl_expr_localvar* x = first_variable(f);
    ASSERT_NE(x, nullptr);
    variable_changed(*x);
    EXPECT_EQ(validity(f.body.get()), c.after_evaluation);
  }
}

TEST(EvalCache, ArgumentsInvalidateOnlyTheirReaders) {
  tree_bodies_only trees;
  reset_ticks();
  eval_template t;
  txl_user_function& f = t.add("f", "ARGS[0] + TICK()");
  t.bind();
  EXPECT_EQ(t.call(f, {anyval::from_int(1)}), "f:2");
  EXPECT_EQ(t.call(f, {anyval::from_int(5)}), "f:6");
  EXPECT_EQ(tick_calls, 1);
  EXPECT_EQ(validity(f.body.get()), "root+(bin+(idx+(v+,k+),call+))");
}

struct count_case {
  const char* body;
  int calls;              // how often the body is called, with ARGS 1, 2, 3
  const char* last;       // the last call's outcome
  int tick_calls;         // TICK calls made
};

TEST(EvalCache, FunctionsAreCalledOnlyWhenTheirResultMayHaveChanged) {
  const std::vector<count_case> cases = {
      {"TICK()", 3, "i:1", 1},
      {"TICK() + ARGS[0]", 3, "f:4", 1},
      {"TICK(ARGS[0])", 3, "i:3", 3},
      {"TICK(1) * 2", 3, "f:2", 1},
      {"STALE() + TICK()", 3, "f:8", 1},
      {"var n = 0; n = n + TICK(); n;", 3, "f:1", 1},
  };
  for (const count_case& c : cases) {
    SCOPED_TRACE(c.body);
    reset_ticks();
    eval_template t;
    txl_user_function& f = t.add("f", c.body);
    t.bind();
    std::string last;
    for (int i = 1; i <= c.calls; ++i)
      last = t.call(f, {anyval::from_int(i)});
    EXPECT_EQ(last, c.last);
    EXPECT_EQ(tick_calls, c.tick_calls);
  }
}

TEST(EvalCache, StaleResultsAreRecomputed) {
  reset_ticks();
  ticks_current = false;
  eval_template t;
  txl_user_function& f = t.add("f", "TICK() * 10");
  t.bind();
  EXPECT_EQ(t.call(f), "f:10");
  EXPECT_EQ(t.call(f), "f:20");
  EXPECT_EQ(t.call(f), "f:30");
  EXPECT_EQ(f.change_count, 3);
  // Once TICK vouches for its last result again, the body is served from its cache.
  ticks_current = true;
  EXPECT_EQ(t.call(f), "f:30");
  EXPECT_EQ(t.call(f), "f:30");
  EXPECT_EQ(tick_calls, 3);
  EXPECT_EQ(f.change_count, 3);
}

// Variables that each read the next one twice form a DAG of 2^60 paths: each is asked
// whether it is current once per question, so the calls and questions stay linear.
TEST(EvalCache, ADagOfVariablesIsComputedOncePerState) {
  reset_ticks();
  ticks_current = true;
  eval_template t;
  const int n = 60;
  t.add("v_" + std::to_string(n), "TICK()");
  for (int i = n - 1; i >= 0; --i)
    t.add("v_" + std::to_string(i), "@v_" + std::to_string(i + 1) + " + @v_" + std::to_string(i + 1));
  t.bind();
  EXPECT_EQ(t.call("v_0"), "f:1.152921505e+18");
  EXPECT_EQ(t.call("v_0"), "f:1.152921505e+18");
  EXPECT_EQ(tick_calls, 1);
}

// A parent's read of a variable, step by step: the variable's state before the read, the
// outcome, the error text and the reader's valid flag afterwards.
TEST(EvalCache, VariableReadsFollowTheVariablesState) {
  struct step {
    const char* action;  // "empty", "int", "float": what the variable holds before the read
    bool ok;
    const char* error;
    bool valid_after;
  };
  const step steps[] = {
      {"empty", false, "#NVAL#", false},
      {"int", true, "", true},
      {"int", true, "", true},
      {"empty", false, "#NVAL#", false},
      {"float", true, "", true},
  };
  auto storage = make_rc<txl_expr_localvar>();
  auto read = make_rc<txl_expr_var_ref>(storage, false);
  auto parent = make_rc<txl_expr_root>(read);
  for (const step& s : steps) {
    SCOPED_TRACE(s.action);
    std::string kind = s.action;
    if (kind == "empty")
      storage->value = anyval();
    else if (kind == "int")
      storage->value = anyval::from_int(7);
    else
      storage->value = anyval::from_float(2.5);
    variable_changed(*storage);
    EXPECT_FALSE(read->valid);
    std::string error;
    EXPECT_EQ(txl_expr::evaluate_child(*read, error), s.ok);
    EXPECT_EQ(error, s.error);
    EXPECT_EQ(read->valid, s.valid_after);
    if (s.ok) {
      EXPECT_EQ(&read->value(), &storage->value);
    }
  }
}

// A built-in that makes a string rewrites its last one only while its call site alone holds
// it: a result someone kept (a cell's value, a list element) keeps its text.
TEST(EvalCache, StringResultsKeptByOthersStayAsTheyWere) {
  for (const char* body : {"FORMAT(\"%d\", TICK())", "STR(TICK())", "TIMESTR(\"%S\", TICK())"}) {
    SCOPED_TRACE(body);
    reset_ticks();
    ticks_current = false;
    eval_template t;
    txl_user_function& p = t.add("", body);
    t.bind();
    std::vector<anyval> kept(3);
    std::string error;
    for (anyval& value : kept)
      ASSERT_TRUE(evaluate_user_property(p, value, &error, t.messages)) << error;
    EXPECT_EQ(describe(kept[0]).back(), '1');
    EXPECT_EQ(describe(kept[1]).back(), '2');
    EXPECT_EQ(describe(kept[2]).back(), '3');
    anyval next;
    ASSERT_TRUE(evaluate_user_property(p, next, &error, t.messages)) << error;
    EXPECT_EQ(describe(next).back(), '4');
  }
  run_eval_cases({
      {"var l = LIST(); var i; for i = 1 to 3 do l = INSERT(l, FORMAT(\"%d\", i), 9); l;", "v(s:1,s:2,s:3)"},
      {"var a = FORMAT(\"%d\", 1); var b = a; var i; for i = 1 to 3 do a = FORMAT(\"%d\", i); b + a;", "s:13"},
  });
}

}  // namespace
}  // namespace quillet::test
