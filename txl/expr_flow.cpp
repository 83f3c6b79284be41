// Constants, the root, sequences, "if", loops, "break", "continue" and "return".
#include <typeinfo>
#include <utility>

#include "txl/expr_nodes.h"
#include "txl/expr_store.h"
#include "txl/loop_budget.h"

namespace quillet {

// A string literal's text moves into a txl_literal_string, which indexed assignment never
// changes in place.
txl_expr_constant::txl_expr_constant(anyval value) {
  valid = true;
  anyval_imp* p = value.get();
  if (p && typeid(*p) == typeid(anyval_imp_string)) {
    result = anyval(rc_ptr<anyval_imp>(new txl_literal_string(*p->as_string()), adopt_ref));
    return;
  }
  result = std::move(value);
}

txl_expr_root::txl_expr_root(rc_ptr<txl_expr> body) {
  may_outlive_children = true;
  add_child(std::move(body));
}

// The body's value, or the value a "return" carried out of it. A jump out of a loop that
// reaches the root (only a hand-built tree can hold one) is a failure, not an escape. The
// last value is let go of first: nobody reads an invalid root's result, and the node that
// made it may then be its only holder and rewrite it in place.
bool txl_expr_root::evaluate(std::string& error) {
  txl_expr* body = child(0);
  if (!body) {
    error = "#BADFN#";
    return false;
  }
  result.release();
  try {
    if (!evaluate_child(*body, error))
      return false;
    result = body->value();
  } catch (txl_return_value& r) {
    result = std::move(r.value);
  } catch (const txl_loop_break&) {
    error = "#UNEXP:ERR#";
    return false;
  }
  valid = true;
  return true;
}

txl_expr_seq::txl_expr_seq() = default;

// Runs the statements in order; the first failure ends the sequence. The result is the
// last statement's value, or the integer 0 for an empty sequence.
bool txl_expr_seq::evaluate(std::string& error) {
  bool all_valid = true;
  const anyval* last = nullptr;
  for (auto& c : children) {
    if (!c)
      continue;
    if (!evaluate_child(*c, error))
      return false;
    all_valid = all_valid && c->valid;
    last = &c->value();
  }
  if (!last)
    store_int(result, 0);
  else if (result.get() != last->get())
    result = *last;
  valid = all_valid;
  return true;
}

txl_expr_if::txl_expr_if(rc_ptr<txl_expr> condition, rc_ptr<txl_expr> then_branch,
                         rc_ptr<txl_expr> else_branch) {
  may_outlive_children = true;
  add_child(std::move(condition));
  add_child(std::move(then_branch));
  if (!else_branch)
    else_branch = make_rc<txl_expr_constant>(anyval::from_int(0));
  add_child(std::move(else_branch));
}

// The branch the condition's truth selects; valid while the condition and that branch are.
bool txl_expr_if::evaluate(std::string& error) {
  txl_expr* condition = child(0);
  if (!condition) {
    error = "#BADFN#";
    return false;
  }
  if (!evaluate_child(*condition, error))
    return false;
  txl_expr* branch = child(truth(condition->value()) ? 1 : 2);
  if (!branch) {
    error = "#BADFN#";
    return false;
  }
  if (!evaluate_child(*branch, error))
    return false;
  if (result.get() != branch->value().get())
    result = branch->value();
  valid = condition->valid && branch->valid;
  return true;
}

txl_expr_for::txl_expr_for(rc_ptr<txl_expr> init, rc_ptr<txl_expr> condition, rc_ptr<txl_expr> step,
                           rc_ptr<txl_expr> body) {
  may_outlive_children = true;
  set_child(0, std::move(init));
  set_child(1, std::move(condition));
  set_child(2, std::move(step));
  set_child(3, std::move(body));
}

namespace {

// Evaluates an optional loop slot, noting whether its result may be reused.
bool run_slot(txl_expr* slot, bool& all_valid, std::string& error) {
  if (!slot)
    return true;
  if (!txl_expr::evaluate_child(*slot, error))
    return false;
  all_valid = all_valid && slot->valid;
  return true;
}

}  // namespace

// A loop of numbers alone runs as a numeric-loop program; any other is evaluated here:
// initialisation once, then condition, body and step until the condition is false or the
// body breaks; "continue" goes on with the step. The result is the integer 0.
bool txl_expr_for::evaluate(std::string& error) {
  bool stays_valid = false;
  switch (numeric_.run(*this, stays_valid, error)) {
    case numeric_loop_outcome::finished:
      store_int(result, 0);
      valid = stays_valid;
      return true;
    case numeric_loop_outcome::failed:
      return false;
    case numeric_loop_outcome::unsuitable:
      break;
  }
  txl_expr* init = child(0);
  txl_expr* condition = child(1);
  txl_expr* step = child(2);
  txl_expr* body = child(3);
  bool all_valid = true;
  if (!run_slot(init, all_valid, error))
    return false;
  for (;;) {
    if (!txl_count_loop_iteration(error))
      return false;
    if (!run_slot(condition, all_valid, error))
      return false;
    if (condition && !truth(condition->value()))
      break;
    try {
      if (!run_slot(body, all_valid, error))
        return false;
    } catch (const txl_loop_break& jump) {
      all_valid = false;
      if (jump.kind == txl_break_kind)
        break;
    }
    if (!run_slot(step, all_valid, error))
      return false;
  }
  store_int(result, 0);
  valid = all_valid;
  return true;
}

// A "return" ends its evaluation by throwing, so it is never left valid.
txl_expr_return::txl_expr_return(rc_ptr<txl_expr> value) {
  never_valid_kind_ = true;
  add_child(std::move(value));
}

bool txl_expr_return::evaluate(std::string& error) {
  txl_expr* value = child(0);
  if (!value) {
    error = "#BADFN#";
    return false;
  }
  if (!evaluate_child(*value, error))
    return false;
  result = value->value();
  throw txl_return_value{result};
}

bool txl_expr_break::evaluate(std::string&) { throw txl_loop_break{txl_break_kind}; }

bool txl_expr_continue::evaluate(std::string&) { throw txl_loop_break{txl_continue_kind}; }

}  // namespace quillet
