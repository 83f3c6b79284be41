// Fuzzing the expression compiler and evaluator: the input is compiled as a template
// property, bound to the built-in functions and evaluated under a loop budget, so that every
// text ends; compile errors must carry a message and failures a marker.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/loop_budget.h"
#include "txl/user_function.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillet;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  rc_ptr<txl_user_function> fn = make_rc<txl_user_function>();
  txl_compiler compiler;
  if (compiler.compile(text, fn.get()) != 0) {
    if (txl_compile_message(compiler.error()).empty())
      std::abort();
    return 0;
  }
  txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(*fn);
  {
    txl_loop_budget budget(10000);
    anyval value;
    std::string error;
    if (!evaluate_user_function(*fn, anyval(), value, error) && error.empty()) {
      std::fprintf(stderr, "an evaluation failed without a marker\n");
      std::abort();
    }
    std::string shown;
    if (!value.empty())
      value.to_text(shown);
  }
  fn->unbind_calls();
  fn->clear_body();
  return 0;
}
