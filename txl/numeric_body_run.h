// A run of a user function's body as a numeric program: its inputs and variables loaded
// into the registers, the results handed back, and the run itself. Inline in the calls of a
// user function, which come here every time a function with a numeric body is called with
// new arguments or after something it reads changed; numeric_loop.cpp runs loops with the
// same steps.
#pragma once

#include <string>
#include <vector>

#include "txl/expr_nodes.h"
#include "txl/loop_budget.h"
#include "txl/numeric_loop.h"

namespace quillet {

namespace nl_run {

inline void put_float(nl_reg& r, double v) {
  r.f = v;
  r.kind = type_float;
  r.written = 1;
}

inline void put_int(nl_reg& r, std::int32_t v) {
  r.i = v;
  r.kind = type_int;
  r.written = 1;
}

// A register's number into a value, rewriting the value's object in place when it alone
// holds it (see store_int and store_float; spelt out here so that it stays inline).
[[gnu::always_inline]] inline void store_register(anyval& target, const nl_reg& r) {
  anyval_imp* p = target.get();
  const bool mine = p && p->plain_kind == r.kind && p->ref_count() == 1;
  if (r.kind == type_int) {
    if (mine)
      static_cast<anyval_imp_int*>(p)->value = r.i;
    else
      target = anyval::from_int(r.i);
    return;
  }
  if (mine)
    static_cast<anyval_imp_float*>(p)->value = r.f;
  else
    target = anyval::from_float(r.f);
}

// A plain integer or float into a register; false for anything else.
inline bool load_number(const anyval_imp* v, nl_reg& r) {
  if (v && v->plain_kind == type_int)
    put_int(r, static_cast<const anyval_imp_int*>(v)->value);
  else if (v && v->plain_kind == type_float)
    put_float(r, static_cast<const anyval_imp_float*>(v)->value);
  else
    return false;
  r.written = 0;
  return true;
}

// Loads the variables the code may read before setting them into their registers and
// clears the "written" mark of the others. False when one holds something other than a
// number; `unchecked_empty` tells whether an empty one is read without a check.
[[gnu::always_inline]] inline bool load_vars(const nl_program& p, std::vector<nl_reg>& regs,
                                             bool& unchecked_empty) {
  unchecked_empty = false;
  for (const std::int32_t at : p.unloaded) {
    const auto i = static_cast<std::size_t>(at);
    const anyval_imp* v = p.vars[i]->value.get();
    if (v && !plain_number_kind(*v))
      return false;
    regs[i].written = 0;
  }
  for (const std::int32_t at : p.loads) {
    const auto i = static_cast<std::size_t>(at);
    const anyval_imp* v = p.vars[i]->value.get();
    nl_reg& r = regs[i];
    if (!v) {
      r = nl_reg{};
      unchecked_empty = unchecked_empty || !p.checked[i];
      continue;
    }
    if (!load_number(v, r))
      return false;
  }
  return true;
}

// Makes `regs` ready for a run of `p` before its variables and inputs are loaded. Only the
// first run of a program copies every register: constants are never written, every other
// register but a variable's is written before it is read, and only the variables' "written"
// marks are looked at after a run (load_vars clears them).
[[gnu::always_inline]] inline void reset_registers(const nl_program& p, std::vector<nl_reg>& regs,
                                                   const nl_program*& ready_for) {
  if (ready_for == &p)
    return;
  regs = p.initial;
  ready_for = &p;
}

// Hands the changed variables back, leaves the program's nodes to be recomputed (unless they
// are known to be invalid still) and reports every changed variable; says whether any was
// changed. Inline: a body's run is short, and the call's own set-up cost a third as much.
[[gnu::always_inline]] inline bool hand_back(const nl_program& p, const std::vector<nl_reg>& regs,
                                             bool nodes_invalid = false) {
  bool any_written = false;
  const std::size_t count = p.vars.size();
  for (std::size_t i = 0; i < count; ++i) {
    const nl_reg& r = regs[i];
    if (!r.written)
      continue;
    any_written = true;
    store_register(p.vars[i]->value, r);
  }
  if (!nodes_invalid)
    for (txl_expr* n : p.nodes)
      n->valid = false;
  if (!p.any_reported)
    return any_written;
  for (std::size_t i = 0; i < count; ++i)
    if (regs[i].written && p.reported[i])
      variable_changed(*p.vars[i]);
  return any_written;
}

// The numbers a body program takes from outside: the cached values of the nodes it does not
// run, which must be valid (the tree would evaluate an invalid one), and the elements it
// reads (an empty element reads as the integer 0; anything else than a number, or an index
// past the end, is the tree's to handle).
[[gnu::always_inline]] inline bool load_inputs(const nl_program& p, std::vector<nl_reg>& regs) {
  for (const std::int32_t at : p.taken) {
    const nl_program::node_register& leaf = p.leaves[static_cast<std::size_t>(at)];
    if (!leaf.node->valid || !load_number(leaf.node->value().get(), regs[static_cast<std::size_t>(leaf.reg)]))
      return false;
  }
  for (const auto& e : p.elements) {
    const anyval_list* list = e.storage->value.as_vector();
    if (!list || static_cast<std::size_t>(e.index) >= list->size())
      return false;
    const anyval_imp* element = (*list)[static_cast<std::size_t>(e.index)].get();
    nl_reg& r = regs[static_cast<std::size_t>(e.reg)];
    if (!element)
      put_int(r, 0);
    else if (!load_number(element, r))
      return false;
  }
  return true;
}

// The variables that are empty now or were checked before, for a program rebuilt because
// an empty one would be read unchecked.
std::vector<const txl_expr_localvar*> vars_to_check(const nl_program& p);

// Evaluates the body as a tree after a run stopped at a leaf (see numeric_loop.cpp).
bool finish_as_tree(txl_expr_root& root, const std::vector<txl_expr*>& evaluated, std::string& error);

}  // namespace nl_run

// Inline in run, its only caller.
[[gnu::always_inline]] inline numeric_loop_outcome txl_numeric_body::run_program(txl_expr_root& root,
                                                                              std::string& error) {
  if (!txl_numeric_loops_enabled || !txl_numeric_bodies_enabled)
    return numeric_loop_outcome::unsuitable;
  // The program at hand, when it still fits, is taken without a call. It was built for the
  // body the root holds: another one would have changed the tree's shape.
  const bool counting = txl_loop_budget_in_scope();
  const bool current = suitable_ && shape_ == txl_tree_shape() && program_->counting == counting;
  if (!current && (!root.child(0) || !prepare(*root.child(0), counting)))
    return numeric_loop_outcome::unsuitable;
  txl_expr* body = root.child(0);
  if (txl_expr::eval_depth() + program_->depth + 1 >= txl_max_eval_depth)
    return numeric_loop_outcome::unsuitable;
  nl_run::reset_registers(*program_, regs_, regs_for_);
  bool unchecked_empty = false;
  if (!nl_run::load_inputs(*program_, regs_) || !nl_run::load_vars(*program_, regs_, unchecked_empty))
    return numeric_loop_outcome::unsuitable;
  if (unchecked_empty && !rebuild_checked(*body))
    return numeric_loop_outcome::unsuitable;
  const nl_program& p = *program_;
  ++txl_numeric_body_runs;
  const bool nodes_invalid = nodes_invalid_ && p.code.data() == last_code_;
  last_code_ = p.code.data();
  notes_.jumped = notes_.stopped = false;
  notes_.evaluated.clear();
  const bool ok = execute_numeric_loop(p, regs_.data(), notes_, error);
  if (notes_.stopped) {
    return nl_run::finish_as_tree(root, notes_.evaluated, error) ? numeric_loop_outcome::finished
                                                                  : numeric_loop_outcome::failed;
  }
  nl_run::hand_back(p, regs_, nodes_invalid);
  if (!ok)
    return numeric_loop_outcome::failed;
  const nl_reg& value = regs_[static_cast<std::size_t>(p.result)];
  if (!value.kind) {
    error = "#UNEXP:NULL#";
    return numeric_loop_outcome::failed;
  }
  nl_run::store_register(root.result, value);
  root.valid = true;
  return numeric_loop_outcome::finished;
}

// Inline in the evaluation of a user function's body, its only user: the call of the run
// cost a tenth of the run's own work.
[[gnu::always_inline]] inline numeric_loop_outcome txl_numeric_body::run(txl_expr_root& root, std::string& error) {
  // A body reached again while its program runs (only a function that can reach itself,
  // which binding refuses to call) is a tree: the registers belong to the outer run.
  if (running_) {
    nodes_invalid_ = false;
    return numeric_loop_outcome::unsuitable;
  }
  struct running_guard {
    explicit running_guard(bool& flag) : flag_(flag) { flag_ = true; }
    ~running_guard() { flag_ = false; }
    bool& flag_;
  } guard(running_);
  const numeric_loop_outcome outcome = run_program(root, error);
  // The tree evaluates the body after any outcome but a run that got past its start; the
  // nodes it leaves valid must be cleared after the next run.
  nodes_invalid_ = outcome != numeric_loop_outcome::unsuitable && !notes_.stopped;
  return outcome;
}

}  // namespace quillet
