// Fuzzing the expression compiler and evaluator: the input is compiled as a template
// property, bound to the built-in functions and evaluated under a loop budget, so that every
// text ends; compile errors must carry a message and failures a marker. Every text is
// evaluated twice, with numeric loops run as register programs and as trees, and both must
// give the same outcome (unless the loop budget ran out, which the two may reach at
// different points when a loop that changes nothing is skipped from the cache).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/loop_budget.h"
#include "txl/numeric_loop.h"
#include "txl/user_function.h"

namespace {

// The outcome of one evaluation: failure marker, or type, text and number of the value.
std::string evaluate_text(std::string_view text, bool programs) {
  using namespace quillet;
  txl_numeric_loops_enabled = programs;
  rc_ptr<txl_user_function> fn = make_rc<txl_user_function>();
  txl_compiler compiler;
  if (compiler.compile(text, fn.get()) != 0) {
    txl_numeric_loops_enabled = true;
    if (txl_compile_message(compiler.error()).empty())
      std::abort();
    return "compile error";
  }
  txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(*fn);
  std::string outcome;
  {
    txl_loop_budget budget(10000);
    anyval value;
    std::string error;
    if (!evaluate_user_function(*fn, anyval(), value, error)) {
      if (error.empty()) {
        std::fprintf(stderr, "an evaluation failed without a marker\n");
        std::abort();
      }
      outcome = "error " + error;
    } else {
      std::string shown;
      double number = 0.0;
      if (!value.empty()) {
        value.to_text(shown);
        value.to_double(number);
      }
      std::uint64_t bits;
      std::memcpy(&bits, &number, sizeof bits);
      outcome = std::to_string(value.type()) + " " + std::to_string(bits) + " " + shown;
    }
  }
  fn->unbind_calls();
  fn->clear_body();
  txl_numeric_loops_enabled = true;
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string with_programs = evaluate_text(text, true);
  if (with_programs == "compile error")
    return 0;
  const std::string as_trees = evaluate_text(text, false);
  if (with_programs != as_trees && with_programs != "error #LOOP#" && as_trees != "error #LOOP#") {
    std::fprintf(stderr, "numeric loop program and tree differ:\n  %s\n  %s\n", with_programs.c_str(),
                 as_trees.c_str());
    std::abort();
  }
  return 0;
}
