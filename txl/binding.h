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
// The user function that a function's whole body calls without arguments (`@bg`), whose
// result, error and nesting the function has, with the nodes between them in `levels`; null
// when there is none, the function is recursive, or the call would nest too deeply.
inline txl_user_function* direct_callee(const txl_user_function& function, int& levels) {
  if (function.is_recursive())
    return nullptr;
  txl_user_function* callee = function.sole_callee(levels);
  return callee && txl_expr::eval_depth() + levels < txl_max_eval_depth ? callee : nullptr;
}

// The result a property hands out without evaluating or asking anything: the known_result of
// its direct callee when it has one, else its own; null when it has to be evaluated, with
// the direct callee (or null) in `callee` for that evaluation. Inline: a report asks it for
// every property of every cell, and most of a table's cells find it.
inline const anyval* known_property_result(txl_user_function& function, txl_user_function*& callee,
                                           int& levels) {
  callee = direct_callee(function, levels);
  return (callee ? callee : &function)->known_result();
}

// The result of a direct callee `levels` nodes below the call, as the call through the tree
// would give it; null on failure, with the error text in `error`.
const anyval* result_directly(txl_user_function& callee, int levels, std::string& error);
// Prints "compute error (%s): %s\n" for a property's failure and moves the error text to
// *error_text when that is given; false.
bool property_failed(txl_user_function& function, std::string& error, std::string* error_text,
                     txl_diagnostic_sink& sink);

// Evaluates a property whose result known_property_result did not find, `callee` being the
// callee it gave; a property takes neither a token nor a result object of its own, so no call
// record is built. Inline in the processor's evaluation: a table's cells come here for every
// property whose result moved.
inline bool evaluate_unknown_property(txl_user_function& function, txl_user_function* callee, int levels,
                                      anyval& result, std::string* error_text, txl_diagnostic_sink& sink) {
  std::string error;
  bool known_current = false;
  const anyval* value =
      callee ? result_directly(*callee, levels, error) : function.result_for(anyval(), error, known_current);
  if (!value)
    return property_failed(function, error, error_text, sink);
  result = *value;
  return true;
}

// evaluate_user_function without arguments, for a property evaluated again and again: a
// known result is handed out as it is, anything else is evaluated (see above).
inline bool evaluate_user_property(txl_user_function& function, anyval& result, std::string* error_text,
                                   txl_diagnostic_sink& sink) {
  txl_user_function* callee = nullptr;
  int levels = 0;
  if (const anyval* known = known_property_result(function, callee, levels)) {
    result = *known;
    return true;
  }
  return evaluate_unknown_property(function, callee, levels, result, error_text, sink);
}

}  // namespace quillet
