// Binding of call sites to functions, and the recursion check, as the template processor
// runs them after compiling and before evaluating. Messages go to a diagnostic sink.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "txl/diagnostic_sink.h"
#include "txl/function_entry.h"
#include "txl/user_function.h"

namespace quillet {

// Resolves call sites: `@name` among the template's user functions, any other name in the
// libraries in the order they were added (the channel library first, then the two static
// built-in libraries).
class txl_binder {
public:
  explicit txl_binder(txl_diagnostic_sink& sink = discard_diagnostics());

  void add_library(txl_xfn_library& library) { libraries_.push_back(&library); }
  // Adds the general and the conditions-and-bitwise libraries, in that order.
  void add_builtin_libraries();
  void add_user_function(txl_user_function& function) { user_functions_.push_back(&function); }
  // The user function of that exact name, or null.
  txl_user_function* find_user_function(std::string_view name) const;

  // Binds one site; false (with "unknown function: %s\n" or "unknown user function: %s\n"
  // printed) when nothing has that name, leaving the site unbound.
  bool bind(txl_expr_fncall& site);
  // Binds every call site of the function; returns how many stayed unbound.
  int bind_all(txl_user_function& function);

private:
  bool bind_site(txl_expr_fncall& site, const txl_user_function* owner);

  txl_diagnostic_sink& sink_;
  std::vector<txl_xfn_library*> libraries_;
  std::vector<txl_user_function*> user_functions_;
  // user_functions_ by name, the first of each name, brought up to date by each lookup so
  // that binding a template's calls takes time linear in its variables.
  mutable std::unordered_map<std::string_view, txl_user_function*> by_name_;
  mutable std::size_t indexed_ = 0;
};

// True when the function can reach itself through bound user-function calls; then it prints
// "recursive function: %s\n" and sets the recursive flag. Each function is visited once.
bool check_recursion(txl_user_function& function, txl_diagnostic_sink& sink = discard_diagnostics());

// Evaluates a user function as the processor does: false with the error text (printing
// "compute error (%s): %s\n") on failure.
bool evaluate_user_function(txl_user_function& function, anyval args, anyval& result, std::string& error,
                            txl_diagnostic_sink& sink = discard_diagnostics());
// evaluate_user_function without arguments, for a property evaluated again and again: a
// result known current without evaluating or asking anything (txl_user_function::known_result
// of the function, or of the function its whole body calls) is handed out as it is. On failure
// the error text goes to *error_text when that is given.
bool evaluate_user_property(txl_user_function& function, anyval& result, std::string* error_text,
                            txl_diagnostic_sink& sink);

}  // namespace quillet
