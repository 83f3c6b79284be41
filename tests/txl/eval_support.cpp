// Helpers for the evaluation tests.
#include "eval_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "builtins_support.h"
#include "txl/compiler.h"
#include "txl/expr_nodes.h"

namespace quillet::test {

int tick_calls = 0;
bool ticks_current = true;

void reset_ticks() {
  tick_calls = 0;
  ticks_current = true;
}

namespace {

bool tick(txl_cookie, txl_call& call) {
  call.result = anyval::from_int(++tick_calls);
  return true;
}

bool tick_is_current(txl_cookie, std::int32_t) { return ticks_current; }

bool stale(txl_cookie, txl_call& call) {
  call.result = anyval::from_int(7);
  return true;
}

bool never_current(txl_cookie, std::int32_t) { return false; }

bool untick(txl_cookie, txl_call& call) {
  ticks_current = false;
  call.result = anyval::from_int(0);
  return true;
}

const txl_function_row tick_rows[] = {
    {"TICK", {txl_release_nothing, tick_is_current, tick}},
    {"STALE", {txl_release_nothing, never_current, stale}},
    {"UNTICK", {txl_release_nothing, txl_always_current, untick}},
};

}  // namespace

txl_xfn_library& tick_library() {
  static txl_xfn_library_imp library(tick_rows, static_cast<std::int32_t>(std::size(tick_rows)));
  return library;
}

eval_template::eval_template(std::initializer_list<std::pair<std::string, std::string>> list) {
  for (const auto& [name, source] : list)
    add(name, source);
}

eval_template::~eval_template() {
  for (auto& f : functions)
    f->unbind_calls();
}

txl_user_function& eval_template::add(const std::string& name, const std::string& source) {
  functions.push_back(make_rc<txl_user_function>(name, source));
  txl_compiler compiler;
  if (compiler.compile(source, functions.back().get()) != 0)
    ADD_FAILURE() << "does not compile: " << source << " (code " << compiler.error().code << ")";
  return *functions.back();
}

void eval_template::bind() {
  txl_binder binder(messages);
  binder.add_library(tick_library());
  binder.add_builtin_libraries();
  for (auto& f : functions)
    if (!f->name.empty())
      binder.add_user_function(*f);
  for (auto& f : functions)
    binder.bind_all(*f);
  for (auto& f : functions)
    check_recursion(*f, messages);
}

txl_user_function& eval_template::get(std::string_view name) {
  for (auto& f : functions)
    if (f->name == name)
      return *f;
  ADD_FAILURE() << "no function " << name;
  return *functions.front();
}

std::string eval_template::call(std::string_view name, anyval_list args) { return call(get(name), std::move(args)); }

std::string eval_template::call(txl_user_function& f, anyval_list args) {
  anyval result;
  std::string error;
  if (!evaluate_user_function(f, anyval::from_vector(std::move(args)), result, error, messages))
    return error;
  return describe(result);
}

std::string variable_states(const txl_expr* root) {
  std::string out;
  std::vector<const txl_expr*> pending{root};
  std::vector<const txl_expr_localvar*> seen;
  while (!pending.empty()) {
    const txl_expr* e = pending.back();
    pending.pop_back();
    auto* r = dynamic_cast<const txl_expr_var_ref*>(e);
    if (r && std::find(seen.begin(), seen.end(), &r->storage()) == seen.end()) {
      seen.push_back(&r->storage());
      const anyval& v = r->storage().value;
      double d = 0.0;
      v.to_double(d);
      std::uint64_t bits;
      std::memcpy(&bits, &d, sizeof bits);
      out += " | " + std::to_string(v.type()) + ":" + std::to_string(bits);
    }
    for (const auto& c : e->children)
      if (c)
        pending.push_back(c.get());
  }
  return out;
}

std::string eval_text(std::string_view source) {
  auto f = make_rc<txl_user_function>(std::string(), std::string(source));
  txl_compiler compiler;
  if (compiler.compile(source, f.get()) != 0)
    return "compile error " + std::to_string(compiler.error().code);
  eval_template t;
  t.functions.push_back(f);
  t.bind();
  return t.call(*f);
}

void run_eval_cases(const std::vector<eval_case>& cases) {
  for (const eval_case& c : cases) {
    SCOPED_TRACE(std::string(c.source));
    EXPECT_EQ(eval_text(c.source), c.expect);
  }
}

}  // namespace quillet::test
