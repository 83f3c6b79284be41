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
  txl_tree_shape_changed();
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

// A node that gains a child may become able to be valid again; link_tree works it out anew.
void txl_expr::forget_never_valid() {
  txl_tree_shape_changed();
  for (txl_expr* n = this; n && n->never_valid; n = n->parent)
    n->never_valid = false;
}

void txl_expr::add_child(rc_ptr<txl_expr> child) {
  forget_never_valid();
  if (child)
    child->parent = this;
  children.push_back(std::move(child));
}

void txl_expr::set_child(std::size_t i, rc_ptr<txl_expr> child) {
  forget_never_valid();
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

namespace {

// The most nodes one variable's invalidation plan may list; a variable read in more places
// than this is invalidated by walking up from each reader instead.
constexpr std::size_t max_plan_nodes = 4096;

// Every plan build takes a fresh mark, whichever thread builds it.
std::atomic<std::uint64_t> plan_marks{0};

// Lists what a change of the variable invalidates: every dependent and its ancestors up to
// the first one that may outlive an invalid child, each once. Shared ancestors end the climb
// early, so building costs no more than the distinct nodes listed.
void build_plan(txl_expr_localvar& storage) {
  storage.plan_nodes.clear();
  storage.plan_tops.clear();
  storage.plan_walk_only = false;
  storage.plan_shape = txl_tree_shape();
  std::uint64_t mark = plan_marks.fetch_add(1, std::memory_order_relaxed) + 1;
  for (txl_expr* node : storage.dependents) {
    for (txl_expr* n = node; n && n->plan_mark != mark; n = n->parent) {
      n->plan_mark = mark;
      if (n->may_outlive_children) {
        storage.plan_tops.push_back(n);
        break;
      }
      if (!n->never_valid)
        storage.plan_nodes.push_back(n);
    }
    if (storage.plan_nodes.size() + storage.plan_tops.size() > max_plan_nodes) {
      storage.plan_nodes.clear();
      storage.plan_tops.clear();
      storage.plan_walk_only = true;
      return;
    }
  }
}

}  // namespace

// Clears the listed ordinary nodes outright (each is the variable's node or has it below,
// through nodes that are valid only while all their children are) and walks on from the
// nodes above them that may stay valid. Nodes under evaluation are invalid anyway, so
// clearing them changes nothing.
void variable_changed_by_plan(txl_expr_localvar& storage) {
  if (storage.plan_shape != txl_tree_shape())
    build_plan(storage);
  if (storage.plan_walk_only) {
    for (txl_expr* node : storage.dependents)
      invalidate(*node);
    return;
  }
  for (txl_expr* node : storage.plan_nodes)
    node->valid = false;
  for (txl_expr* top : storage.plan_tops)
    invalidate(*top);
}

namespace {

// Marks the nodes that can never be valid, children before parents: `order` lists a tree
// parents first, so it is read backwards.
void mark_never_valid(const std::vector<txl_expr*>& order) {
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    txl_expr* n = *it;
    bool never = n->is_never_valid_kind();
    if (!never && !n->may_outlive_children) {
      for (auto& c : n->children)
        never = never || (c && c->never_valid);
    }
    n->never_valid = never;
  }
}

}  // namespace

// Gives every node of the tree its invalidation shortcut: the nearest ancestor that may be
// valid while a child is not; and marks the nodes that can never be valid. Iterative, so
// any depth is fine.
void link_tree(txl_expr& root) {
  txl_tree_shape_changed();
  root.barrier = nullptr;
  for (txl_expr* p = root.parent; p; p = p->parent) {
    if (p->may_outlive_children) {
      root.barrier = p;
      break;
    }
  }
  root.barrier_known = true;
  std::vector<txl_expr*> pending{&root};
  std::vector<txl_expr*> order;
  while (!pending.empty()) {
    txl_expr* n = pending.back();
    pending.pop_back();
    order.push_back(n);
    txl_expr* below = n->may_outlive_children ? n : n->barrier;
    for (auto& c : n->children) {
      if (!c)
        continue;
      c->barrier = below;
      c->barrier_known = true;
      pending.push_back(c.get());
    }
  }
  mark_never_valid(order);
}

txl_storage_link::txl_storage_link(txl_expr* owner_node, rc_ptr<txl_expr_localvar> var)
    : owner(owner_node), storage(std::move(var)), index(storage->dependents.size()) {
  txl_tree_shape_changed();
  storage->dependents.push_back(owner);
  storage->links.push_back(this);
}

// Leaves the storage's dependents by moving the last one into this slot.
txl_storage_link::~txl_storage_link() {
  txl_tree_shape_changed();
  auto& links = storage->links;
  txl_storage_link* last = links.back();
  links[index] = last;
  storage->dependents[index] = last->owner;
  last->index = index;
  links.pop_back();
  storage->dependents.pop_back();
}

}  // namespace quillet
