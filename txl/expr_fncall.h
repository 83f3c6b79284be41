// The function-call node: a call site that binding connects to a function entry and cookie
// (a built-in row, a channel function object or a user function). The node releases its
// binding when it is destroyed or rebound.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "txl/expr.h"
#include "txl/function_entry.h"

namespace quillet {

class txl_user_function;

// Calls that call sites have made through their entries on this thread. A function whose
// call sites were all current before its body ran, and whose body made no call, has
// nothing that could have changed them meanwhile.
inline thread_local std::uint64_t txl_calls_made = 0;

// Rises whenever a call site is bound or unbound, so that what was worked out from the
// bindings of a tree (a function's sole callee) knows when to be worked out again.
inline std::atomic<std::uint64_t> txl_bindings_counter{1};

class txl_expr_fncall : public txl_expr {
public:
  // Arguments are added afterwards as children, in order.
  txl_expr_fncall(bool user_function, std::string name);
  ~txl_expr_fncall() override;

  // Calls the bound function with the arguments' values; "#UNK:" + name + ":#" when unbound.
  bool evaluate(std::string& error) override;

  // Takes over a binding (the cookie's reference belongs to the node from now on), releasing
  // the previous one.
  void bind(const txl_function_entry* entry, txl_cookie cookie);
  // Releases the binding; the site is unbound again.
  void unbind() { bind(nullptr, nullptr); }
  bool is_bound() const { return entry != nullptr; }
  // The bound built-in's computation on one number, or null (see txl_number_form_of).
  const txl_number_form* number_form() const { return number_form_; }
  // Whether the last result is still correct: there is one and the function says so.
  bool is_current() const {
    return entry && !result.empty() && (txl_is_always_current(*entry) || entry->is_current(cookie, token));
  }

  bool user_function;  // an `@name` call
  std::string name;
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  std::int32_t token = 0;
  // Set by the assignment `a = F(a, ...)` of a built-in: the call may change a's value in
  // place when a and the argument are its only holders.
  bool replaces_first_arg = false;

private:
  // Defined inline in expr_fncall.cpp, their only user.
  inline bool evaluate_call(std::string& error);
  inline bool call_user_callee(anyval& previous, std::string& error);

  anyval args_;  // the argument vector, reused while nobody else holds it
  const txl_number_form* number_form_ = nullptr;  // the bound built-in's, if it has one
  txl_user_function* user_callee_ = nullptr;       // the bound user function, if it is one
  // The arguments that are constants, as of the binding: a built-in's slot keeps their values.
  std::uint32_t constant_args_ = 0;
};

}  // namespace quillet
