// User functions: calls with ARGS, binding and its messages, the recursion check and its
// markers, functions without a body, and whether a cached result is still current.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "builtins_support.h"
#include "eval_support.h"

namespace quillet::test {
namespace {

struct call_case {
  std::vector<std::pair<std::string, std::string>> functions;  // the template's variables
  const char* property;                                        // evaluated as an unnamed property
  const char* expect;
  const char* messages;
};

void run_call_cases(const std::vector<call_case>& cases) {
  for (const call_case& c : cases) {
    SCOPED_TRACE(c.property);
    eval_template t;
    for (const auto& [name, body] : c.functions)
      t.add(name, body);
    txl_user_function& property = t.add("", c.property);
    t.bind();
    EXPECT_EQ(t.call(property), c.expect);
    EXPECT_EQ(t.messages.text, c.messages);
  }
}

TEST(EvalUserFunctions, CallsAndArguments) {
  run_call_cases({
      {{{"f", "ARGS[0] * 2"}}, "@f(21)", "f:42", ""},
      {{{"f", "SIZE(ARGS)"}}, "@f", "i:0", ""},
      {{{"f", "SIZE(ARGS)"}}, "@f()", "i:0", ""},
      {{{"f", "SIZE(ARGS)"}}, "@f(1, 'a', 2.5)", "i:3", ""},
      {{{"f", "ARGS"}}, "@f(1,2)[0]", "i:1", ""},
      {{{"f", "ARGS"}}, "@f(1,2)[5]", "#INDEX#", "compute error (): #INDEX#\n"},
      {{{"my func", "ARGS[0] + 1"}}, "@'my func'(1)", "f:2", ""},
      {{{"f", "ARGS[0] + 1"}, {"g", "@f(ARGS[0]) * 10"}}, "@g(2)", "f:30", ""},
      {{{"f", "return ARGS[0]; 0;"}}, "@f(7) + @f(8)", "f:15", ""},
      {{{"f", "var x = 5; x;"}}, "var x = 1; @f(); x;", "i:1", ""},
      {{{"f", "ARGS[0]"}}, "@f(FOO())", "#UNK:FOO:#", "unknown function: FOO\ncompute error (): #UNK:FOO:#\n"},
      // One call site in a loop: ARGS takes each call's values into its own slots.
      {{{"f", "ARGS[0] * 2 + ARGS[1]"}}, "var s = 0; var i; for i = 1 to 4 do s = s * 10 + @f(i, 0); s;", "f:2468", ""},
      {{{"f", "ARGS"}}, "var v = 0; var i; for i = 1 to 3 do v = @f(i, v); var w = v[1]; v[0] * 10 + w[0];", "f:32", ""},
  });
}

// A function's number result kept at several places (variables, a list, an operand waiting
// for its partner) while the function runs again: each keeps the number it received.
TEST(EvalUserFunctions, ResultsKeptWhileCalledAgain) {
  run_call_cases({
      {{{"f", "ARGS[0] * 1.5"}}, "var a = @f(1); var b = @f(2); a + b * 10 + @f(3) * 100;", "f:481.5", ""},
      {{{"f", "var u = ARGS[0] * 0.5; u + 1;"}}, "var a = @f(2); var b = @f(4); a * 10 + b;", "f:23", ""},
      {{{"f", "ARGS[0] * 1.5"}}, "var v = LIST(@f(1), @f(2)); v[0] * 10 + v[1] + @f(4);", "f:24", ""},
      {{{"f", "ARGS[0] * 2"}}, "var a = @f(1); @f(2) * 10 + a + @f(3);", "f:48", ""},
      {{{"f", "ARGS[0] * 1.5"}, {"g", "@f(ARGS[0]) + @f(ARGS[0] + 1)"}}, "@g(1) * 10 + @g(3);", "f:55.5", ""},
  });
}

TEST(EvalUserFunctions, BindingMessages) {
  run_call_cases({
      {{}, "FOO(1)", "#UNK:FOO:#", "unknown function: FOO\ncompute error (): #UNK:FOO:#\n"},
      {{}, "abs(-1)", "#UNK:abs:#", "unknown function: abs\ncompute error (): #UNK:abs:#\n"},
      {{}, "@nope(1)", "#UNK:nope:#", "unknown user function: nope\ncompute error (): #UNK:nope:#\n"},
      {{{"F", "1"}}, "@f", "#UNK:f:#", "unknown user function: f\ncompute error (): #UNK:f:#\n"},
      {{}, "0 and FOO()", "i:0", "unknown function: FOO\n"},
      {{}, "BAR() + BAZ()", "#UNK:BAR:#", "unknown function: BAR\nunknown function: BAZ\ncompute error (): #UNK:BAR:#\n"},
      {{}, "TICK() * 0 + SIZE(LIST(1))", "f:1", ""},
  });
}

TEST(EvalUserFunctions, RecursionIsReportedAndRefused) {
  run_call_cases({
      {{{"f", "@g()"}, {"g", "@f()"}}, "@f()", "#RECURS:f#",
       "recursive function: f\nrecursive function: g\ncompute error (): #RECURS:f#\n"},
      {{{"f", "@g()"}, {"g", "@f()"}}, "@g", "#RECURS:g#",
       "recursive function: f\nrecursive function: g\ncompute error (): #RECURS:g#\n"},
      {{{"f", "@f"}}, "@f", "#RECURS:f#", "recursive function: f\ncompute error (): #RECURS:f#\n"},
      {{{"h", "@f + 1"}, {"f", "@g"}, {"g", "@f"}}, "@h", "#RECURS:f#",
       "recursive function: f\nrecursive function: g\ncompute error (): #RECURS:f#\n"},
      {{{"f", "if ARGS[0] then 1 else @f(1)"}}, "@f(1)", "#RECURS:f#",
       "recursive function: f\ncompute error (): #RECURS:f#\n"},
      {{{"f", "1"}, {"g", "@f + @f"}}, "@g", "f:2", ""},
  });
}

TEST(EvalUserFunctions, RecursionFlags) {
  eval_template t{{"h", "@f"}, {"f", "@g"}, {"g", "@f"}, {"k", "@h"}};
  t.bind();
  EXPECT_FALSE(t.get("h").is_recursive());
  EXPECT_TRUE(t.get("f").is_recursive());
  EXPECT_TRUE(t.get("g").is_recursive());
  EXPECT_FALSE(t.get("k").is_recursive());
  EXPECT_EQ(t.get("f").flags, txl_ufn_recursive);
}

// Without the check a function that calls itself runs into the nesting limit, not the
// end of the stack.
TEST(EvalUserFunctions, UncheckedRecursionEndsAtTheNestingLimit) {
  eval_template t{{"f", "@f + 1"}};
  txl_binder binder;
  binder.add_user_function(t.get("f"));
  binder.bind_all(t.get("f"));
  EXPECT_EQ(t.call("f"), "#DEPTH#");
  EXPECT_FALSE(t.get("f").is_current(t.get("f").change_count));
}

TEST(EvalUserFunctions, FunctionWithoutBody) {
  eval_template t;
  t.functions.push_back(make_rc<txl_user_function>("broken", "1 +"));
  t.add("", "@broken(1)");
  t.bind();
  EXPECT_EQ(t.call("broken"), "#BADFN:broken#");
  EXPECT_EQ(t.call(*t.functions[1]), "#BADFN:broken#");
}

TEST(EvalUserFunctions, CachedCallsAndChangeCount) {
  reset_ticks();
  eval_template t{{"f", "TICK()"}, {"s", "STALE() + 1"}};
  txl_user_function& p = t.add("", "@f() + @f()");
  t.bind();
  EXPECT_EQ(t.call(p), "f:2");
  EXPECT_EQ(t.call(p), "f:2");
  EXPECT_EQ(tick_calls, 1);
  txl_user_function& f = t.get("f");
  EXPECT_TRUE(f.is_current(f.change_count));
  EXPECT_FALSE(f.is_current(f.change_count + 1));

  ticks_current = false;
  EXPECT_FALSE(f.is_current(f.change_count));
  EXPECT_EQ(t.call(p), "f:5");  // both calls of f see the stale TICK and call it again
  EXPECT_EQ(tick_calls, 3);

  txl_user_function& s = t.get("s");
  EXPECT_EQ(t.call(s), "f:8");
  EXPECT_EQ(t.call(s), "f:8");
  EXPECT_EQ(s.change_count, 2);
  EXPECT_FALSE(s.is_current(s.change_count));
}

// A caller's site of a user function is valid after the call exactly when the function
// reports its result current, also when the call was served from the function's cache
// because another caller had already brought it up to date.
TEST(EvalUserFunctions, CallSitesAreValidExactlyWhileCurrent) {
  const struct {
    const char* g;
    bool ticks_after;  // whether TICK's results stay current for the last round
    bool valid;
  } rows[] = {
      {"TICK()", true, true},
      {"TICK()", false, false},
      {"@h() * 2", true, true},
      {"@h() * 2", false, false},
      {"STALE() + TICK()", true, false},
      {"PI() + TICK()", true, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.g);
    reset_ticks();
    eval_template t{{"g", r.g}, {"h", "TICK() + 1"}};
    // "+ 0" keeps the call inside a tree: a property that is only "@g()" is served by g
    // directly, without its own site.
    txl_user_function& first = t.add("", "@g() + 0");
    txl_user_function& second = t.add("", "@g() + 0");
    t.bind();
    t.call(first);
    ticks_current = false;
    t.call(second);  // g is evaluated again and its change count moves on
    ticks_current = r.ticks_after;
    t.call(first);  // the site is stale; g answers from its cache when TICK is current
    const txl_expr_fncall& site = *first.call_sites[0];
    txl_user_function& g = t.get("g");
    EXPECT_EQ(site.valid, r.valid);
    EXPECT_EQ(site.valid, g.is_current(site.token));
  }
}

// The same holds when the function's body runs again for new arguments: with or without
// calls of its own, with TICK's results current or stale before the call.
TEST(EvalUserFunctions, CallSitesAreValidExactlyWhileCurrentAfterNewArguments) {
  const char* bodies[] = {
      "ARGS[0] * 2",           "@h() + ARGS[0]",     "ARGS[0] + TICK()",
      "IF(ARGS[0] > 1, @h(), 0)", "STALE() + ARGS[0]", "var x = ARGS[0]; x * @h();",
      "@h() + UNTICK(ARGS[0])",  // the body's own call makes its other call stale
  };
  const struct {
    int arg;
    bool ticks;
  } steps[] = {{1, true}, {2, true}, {2, true}, {3, false}, {4, false}, {4, true}, {5, true}};
  for (const char* body : bodies) {
    SCOPED_TRACE(body);
    reset_ticks();
    eval_template t{{"f", body}, {"h", "TICK() + 1"}};
    std::vector<txl_user_function*> properties;
    for (const auto& step : steps)
      properties.push_back(&t.add("", "@f(" + std::to_string(step.arg) + ")"));
    t.bind();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
      SCOPED_TRACE(i);
      ticks_current = steps[i].ticks;
      t.call(*properties[i]);
      const txl_expr_fncall& site = *properties[i]->call_sites.back();
      EXPECT_EQ(site.valid, t.get("f").is_current(site.token));
    }
  }
}

TEST(EvalUserFunctions, RebindingAndUnbindingReleaseTheFunction) {
  eval_template t{{"f", "1"}};
  txl_user_function& p = t.add("", "@f");
  t.bind();
  std::int32_t held = t.get("f").ref_count();
  t.bind();
  EXPECT_EQ(t.get("f").ref_count(), held);
  p.unbind_calls();
  EXPECT_EQ(t.get("f").ref_count(), held - 1);
  EXPECT_EQ(t.call(p), "#UNK:f:#");
}

TEST(EvalUserFunctions, LibrariesAreAskedInOrder) {
  eval_template t;
  txl_user_function& p = t.add("", "TICK() + SIZE(LIST(1,2))");
  t.bind();
  ASSERT_EQ(p.call_sites.size(), 3u);  // TICK, LIST, SIZE: arguments first
  EXPECT_EQ(p.call_sites[0]->name, "TICK");
  EXPECT_TRUE(p.call_sites[0]->is_bound());
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  ASSERT_TRUE(txl_general_library().lookup("SIZE", 4, entry, cookie));
  bool size_bound = false;
  for (auto& site : p.call_sites)
    size_bound = size_bound || (site->name == "SIZE" && site->entry == entry);
  EXPECT_TRUE(size_bound);
}

// A property that only names a function (`@f`, `@f;`) is served by that function directly.
// Value, error, messages and the calls made must be those of the same call reached through
// the property's tree, which "var r = @f; r" forces, whether the processor's evaluation of
// properties or evaluate_user_function asks.
TEST(EvalUserFunctions, PropertyNamingAFunctionGivesWhatTheTreeGives) {
  const struct {
    std::vector<std::pair<std::string, std::string>> functions;
    const char* property;
  } cases[] = {
      {{{"f", "ARGS"}}, "@f"},
      {{{"f", "SIZE(ARGS)"}}, "@f;"},
      {{{"f", "'text'"}}, "@f"},
      {{{"f", "1 / 0"}}, "@f"},
      {{{"f", "FOO()"}}, "@f"},
      {{{"f", "@f"}}, "@f"},
      {{{"f", "TICK()"}}, "@f"},
      {{{"f", "@g + TICK()"}, {"g", "STALE() + TICK()"}}, "@f"},
      {{{"f", "return 3; 4;"}}, "@f"},
      {{{"f", "ARGS[0]"}}, "@f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.property + std::string(" with ") + c.functions[0].second);
    std::string outcomes[3];
    int ticks[3] = {0, 0, 0};
    std::string call(c.property);
    if (call.back() == ';')
      call.pop_back();
    const std::string sources[3] = {c.property, "var r = " + call + "; r;", c.property};
    for (int way = 0; way < 3; ++way) {
      reset_ticks();
      eval_template t;
      for (const auto& [name, body] : c.functions)
        t.add(name, body);
      txl_user_function& property = t.add("", sources[way]);
      t.bind();
      for (int i = 0; i < 3; ++i) {
        anyval result;
        std::string error;
        bool ok = way < 2 ? evaluate_user_function(property, anyval(), result, error, t.messages)
                          : evaluate_user_property(property, result, &error, t.messages);
        outcomes[way] += (ok ? describe(result) : error) + " ";
      }
      outcomes[way] += t.messages.text;
      ticks[way] = tick_calls;
    }
    EXPECT_EQ(outcomes[0], outcomes[1]);
    EXPECT_EQ(ticks[0], ticks[1]);
    EXPECT_EQ(outcomes[2], outcomes[1]);
    EXPECT_EQ(ticks[2], ticks[1]);
  }
}

// A property evaluated again and again gives what the functions below it give now: a kept
// result is handed out only while nothing below can have changed. TICK's answers are not
// counted, so no kept finding may rest on them, however deep they lie.
TEST(EvalUserFunctions, RepeatedPropertiesFollowStaleCallees) {
  const struct {
    std::vector<std::pair<std::string, std::string>> functions;
    const char* property;
    const char* expect;  // with TICK current, current, stale, stale, current
  } cases[] = {
      {{{"f", "@g * 2"}, {"g", "TICK()"}}, "@f", "f:2 f:2 f:4 f:6 f:6 "},
      {{{"f", "@g * 2"}, {"g", "TICK()"}}, "@f + 1", "f:3 f:3 f:5 f:7 f:7 "},
      {{{"f", "@g"}, {"g", "@h"}, {"h", "TICK() + 1"}}, "@f;", "f:2 f:2 f:3 f:4 f:4 "},
      {{{"f", "@g + STALE()"}, {"g", "TICK()"}}, "@f", "f:8 f:8 f:9 f:10 f:10 "},
      {{{"f", "'text'"}}, "@f", "s:text s:text s:text s:text s:text "},
      {{{"f", "var v = LIST(1); v[5];"}}, "@f",
       "#INDEX# #INDEX# #INDEX# #INDEX# #INDEX# compute error (): #INDEX#\ncompute error (): #INDEX#\n"
       "compute error (): #INDEX#\ncompute error (): #INDEX#\ncompute error (): #INDEX#\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.property + std::string(" with ") + c.functions[0].second);
    reset_ticks();
    eval_template t;
    for (const auto& [name, body] : c.functions)
      t.add(name, body);
    txl_user_function& property = t.add("", c.property);
    t.bind();
    std::string got;
    for (bool current : {true, true, false, false, true}) {
      ticks_current = current;
      anyval result;
      std::string error;
      const bool ok = evaluate_user_property(property, result, &error, t.messages);
      got += (ok ? describe(result) : error) + " ";
    }
    EXPECT_EQ(got + t.messages.text, c.expect);
  }
  reset_ticks();
}

// A function called again with the numbers ARGS holds does not see ARGS change. Anything
// else the body could tell apart (kind, sign of zero, element count, strings, a body that
// changes ARGS or hands it out) is a change: every call must give what a fresh template
// gives for the same arguments.
TEST(EvalUserFunctions, RepeatedArgumentsGiveWhatAFreshCallGives) {
  const anyval one = anyval::from_int(1), two = anyval::from_int(2), one_f = anyval::from_float(1.0);
  const anyval zero_f = anyval::from_float(0.0), minus_zero = anyval::from_float(-0.0);
  const anyval a = anyval::from_string("a"), b = anyval::from_string("b");
  const struct {
    const char* body;
    std::vector<anyval_list> calls;
  } cases[] = {
      {"ARGS[0] * 2", {{one}, {one}, {one_f}, {one_f}, {one}, {two}, {two}}},
      {"1 / ARGS[0]", {{zero_f}, {zero_f}, {minus_zero}, {zero_f}}},
      {"ARGS[0] + ARGS[1]", {{one}, {one, two}, {one, two}, {one}, {one, one_f}}},
      {"SIZE(ARGS)", {{one}, {one}, {one, two}, {}, {}, {one}}},
      {"ARGS[0] + 1", {{a}, {a}, {b}, {one}, {one}}},
      {"var u = ARGS[0] * 7 + 3; u - FLOOR(u / 10) * 10;", {{one}, {one}, {two}, {one_f}, {one_f}}},
      {"ARGS[0] = ARGS[0] + 1; ARGS[0];", {{one}, {one}, {two}, {two}}},
      {"var v = ARGS; v[0] = v[0] * 10; ARGS[0];", {{one}, {one}, {two}}},
      {"ARGS", {{one}, {one}, {one_f}}},
      {"ARGS[0] + TICK()", {{one}, {one}, {two}, {two}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    reset_ticks();
    eval_template kept{{"f", c.body}};
    kept.bind();
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
      SCOPED_TRACE(i);
      const std::string got = kept.call("f", c.calls[i]);
      const int ticks = tick_calls;
      eval_template fresh{{"f", c.body}};
      fresh.bind();
      const std::string want = fresh.call("f", c.calls[i]);
      if (std::string_view(c.body).find("TICK") == std::string_view::npos)
        EXPECT_EQ(got, want);
      else  // TICK counts on: the kept template's value rests on the first call's tick
        EXPECT_EQ(got, kept.call("f", c.calls[i]));
      tick_calls = ticks;
    }
  }
}

}  // namespace
}  // namespace quillet::test
