// The repeat-context stacks and IDX, ROW and COL over them, TIME, and the validity each
// function reports with its result.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "data_support.h"
#include "txl/binding.h"

namespace quillet::test {
namespace {

TEST(ContextStacks, CountersMoveOnEveryChange) {
  kov_context_stacks stacks;
  const kov_context_stack& rows = stacks.stack(1);
  std::int32_t last = rows.change_counter();
  auto moved = [&] {
    const bool m = rows.change_counter() != last;
    last = rows.change_counter();
    return m;
  };
  kov_context_entry* outer = stacks.push_context(1);
  EXPECT_TRUE(moved());
  stacks.set_index(outer, 3);
  EXPECT_TRUE(moved());
  stacks.set_index(outer, 3);  // the same index is the same content
  EXPECT_FALSE(moved());
  kov_context_entry* cell = stacks.push_context(2);
  EXPECT_FALSE(moved());  // other stacks do not disturb this one
  kov_context_entry* inner = stacks.push_context(1);
  EXPECT_TRUE(moved());
  EXPECT_EQ(rows.depth(), 2u);
  stacks.pop_context(inner);
  EXPECT_TRUE(moved());
  EXPECT_EQ(rows.depth(), 1u);
  EXPECT_EQ(rows.at(1)->index, 3);
  stacks.pop_context(cell);
  stacks.pop_context(outer);
  EXPECT_EQ(rows.depth(), 0u);
  stacks.clear();
  EXPECT_EQ(rows.change_counter(), 0);
}

// The counter names the content: the cells of one row, each pushing and popping the row's
// entry, see one number, so ROW() computed in the first cell still holds in the next.
TEST(ContextStacks, SameContentSameCounter) {
  kov_context_stacks stacks;
  const kov_context_stack& rows = stacks.stack(1);
  kov_context_entry* outer = stacks.push_context(1);
  stacks.set_index(outer, 4);
  const std::int32_t row4 = rows.change_counter();
  kov_context_entry* cell = stacks.push_context(1);
  const std::int32_t cell0 = rows.change_counter();
  stacks.pop_context(cell);
  EXPECT_EQ(rows.change_counter(), row4);
  cell = stacks.push_context(1);
  EXPECT_EQ(rows.change_counter(), cell0);
  stacks.set_index(cell, 1);
  EXPECT_NE(rows.change_counter(), cell0);
  stacks.pop_context(cell);
  stacks.set_index(outer, 5);
  cell = stacks.push_context(1);
  EXPECT_NE(rows.change_counter(), cell0);  // same index, but a different row below it
  stacks.pop_context(cell);
  stacks.pop_context(outer);
}

// Under any sequence of pushes, index changes and pops (in and out of order), one counter
// value never stands for two different contents.
TEST(ContextStacks, CounterNeverNamesTwoContents) {
  kov_context_stacks stacks;
  const kov_context_stack& s = stacks.stack(0);
  std::vector<kov_context_entry*> live;
  std::map<std::int32_t, std::vector<std::int32_t>> seen;
  unsigned rng = 12345;
  auto next = [&](unsigned n) {
    rng = rng * 1103515245u + 12345u;
    return (rng >> 16) % n;
  };
  auto content = [&] {
    std::vector<std::int32_t> c;
    for (std::size_t p = 1; p <= s.depth(); ++p)
      c.push_back(s.at(static_cast<std::int64_t>(p)) ? s.at(static_cast<std::int64_t>(p))->index : -1);
    return c;
  };
  for (int step = 0; step < 20000; ++step) {
    const unsigned op = next(10);
    if (op < 3 && live.size() < 6) {
      live.push_back(stacks.push_context(0));
    } else if (op < 7 && !live.empty()) {
      stacks.set_index(live[next(static_cast<unsigned>(live.size()))], static_cast<std::int32_t>(next(3)));
    } else if (!live.empty()) {
      // Mostly the innermost, sometimes an outer one.
      const std::size_t i = next(5) == 0 ? next(static_cast<unsigned>(live.size())) : live.size() - 1;
      stacks.pop_context(live[i]);
      live.erase(live.begin() + static_cast<std::ptrdiff_t>(i));
    }
    auto [it, fresh] = seen.emplace(s.change_counter(), content());
    ASSERT_TRUE(fresh || it->second == content()) << "step " << step;
  }
}

// An outer entry popped before its inner one leaves an empty position, which IDX refuses.
TEST(ContextStacks, OutOfOrderPopAndStrayKinds) {
  kov_context_stacks stacks;
  kov_context_entry* a = stacks.push_context(0);
  kov_context_entry* b = stacks.push_context(0);
  stacks.set_index(b, 7);
  stacks.pop_context(a);
  const kov_context_stack& s = stacks.stack(0);
  EXPECT_EQ(s.depth(), 2u);
  EXPECT_EQ(s.at(1), nullptr);
  EXPECT_EQ(s.at(2)->index, 7);
  stacks.pop_context(b);
  EXPECT_EQ(s.depth(), 0u);

  kov_context_entry* stray = stacks.push_context(5);
  stacks.set_index(stray, 4);
  EXPECT_EQ(stray->index, 4);
  stacks.pop_context(stray);
  for (int kind : {-1, 0, 1, 2, 3})
    EXPECT_EQ(stacks.stack(kind).depth(), 0u) << kind;
}

// Three nested repeats of each kind with indices 10, 20, 30 (outermost first) for IDX,
// 1, 2, 3 for ROW and a single 5 for COL.
TEST(ContextFunctions, LevelRules) {
  fake_context context;
  kov_context_stacks& s = context.stacks;
  std::vector<kov_context_entry*> entries;
  for (int i = 1; i <= 3; ++i) {
    entries.push_back(s.push_context(0));
    s.set_index(entries.back(), 10 * i);
    entries.push_back(s.push_context(1));
    s.set_index(entries.back(), i);
  }
  s.set_index(s.push_context(2), 5);
  run_rows(context, {
                        {"IDX()", "i:30"},
                        {"IDX(0)", "i:30"},
                        {"IDX(1)", "i:10"},
                        {"IDX(2)", "i:20"},
                        {"IDX(3)", "i:30"},
                        {"IDX(4)", "#!CONTEXT#"},
                        {"IDX(-1)", "i:20"},
                        {"IDX(-2)", "i:10"},
                        {"IDX(-3)", "#!CONTEXT#"},
                        {"IDX(\"2\")", "i:20"},
                        {"IDX(\"x\")", "i:30"},   // not convertible: the innermost
                        {"IDX(1.9)", "i:10"},
                        {"IDX(2147483647)", "#!CONTEXT#"},
                        {"IDX(-2147483647 - 1)", "#!CONTEXT#"},
                        {"ROW()", "i:3"},
                        {"ROW(1)", "i:1"},
                        {"ROW(-1)", "i:2"},
                        {"COL()", "i:5"},
                        {"COL(-1)", "#!CONTEXT#"},
                        {"COL(2)", "#!CONTEXT#"},
                        {"IDX() * 100 + ROW() * 10 + COL()", "f:3035"},
                    });
}

TEST(ContextFunctions, OutsideAnyRepeat) {
  fake_context context;
  run_rows(context, {{"IDX()", "#!CONTEXT#"}, {"ROW(1)", "#!CONTEXT#"}, {"COL(-1)", "#!CONTEXT#"}});
}

// ROW() rewrites its call site's last number only while nothing else holds it: results
// kept from earlier rows keep their numbers.
TEST(ContextFunctions, KeptResultsKeepTheirRows) {
  fake_context context;
  kov_context_entry* e = context.stacks.push_context(1);
  bound_property p(context, "ROW()");
  std::vector<anyval> kept(3);
  for (int i = 0; i < 3; ++i) {
    context.stacks.set_index(e, i);
    std::string error;
    ASSERT_TRUE(evaluate_user_property(*p.function, kept[i], &error, context.sink)) << error;
  }
  for (int i = 0; i < 3; ++i) {
    std::int32_t n = -1;
    EXPECT_TRUE(kept[i].to_int(n));
    EXPECT_EQ(n, i);
  }
}

TEST(TimeFunction, ReportTimeAndStamps) {
  fake_context context;
  context.time = 1234567;
  run_rows(context, {
                        {"TIME()", "f:1234567"},
                        {"TIME(0)", "f:0"},
                        {"TIME(12)", "f:12"},
                        {"TIME(\"3.5\")", "f:3.5"},
                        {"TIME(-5)", "#TIME:ARG#"},
                        {"TIME(\"x\")", "#TIME:ARG#"},
                        {"TIME(1, 2)", "#TIME:ARG#"},
                        {"TIME(LIST(1, 2))", "f:2"},
                    });
}

// Each function's validity after a call, and after the report time or a repeat index moved.
TEST(Validity, TokensAndChecks) {
  struct row {
    const char* name;
    anyval_list args;
    bool after_time_change;
    bool after_index_change;
  };
  const std::vector<row> rows = {
      {"TIME", {}, false, true},
      {"TIME", {anyval::from_int(5)}, true, true},
      {"GETVAL", {anyval::from_string("TEMP")}, false, true},
      {"EVENTS", {anyval::from_int(0)}, false, true},
      {"CHAN", {anyval::from_string("TEMP")}, true, true},
      {"READVAL", {anyval::from_string("TEMP"), anyval::from_int(100)}, true, true},
      {"EFILTER", {}, true, true},
      {"DEBUG", {}, true, true},
      {"IDX", {}, true, false},
      {"ROW", {}, true, true},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    fake_source source;
    fake_context context;
    context.source = &source;
    kov_context_entry* idx = context.stacks.push_context(0);
    context.stacks.push_context(1);
    const txl_function_entry* entry = nullptr;
    txl_cookie cookie = nullptr;
    ASSERT_TRUE(context.library.lookup(r.name, std::strlen(r.name), entry, cookie));
    anyval_list args = r.args;
    if (std::string_view(r.name) == "GETVAL" || std::string_view(r.name) == "READVAL")
      args[0] = kov_make_chan_ref({0, 1, 5, 0, 0});
    std::string error;
    txl_call call;
    call.args = anyval::from_vector(args);
    call.error = &error;
    ASSERT_TRUE(entry->call(cookie, call)) << error;
    const std::int32_t token = call.token;
    EXPECT_TRUE(entry->is_current(cookie, token));
    context.time += 60;
    EXPECT_EQ(entry->is_current(cookie, token), r.after_time_change);
    context.time -= 60;
    context.stacks.set_index(idx, 1);
    EXPECT_EQ(entry->is_current(cookie, token), r.after_index_change);
    entry->release(cookie);
  }
}

// A property over IDX() is computed again only when the repeat index moved: DEBUG, which
// writes each time it runs, shows when that happens.
TEST(Validity, CachedPropertyFollowsTheRepeat) {
  fake_context context;
  kov_context_entry* e = context.stacks.push_context(0);
  bound_property p(context, "DEBUG(IDX()) + IDX() + IDX()");
  std::string expect_log;
  for (int i = 0; i <= 2; ++i) {
    SCOPED_TRACE(i);
    context.stacks.set_index(e, i);
    expect_log += "DEBUG:" + std::to_string(i) + "\n";
    EXPECT_EQ(p.eval(), "f:" + std::to_string(2 * i));
    EXPECT_EQ(p.eval(), "f:" + std::to_string(2 * i));
    EXPECT_EQ(context.sink.text, expect_log);
  }
}

// Variables keep their findings that their calls are current from one property to the next;
// a step of the repeat, a return to an earlier index or a new report time still reaches
// them. Each row is a step and the DEBUG lines it must write: b reads IDX(), t the time.
TEST(Validity, KeptFindingsFollowContextsAndTime) {
  fake_source source;
  fake_context context;
  context.source = &source;
  context.add_variable("b", "DEBUG(IDX()) + IDX() * 10");
  context.add_variable("t", "DEBUG(TIME()) + TIME()");
  kov_context_entry* e = context.stacks.push_context(0);
  bound_property first(context, "@b + @t + 1");
  bound_property second(context, "@b + @t + 2");
  const struct {
    int index;
    std::uint32_t time;
    const char* log;
  } steps[] = {{0, 1000, "DEBUG:0\nDEBUG:1000\n"}, {0, 1000, ""}, {1, 1000, "DEBUG:1\n"},
               {0, 1000, "DEBUG:0\n"},             {0, 1060, "DEBUG:1060\n"}, {0, 1060, ""}};
  for (const auto& step : steps) {
    SCOPED_TRACE(std::to_string(step.index) + " " + std::to_string(step.time));
    context.stacks.set_index(e, step.index);
    context.time = step.time;
    context.sink.text.clear();
    for (int cell = 0; cell < 3; ++cell) {  // each cell pushes and pops an entry of its own
      kov_context_entry* inner = context.stacks.push_context(0);
      context.stacks.pop_context(inner);
      const double sum = 10.0 * step.index + step.time;
      EXPECT_EQ(first.eval(), "f:" + std::to_string(static_cast<int>(sum) + 1));
      EXPECT_EQ(second.eval(), "f:" + std::to_string(static_cast<int>(sum) + 2));
    }
    EXPECT_EQ(context.sink.text, step.log);
  }
}

// A chain of variables over IDX() asked from its top, as a flow node over a variable asks
// it: each variable is computed once per step of the repeat, again after a return to an
// earlier index, and not at all while the index stays.
TEST(Validity, ChainsOfVariablesAreComputedOncePerStep) {
  fake_context context;
  context.add_variable("a", "DEBUG(IDX()) + IDX()");
  context.add_variable("b", "@a * 2");
  context.add_variable("c", "@b > 2");
  kov_context_entry* e = context.stacks.push_context(0);
  bound_property p(context, "if @c then @b else 0 - @b");
  int last = -1;
  for (int index : {0, 1, 2, 2, 1, 1, 3}) {
    SCOPED_TRACE(index);
    const bool moved = index != last;
    last = index;
    context.stacks.set_index(e, index);
    context.sink.text.clear();
    const std::string value = "f:" + std::to_string(index * 2 > 2 ? index * 2 : -index * 2);
    for (int cell = 0; cell < 3; ++cell) {
      kov_context_entry* inner = context.stacks.push_context(0);
      context.stacks.pop_context(inner);
      EXPECT_EQ(p.eval(), value);
    }
    EXPECT_EQ(context.sink.text, moved ? "DEBUG:" + std::to_string(index) + "\n" : "");
  }
}

}  // namespace
}  // namespace quillet::test
