// The function-call node: evaluates the arguments, calls the bound function and keeps the
// result only as long as the function says it is current.
#include "txl/expr_fncall.h"

#include <typeinfo>
#include <utility>

#include "txl/expr_nodes.h"
#include "txl/expr_store.h"
#include "txl/loop_budget.h"
#include "txl/user_function.h"
#include "txl/validity.h"

namespace quillet {

txl_expr_fncall::txl_expr_fncall(bool is_user_function, std::string function_name)
    : user_function(is_user_function), name(std::move(function_name)) {
  may_outlive_children = true;
}

// Lets go of the binding without invalidating upwards: the ancestors may already be gone
// when a whole tree is released.
txl_expr_fncall::~txl_expr_fncall() {
  if (entry && entry->release)
    entry->release(cookie);
}

// Which of the first 32 children are constants, one bit each: bind() keeps the answer for
// let_go_of_arguments, since a tree does not change shape once its calls are bound.
static std::uint32_t constant_children(const std::vector<rc_ptr<txl_expr>>& children) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < children.size() && i < 32; ++i) {
    const txl_expr* child = children[i].get();
    if (child && typeid(*child) == typeid(txl_expr_constant))
      bits |= std::uint32_t{1} << i;
  }
  return bits;
}

void txl_expr_fncall::bind(const txl_function_entry* new_entry, txl_cookie new_cookie) {
  if (entry && entry->release)
    entry->release(cookie);
  entry = new_entry;
  cookie = new_cookie;
  number_form_ = entry ? txl_number_form_of(*entry) : nullptr;
  user_callee_ = entry == &txl_user_function_entry() ? static_cast<txl_user_function*>(cookie) : nullptr;
  constant_args_ = user_callee_ ? 0 : constant_children(children);
  token = 0;
  result.release();
  invalidate(*this);
  txl_validity_changed();
  txl_bindings_counter.fetch_add(1, std::memory_order_relaxed);
}

// The slots of an argument vector with `count` of them: the previous vector's when nobody
// else kept it (the usual case for built-ins), so calls in a loop do not allocate a vector
// each time. Its slots still hold the last call's values until the arguments replace them.
static anyval_list& argument_vector(anyval& args, std::size_t count) {
  anyval_imp* v = args.get();
  if (v && v->plain_kind == type_vector && v->ref_count() == 1) {
    anyval_list& slots = static_cast<anyval_imp_vector*>(v)->elements;
    slots.resize(count);
    return slots;
  }
  args.make_vector(static_cast<int>(count));
  return static_cast<anyval_imp_vector*>(args.get())->elements;
}

// True when the first argument's value is held by its variable and this call's argument
// vector alone (a count of two), so changing it in place changes nothing anyone else sees.
static bool sole_holders(const anyval_list& slots) {
  return !slots.empty() && slots[0].get() && slots[0]->ref_count() == 2;
}

// After a built-in's call its argument slots let go of their values: a slot kept until the
// next call would count as a holder of a variable's value, and `a = INSERT(a, SIZE(a), x)`
// could never extend a in place, nor could a number be overwritten where it lies. The slots
// of constants (bits of `kept`) keep theirs: the constant holds it for good and nobody
// changes it in place, so the next call finds it in its slot already.
static void let_go_of_arguments(anyval_list& slots, std::uint32_t kept) {
  for (anyval& slot : slots) {
    if (!(kept & 1))
      slot.release();
    kept >>= 1;
  }
}

// The call of a bound user function with the arguments in args_: made on the function
// itself rather than through its entry and a call record. `previous` is the result lent to
// it. Inline in evaluate_call, its only caller.
[[gnu::always_inline]] inline bool txl_expr_fncall::call_user_callee(anyval& previous, std::string& error) {
  bool known_current = false;
  if (!user_callee_->call_from_site(args_, previous, token, error, known_current))
    return false;
  result = std::move(previous);
  valid = known_current || user_callee_->is_current(token);
  return true;
}

// Inline in evaluate, its only caller: the extra call cost every call of a function.
[[gnu::always_inline]] inline bool txl_expr_fncall::evaluate_call(std::string& error) {
  valid = false;
  if (!entry) {
    result.release();
    error = "#UNK:" + name + ":#";
    return false;
  }
  std::size_t evaluated = 0;  // arguments already evaluated on the way to the float form
  if (number_form_ && children.size() == 1 && children[0]) {
    txl_expr& arg = *children[0];
    if (!evaluate_child(arg, error)) {
      result.release();
      return false;
    }
    if (const anyval_imp_float* x = plain_float(arg.value())) {
      store_float(result, number_form_->on_float(x->value));
      token = 0;
      valid = true;
      return true;
    }
    evaluated = 1;
  }
  anyval previous = std::move(result);  // lent to a function that may overwrite it
  if (!user_function && !entry->takes_lent_result)
    previous.release();
  // Evaluating an argument changes neither this node's children nor its argument vector (a
  // node is never evaluated inside its own evaluation), so both are read once.
  const std::size_t count = children.size();
  const rc_ptr<txl_expr>* const args = children.data();
  anyval_list& slots = argument_vector(args_, count);
  anyval* const slot = slots.data();
  for (std::size_t i = 0; i < count; ++i) {
    txl_expr* arg = args[i].get();
    if (!arg) {
      error = "#BADFN#";
      return false;
    }
    if (i >= evaluated && !evaluate_child(*arg, error))
      return false;
    const anyval& value = arg->value();
    if (slot[i].get() != value.get())  // the same value again costs no count change
      slot[i] = value;
  }
  // A call of a user function is work of the run's budget, as a loop step is: functions
  // that call others several times each fan out without any loop.
  if (user_function && !txl_count_work(txl_work::function_call, error))
    return false;
  if (user_callee_) {
    ++txl_calls_made;
    return call_user_callee(previous, error);
  }
  txl_call call;
  call.result = std::move(previous);
  call.may_change_first = replaces_first_arg && sole_holders(slots);
  const anyval_imp* const lent = args_.get();
  call.args = std::move(args_);  // lent to the call and taken back: no count changes
  call.error = &error;
  ++txl_calls_made;
  bool called = entry->call(cookie, call);
  args_ = std::move(call.args);
  if (!user_function && args_.get() == lent)  // the vector handed over, with the slots filled above
    let_go_of_arguments(slots, constant_args_);
  if (!called)
    return false;
  result = std::move(call.result);
  token = call.token;
  valid = call.known_current || txl_is_always_current(*entry) || entry->is_current(cookie, token);
  return true;
}

// Evaluates the arguments left to right (the first failure fails the call before the
// function runs), calls the function and takes its result and token. The node stays valid
// only while the function reports the result current. A math built-in given one float is
// worked out on the spot: the same float its call would store, without a call record.
bool txl_expr_fncall::evaluate(std::string& error) {
  const bool had_result = !result.empty();
  const bool ok = evaluate_call(error);
  if (had_result && result.empty())  // kept answers that this site was current no longer hold
    txl_validity_changed();
  return ok;
}

}  // namespace quillet
