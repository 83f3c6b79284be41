// End tags a tree written as read needs so that it reads back the same.
#include "doc/html_end_tags.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace quillet {

namespace {

// True when reading `follower` right after the unclosed element `e` closes `e`, as the tree
// builder does: a start tag outside the element's content mask. Text, comments and stray
// end tags never close an element; no follower (an enclosing end tag or the end) always does.
bool closed_by(const html_elt_tag& e, const html_element* follower) {
  if (!follower)
    return true;
  if (follower->kind != html_kind::tag)
    return false;
  const auto* start = static_cast<const html_elt_tag*>(follower);
  std::uint32_t content = e.def->content;
  return start->def && content && !(content & start->def->flags);
}

struct pending {
  html_element* node;
  const html_element* follower;  // what the reader meets after the node; null: an end tag
};

}  // namespace

// Walks the tree with a stack, never recursing on its depth. A node's follower is its next
// sibling, else its parent's end tag when the parent has one, else the parent's follower.
std::size_t add_needed_end_tags(html_element* top) {
  std::size_t marked = 0;
  std::vector<pending> stack;
  for (html_element* n = top; n; n = n->next)
    stack.push_back({n, n->next});
  while (!stack.empty()) {
    pending p = stack.back();
    stack.pop_back();
    if (p.node->kind != html_kind::tag)
      continue;
    auto* e = static_cast<html_elt_tag*>(p.node);
    if (!e->def || (e->def->flags & html_elt_def::EMPTY))
      continue;
    if (!(e->flags & html_object::HAS_END_TAG) && !closed_by(*e, p.follower)) {
      e->flags |= html_object::HAS_END_TAG;
      ++marked;
    }
    const html_element* after = (e->flags & html_object::HAS_END_TAG) ? nullptr : p.follower;
    for (html_element* c = e->children; c; c = c->next)
      stack.push_back({c, c->next ? c->next : after});
  }
  return marked;
}

// Walks the lists in document order with a stack of the places to go on after each element,
// never recursing on the depth, and counts the enclosing elements by definition.
std::size_t drop_closing_stray_end_tags(html_element*& top) {
  std::unordered_map<const html_elt_def*, std::size_t> enclosing;
  std::vector<std::pair<html_element**, const html_elt_def*>> resume;  // after the element, its definition
  std::size_t dropped = 0;
  html_element** link = &top;
  for (;;) {
    while (!*link) {
      if (resume.empty())
        return dropped;
      --enclosing[resume.back().second];
      link = resume.back().first;
      resume.pop_back();
    }
    html_element* n = *link;
    if (n->kind == html_kind::etag && enclosing[static_cast<html_elt_etag*>(n)->def] > 0) {
      *link = n->next;
      n->next = nullptr;
      release_list(n);
      ++dropped;
      continue;
    }
    auto* e = n->kind == html_kind::tag ? static_cast<html_elt_tag*>(n) : nullptr;
    if (!e || !e->children) {
      link = &n->next;
      continue;
    }
    resume.emplace_back(&n->next, e->def);
    ++enclosing[e->def];
    link = &e->children;
  }
}

}  // namespace quillet
