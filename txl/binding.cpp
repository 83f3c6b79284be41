// Binding call sites to user functions and library functions, the recursion check, and the
// processor's way of evaluating a user function with its diagnostics.
#include "txl/binding.h"

#include <string>
#include <unordered_set>

namespace quillet {

namespace {

// Formats one of the processor's messages: the fixed text, the name, a line feed; it names
// byte `at` of the function's text (-1: the text's start).
void report(txl_diagnostic_sink& sink, const char* prefix, std::string_view name,
            const txl_user_function* function = nullptr, std::int32_t at = -1) {
  std::string message(prefix);
  message.append(name);
  message += '\n';
  sink.report({message, function, at});
}

}  // namespace

txl_binder::txl_binder(txl_diagnostic_sink& sink) : sink_(sink) {}

void txl_binder::add_builtin_libraries() {
  add_library(txl_general_library());
  add_library(txl_condition_library());
}

// The first function added under a name keeps it, as a search in order would find it.
txl_user_function* txl_binder::find_user_function(std::string_view name) const {
  for (; indexed_ < user_functions_.size(); ++indexed_)
    by_name_.emplace(user_functions_[indexed_]->name, user_functions_[indexed_]);
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : it->second;
}

// A user-function call binds to the template's function of that exact name (taking a
// reference for the site); any other call to the first library that knows the name.
bool txl_binder::bind(txl_expr_fncall& site) { return bind_site(site, nullptr); }

// A message about a site names the site's first byte in its function's text.
bool txl_binder::bind_site(txl_expr_fncall& site, const txl_user_function* owner) {
  if (site.user_function) {
    txl_user_function* target = find_user_function(site.name);
    if (!target) {
      site.unbind();
      report(sink_, "unknown user function: ", site.name, owner, site.span_start);
      return false;
    }
    target->add_ref();
    site.bind(&txl_user_function_entry(), target);
    return true;
  }
  for (txl_xfn_library* library : libraries_) {
    const txl_function_entry* entry = nullptr;
    txl_cookie cookie = nullptr;
    if (library->lookup(site.name.data(), site.name.size(), entry, cookie) && entry) {
      site.bind(entry, cookie);
      return true;
    }
  }
  site.unbind();
  report(sink_, "unknown function: ", site.name, owner, site.span_start);
  return false;
}

int txl_binder::bind_all(txl_user_function& function) {
  int unbound = 0;
  for (auto& site : function.call_sites)
    if (!bind_site(*site, &function))
      ++unbound;
  return unbound;
}

namespace {

// The user functions that a function's bound `@name` call sites reach directly.
template <class Visit>
void for_each_callee(const txl_user_function& function, Visit visit) {
  for (const auto& site : function.call_sites)
    if (site->entry == &txl_user_function_entry() && site->cookie)
      visit(static_cast<txl_user_function*>(site->cookie));
}

}  // namespace

// Searches the functions reachable from `function` (each visited once, iteratively) for the
// function itself. A cycle elsewhere ends the search without a report.
bool check_recursion(txl_user_function& function, txl_diagnostic_sink& sink) {
  std::unordered_set<const txl_user_function*> visited;
  std::vector<txl_user_function*> pending;
  bool recursive = false;
  for_each_callee(function, [&](txl_user_function* f) { pending.push_back(f); });
  while (!pending.empty() && !recursive) {
    txl_user_function* f = pending.back();
    pending.pop_back();
    if (f == &function) {
      recursive = true;
      break;
    }
    if (!visited.insert(f).second)
      continue;
    for_each_callee(*f, [&](txl_user_function* g) { pending.push_back(g); });
  }
  if (!recursive)
    return false;
  function.flags |= txl_ufn_recursive;
  report(sink, "recursive function: ", function.name, &function);
  return true;
}

namespace {

// A function whose whole body is one argument-less `@name` call (a property such as
// `ATTR.STYLE=%{@bg}%` sharing a template variable) is called directly rather than through
// its own tree (direct_callee), for a call with `args` that are none or an empty vector.
txl_user_function* direct_callee(const txl_user_function& function, const anyval& args, int& levels) {
  const anyval_list* given = args.empty() ? nullptr : args->as_vector();
  if (!args.empty() && (!given || !given->empty()))
    return nullptr;
  return direct_callee(function, levels);
}

// The call as the tree would have made it: `levels` nodes above the call site, whose own
// evaluation turns a failure without text into "#UNEXP:ERR#".
bool call_directly(txl_user_function& callee, int levels, txl_call& call) {
  bool ok;
  {
    txl_expr::nesting_offset nesting(levels + 1);
    ok = callee.call(call);
  }
  if (ok && call.result.empty()) {
    *call.error = "#UNEXP:NULL#";
    return false;
  }
  if (!ok && call.error->empty())
    *call.error = "#UNEXP:ERR#";
  return ok;
}

// Prints a failure as the processor prints it; false.
bool report_failure(txl_user_function& function, const std::string& error, txl_diagnostic_sink& sink) {
  const std::string message = "compute error (" + function.name + "): " + error + "\n";
  sink.report({message, &function});
  return false;
}

// Calls the function, or `callee` directly when direct_callee found one; a failure is printed
// as the processor prints it and leaves the function's error text in `error`.
bool call_and_report(txl_user_function& function, txl_user_function* callee, int levels, anyval args,
                     anyval& result, std::string& error, txl_diagnostic_sink& sink) {
  txl_call call;
  call.args = std::move(args);  // an empty handle: the function gets an empty ARGS vector
  call.error = &error;
  const bool ok = callee ? call_directly(*callee, levels, call) : function.call(call);
  if (!ok)
    return report_failure(function, error, sink);
  result = std::move(call.result);
  return true;
}

}  // namespace

// Calls the function with `args` as ARGS, directly when its body only names another.
bool evaluate_user_function(txl_user_function& function, anyval args, anyval& result, std::string& error,
                            txl_diagnostic_sink& sink) {
  int levels = 0;
  txl_user_function* callee = direct_callee(function, args, levels);
  return call_and_report(function, callee, levels, std::move(args), result, error, sink);
}

// The result of `callee` as call_directly gives it, without a call record; null on failure.
const anyval* result_directly(txl_user_function& callee, int levels, std::string& error) {
  bool known_current = false;
  const anyval* value;
  {
    txl_expr::nesting_offset nesting(levels + 1);
    value = callee.result_for(anyval(), error, known_current);
  }
  if (value && value->empty()) {
    error = "#UNEXP:NULL#";
    return nullptr;
  }
  if (!value && error.empty())
    error = "#UNEXP:ERR#";
  return value;
}

bool property_failed(txl_user_function& function, std::string& error, std::string* error_text,
                     txl_diagnostic_sink& sink) {
  report_failure(function, error, sink);
  if (error_text)
    *error_text = std::move(error);
  return false;
}

}  // namespace quillet
