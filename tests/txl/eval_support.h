// Helpers for the evaluation tests: compile a text into a user function, bind it as the
// template processor does, evaluate it and describe the outcome; a small template of named
// user functions; and a test library whose functions count their calls.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "txl/binding.h"
#include "txl/numeric_loop.h"
#include "txl/user_function.h"

namespace quillet::test {

// Calls made to TICK() since the last reset_ticks(); TICK returns the new count. TICK's
// results stay current while ticks_current is set. STALE() returns 7 and is never current.
// UNTICK() returns 0, is always current and makes TICK's results stale.
extern int tick_calls;
extern bool ticks_current;
void reset_ticks();
txl_xfn_library& tick_library();

// While it lives, bodies are evaluated as trees, never as numeric programs: for the tests of
// the valid flags tree evaluation leaves (a program leaves its own nodes invalid).
class tree_bodies_only {
public:
  tree_bodies_only() { txl_numeric_bodies_enabled = false; }
  ~tree_bodies_only() { txl_numeric_bodies_enabled = true; }
  tree_bodies_only(const tree_bodies_only&) = delete;
  tree_bodies_only& operator=(const tree_bodies_only&) = delete;
};

// Collects diagnostics in one string.
class collecting_sink : public txl_diagnostic_sink {
public:
  void print(std::string_view message) override { text.append(message); }
  std::string text;
};

// A template's user functions, bound to each other, to the test library and to the
// built-ins. Functions are compiled when added; bind() binds all and checks recursion.
class eval_template {
public:
  eval_template() = default;
  eval_template(std::initializer_list<std::pair<std::string, std::string>> functions);
  ~eval_template();

  // Adds a function compiled from source; an empty name makes an unnamed property.
  txl_user_function& add(const std::string& name, const std::string& source);
  void bind();
  txl_user_function& get(std::string_view name);
  // Evaluates the function as the processor does and describes the outcome: the value as
  // describe() writes it, or the error text.
  std::string call(std::string_view name, anyval_list args = {});
  std::string call(txl_user_function& f, anyval_list args = {});

  collecting_sink messages;
  std::vector<rc_ptr<txl_user_function>> functions;
};

// The kind and exact bits of every variable the tree names, in a fixed order: " | 2:4611...".
std::string variable_states(const txl_expr* root);

// Compiles, binds and evaluates one text: the value as describe() writes it, the error
// text on failure, "compile error N" when it does not compile.
std::string eval_text(std::string_view source);

struct eval_case {
  std::string_view source;
  std::string_view expect;
};

// Runs every row through eval_text, naming the row in a failure.
void run_eval_cases(const std::vector<eval_case>& cases);

}  // namespace quillet::test
