// The evaluation tree of the expression language: the node base txl_expr with its result
// cache, and txl_expr_localvar, the runtime storage of one variable. A node owns its children
// through counted handles; parent links and a storage's dependents are plain pointers, kept
// valid because a tree is released as a whole. Node classes live in expr_nodes.h.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "txl/anyval.h"
#include "txl/rc_object.h"

namespace quillet {

class txl_expr;
struct txl_storage_link;

// Runtime storage of one variable, shared by every node that names it. Every reference to
// and assignment of the variable is registered here (by the node's constructor), so that a
// change of the value can invalidate the cached results that depend on it.
class txl_expr_localvar : public dynamic_object {
public:
  anyval value;  // empty until first assigned
  // The nodes that read or assign the variable, and beside each its registration (which
  // knows its own position, for removal).
  std::vector<txl_expr*> dependents;
  std::vector<txl_storage_link*> links;

  std::size_t dependent_count() const { return dependents.size(); }
  txl_expr* dependent(std::size_t i) const { return dependents[i]; }

  // What a change of the variable invalidates, worked out once per shape of the trees:
  // `plan_nodes` are the dependents and their ancestors of ordinary kinds, cleared
  // unconditionally; `plan_tops` the nearest ancestors that may outlive an invalid child,
  // from which the ordinary upward walk goes on. Rebuilt when plan_shape no longer matches
  // the shape counter; `plan_walk_only` when the plan would be too large to keep.
  std::vector<txl_expr*> plan_nodes;
  std::vector<txl_expr*> plan_tops;
  std::uint64_t plan_shape = 0;
  bool plan_walk_only = false;
};

// Rises whenever any evaluation tree changes shape (a child added or replaced, a node gone, a
// variable node registered or removed), so invalidation plans know when to be rebuilt.
inline std::atomic<std::uint64_t> txl_tree_shape_counter{1};
inline std::uint64_t txl_tree_shape() { return txl_tree_shape_counter.load(std::memory_order_relaxed); }
inline void txl_tree_shape_changed() { txl_tree_shape_counter.fetch_add(1, std::memory_order_relaxed); }

// Deepest nesting of evaluations (through children and user-function calls) before an
// evaluation fails with "#DEPTH#" instead of exhausting the machine stack.
inline constexpr int txl_max_eval_depth = 4000;

// Base of every evaluation node. `result` holds the value of the last successful
// evaluation; while `valid` is set a parent reuses it without evaluating again.
class txl_expr : public dynamic_object {
public:
  txl_expr();
  ~txl_expr() override;

  // Computes the node's result; false with a marker in `error` on failure. Nodes without an
  // evaluation of their own fail with "#BADFN#".
  virtual bool evaluate(std::string& error);

  // Appends a child (may be empty) and makes this node its parent.
  void add_child(rc_ptr<txl_expr> child);
  // Replaces child slot i (growing the list with empty slots) and makes this node its parent.
  void set_child(std::size_t i, rc_ptr<txl_expr> child);
  txl_expr* child(std::size_t i) const { return i < children.size() ? children[i].get() : nullptr; }
  std::size_t child_count() const { return children.size(); }

  // The node's current value: its own result, or for variable nodes the variable's value.
  const anyval& value() const { return *value_; }

  // True for node kinds whose evaluation never leaves them valid (assignments).
  bool is_never_valid_kind() const { return never_valid_kind_; }

  // Widens the span to cover [start, end]; -1 leaves a bound alone.
  void extend_span(std::int32_t start, std::int32_t end);

  // Evaluates `child` unless it is valid; an empty error becomes "#UNEXP:ERR#" on failure and
  // an empty result fails with "#UNEXP:NULL#". Inline so that every caller has its own
  // dispatch to the child's evaluate, which the processor predicts far better than one
  // shared call.
  static bool evaluate_child(txl_expr& child, std::string& error) {
    if (child.valid && !child.value().empty())
      return true;
    if (child.plain_read_ && !child.value_->empty()) {
      // A plain variable read only notes that the variable holds a value; done here it
      // costs neither a call nor the nesting count, since it evaluates nothing below it.
      child.valid = true;
      return true;
    }
    if (eval_depth_ >= txl_max_eval_depth)
      return fail_too_deep(error);
    bool ok;
    {
      active_guard guard(child);
      ok = child.evaluate(error);
    }
    if (!ok || child.value().empty())
      return fail_child(ok, error);
    return true;
  }

  // How deeply evaluations are nested on this thread now.
  static int eval_depth() { return eval_depth_; }

  // evaluate_child for a node that sits `levels` below the node being evaluated, reached
  // without evaluating the nodes between (a numeric program), so that its nesting counts as
  // in tree evaluation.
  static bool evaluate_nested(txl_expr& node, int levels, std::string& error) {
    eval_depth_ += levels;
    const bool ok = evaluate_child(node, error);
    eval_depth_ -= levels;
    return ok;
  }

  // Counts `levels` more nestings while it lives, for a caller that skips nodes whose
  // evaluation would only pass a call's result up: depth limits then fall where they would.
  struct nesting_offset {
    explicit nesting_offset(int n) : levels(n) { eval_depth_ += levels; }
    ~nesting_offset() { eval_depth_ -= levels; }
    nesting_offset(const nesting_offset&) = delete;
    nesting_offset& operator=(const nesting_offset&) = delete;
    int levels;
  };

  txl_expr* parent = nullptr;
  std::vector<rc_ptr<txl_expr>> children;
  anyval result;
  std::int32_t span_start = -1;
  std::int32_t span_end = -1;
  bool valid = false;

  // Set for node kinds whose valid result may rest on a child that is not valid (the root,
  // calls, "and", "or", "if", loops). Any other node is valid only while all its children
  // are, so invalidation may jump from an invalid node straight to `barrier`, the nearest
  // ancestor of such a kind, once link_tree has computed it (barrier_known).
  bool may_outlive_children = false;
  bool barrier_known = false;
  txl_expr* barrier = nullptr;
  // Set while the node is being evaluated. Such a node and all its ancestors are invalid, so
  // an invalidation walk stops on reaching it.
  bool active = false;
  // Marks the node as already taken while an invalidation plan is being built.
  std::uint64_t plan_mark = 0;
  // Set by link_tree for a node that can never become valid: one whose evaluation never
  // sets its flag (an assignment, "return"), or a node of an ordinary kind with such a child.
  // Invalidation has nothing to clear on it.
  bool never_valid = false;

protected:
  // Variable nodes point this at their storage's value.
  void read_value_from(const anyval* source) { value_ = source; }
  // Set by a variable read that is not a declaration: its evaluation is only the check that
  // the variable holds a value, which evaluate_child then does inline.
  bool plain_read_ = false;
  // Set by node kinds whose evaluation never leaves them valid.
  bool never_valid_kind_ = false;

private:
  void forget_never_valid();
  // Marks a child active and counts the nesting for the duration of its evaluation,
  // whether it returns or throws.
  struct active_guard {
    explicit active_guard(txl_expr& n) : node(n) {
      node.active = true;
      ++eval_depth_;
    }
    ~active_guard() {
      node.active = false;
      --eval_depth_;
    }
    txl_expr& node;
  };
  static bool fail_too_deep(std::string& error);
  static bool fail_child(bool evaluated, std::string& error);
  static inline thread_local int eval_depth_ = 0;
  const anyval* value_ = &result;
};

// Clears the valid flag of `node` and of every ancestor, so the next evaluation recomputes
// everything that depended on it.
void invalidate(txl_expr& node);

// Computes the invalidation shortcuts of a finished tree (txl_user_function::set_body calls
// it); a tree without them is still invalidated correctly, only more slowly.
void link_tree(txl_expr& root);

// A variable with no more dependents than this is invalidated by a walk up from each: a
// walk ends, or jumps to the nearest ancestor that may still be valid, at the first node
// found invalid, which after a numeric program's run is the dependent itself or its parent.
inline constexpr std::size_t txl_few_dependents = 4;

// variable_changed for a variable of more dependents, through its invalidation plan.
void variable_changed_by_plan(txl_expr_localvar& storage);

// Invalidates every reference to and assignment of the variable after its value changed.
// Inline for a variable of few dependents: a call with new arguments changes ARGS each time.
inline void variable_changed(txl_expr_localvar& storage) {
  if (storage.dependents.size() > txl_few_dependents) {
    variable_changed_by_plan(storage);
    return;
  }
  for (txl_expr* node : storage.dependents)
    invalidate(*node);
}

// Registration of a variable node in its storage's dependents; removal on destruction is
// constant time.
struct txl_storage_link {
  txl_storage_link(txl_expr* owner, rc_ptr<txl_expr_localvar> storage);
  ~txl_storage_link();
  txl_storage_link(const txl_storage_link&) = delete;
  txl_storage_link& operator=(const txl_storage_link&) = delete;

  txl_expr* owner;
  rc_ptr<txl_expr_localvar> storage;
  std::size_t index;
};

}  // namespace quillet
