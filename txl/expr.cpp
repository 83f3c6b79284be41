// The node base: children and parent links, spans, the result cache with its invalidation,
// and evaluation of a child with the markers for failures that gave no text.
#include "txl/expr.h"

#include <utility>

namespace quillet {


txl_expr::txl_expr() = default;

// Releases the subtree without recursing: children that only this tree holds hand their own
// children to a work list before they go, so a chain of a million operands is no deeper to
// destroy than a single node.
txl_expr::~txl_expr() {
  if (children.empty())
    return;
  std::vector<rc_ptr<txl_expr>> pending = std::move(children);
  while (!pending.empty()) {
    rc_ptr<txl_expr> node = std::move(pending.back());
    pending.pop_back();
    if (!node)
      continue;
    if (node->ref_count() != 1) {
      node->parent = nullptr;
      continue;
    }
    for (auto& c : node->children)
      pending.push_back(std::move(c));
    node->children.clear();
  }
}

bool txl_expr::evaluate(std::string& error) {
  error = "#BADFN#";
  return false;
}

void txl_expr::add_child(rc_ptr<txl_expr> child) {
  if (child)
    child->parent = this;
  children.push_back(std::move(child));
}

void txl_expr::set_child(std::size_t i, rc_ptr<txl_expr> child) {
  if (children.size() <= i)
    children.resize(i + 1);
  if (child)
    child->parent = this;
  children[i] = std::move(child);
}

void txl_expr::extend_span(std::int32_t start, std::int32_t end) {
  if (start >= 0 && (span_start < 0 || start < span_start))
    span_start = start;
  if (end >= 0 && (span_end < 0 || end > span_end))
    span_end = end;
}

// Nesting beyond txl_max_eval_depth fails, so that a deep tree or a long chain of
// user-function calls cannot overflow the stack.
bool txl_expr::fail_too_deep(std::string& error) {
  error = "#DEPTH#";
  return false;
}

// A failure without a text becomes "#UNEXP:ERR#"; a success without a value "#UNEXP:NULL#".
bool txl_expr::fail_child(bool evaluated, std::string& error) {
  if (evaluated)
    error = "#UNEXP:NULL#";
  else if (error.empty())
    error = "#UNEXP:ERR#";
  return false;
}

// Walks up from the node clearing valid flags. An invalid node whose parent is of an
// ordinary kind proves that parent invalid too, so the walk may jump to the nearest ancestor
// that can stay valid above an invalid child; without computed shortcuts it goes parent by
// parent. A node under evaluation ends the walk: it and its ancestors are invalid already.
void invalidate(txl_expr& node) {
  txl_expr* n = &node;
  while (n) {
    if (n->active)
      return;
    if (n->valid) {
      n->valid = false;
      n = n->parent;
      continue;
    }
    n = n->barrier_known ? n->barrier : n->parent;
  }
}

void variable_changed(txl_expr_localvar& storage) {
  for (txl_expr* node : storage.dependents)
    invalidate(*node);
}

// Gives every node of the tree its invalidation shortcut: the nearest ancestor that may be
// valid while a child is not. Iterative, so any depth is fine.
void link_tree(txl_expr& root) {
  root.barrier = nullptr;
  for (txl_expr* p = root.parent; p; p = p->parent) {
    if (p->may_outlive_children) {
      root.barrier = p;
      break;
    }
  }
  root.barrier_known = true;
  std::vector<txl_expr*> pending{&root};
  while (!pending.empty()) {
    txl_expr* n = pending.back();
    pending.pop_back();
    txl_expr* below = n->may_outlive_children ? n : n->barrier;
    for (auto& c : n->children) {
      if (!c)
        continue;
      c->barrier = below;
      c->barrier_known = true;
      pending.push_back(c.get());
    }
  }
}

txl_storage_link::txl_storage_link(txl_expr* owner_node, rc_ptr<txl_expr_localvar> var)
    : owner(owner_node), storage(std::move(var)), index(storage->dependents.size()) {
  storage->dependents.push_back(owner);
  storage->links.push_back(this);
}

// Leaves the storage's dependents by moving the last one into this slot.
txl_storage_link::~txl_storage_link() {
  auto& links = storage->links;
  txl_storage_link* last = links.back();
  links[index] = last;
  storage->dependents[index] = last->owner;
  last->index = index;
  links.pop_back();
  storage->dependents.pop_back();
}

}  // namespace quillet
