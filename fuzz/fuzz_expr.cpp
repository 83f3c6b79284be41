// Fuzzing the expression compiler and evaluator: the input is compiled as a template
// property, bound to the built-in functions and evaluated under a loop budget, so that every
// text ends; compile errors must carry a message and failures a marker. Every text is
// called three times with changing arguments, once with numeric loops and bodies run as
// register programs and once as trees, and both must give the same outcomes (unless the
// loop budget ran out, which the two may reach at different points when a loop that changes
// nothing is skipped from the cache).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/loop_budget.h"
#include "txl/numeric_loop.h"
#include "txl/user_function.h"

namespace {

// The outcome of one call: failure marker, or type, text and number of the value.
std::string call_outcome(quillet::txl_user_function& fn, quillet::anyval args) {
  using namespace quillet;
  anyval value;
  std::string error;
  if (!evaluate_user_function(fn, std::move(args), value, error)) {
    if (error.empty()) {
      std::fprintf(stderr, "an evaluation failed without a marker\n");
      std::abort();
    }
    return "error " + error;
  }
  std::string shown;
  double number = 0.0;
  if (!value.empty()) {
    value.to_text(shown);
    value.to_double(number);
  }
  std::uint64_t bits;
  std::memcpy(&bits, &number, sizeof bits);
  return std::to_string(value.type()) + " " + std::to_string(bits) + " " + shown;
}

// The outcomes of three calls of the text as a function body, with programs on or off:
// without arguments, then with two numbers, then with a number and a string, so that later
// calls meet the results cached by earlier ones.
std::vector<std::string> evaluate_text(std::string_view text, bool programs) {
  using namespace quillet;
  txl_numeric_loops_enabled = programs;
  rc_ptr<txl_user_function> fn = make_rc<txl_user_function>();
  txl_compiler compiler;
  if (compiler.compile(text, fn.get()) != 0) {
    txl_numeric_loops_enabled = true;
    if (txl_compile_message(compiler.error()).empty())
      std::abort();
    return {"compile error"};
  }
  txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(*fn);
  std::vector<std::string> outcomes;
  {
    // Small enough that a loop growing a string by a long piece per step, whose cost grows
    // with the square of the steps, still ends well inside the fuzzer's timeout.
    txl_loop_budget budget(4000);
    outcomes.push_back(call_outcome(*fn, anyval()));
    outcomes.push_back(call_outcome(*fn, anyval::from_vector({anyval::from_float(2.5), anyval::from_int(-3)})));
    outcomes.push_back(call_outcome(*fn, anyval::from_vector({anyval::from_int(7), anyval::from_string("x")})));
  }
  fn->unbind_calls();
  fn->clear_body();
  txl_numeric_loops_enabled = true;
  return outcomes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> with_programs = evaluate_text(text, true);
  if (with_programs.front() == "compile error")
    return 0;
  const std::vector<std::string> as_trees = evaluate_text(text, false);
  // Once the loop budget ran out, the two ways may part: a program may count a loop the tree
  // found valid.
  for (std::size_t i = 0; i < with_programs.size(); ++i) {
    if (with_programs[i] == "error #LOOP#" || as_trees[i] == "error #LOOP#")
      return 0;
    if (with_programs[i] != as_trees[i]) {
      std::fprintf(stderr, "numeric program and tree differ in call %zu:\n  %s\n  %s\n", i + 1,
                   with_programs[i].c_str(), as_trees[i].c_str());
      std::abort();
    }
  }
  return 0;
}
