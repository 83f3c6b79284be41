// The third reading pass: gives the tree the skeleton HTML(HEAD, BODY). Nodes after the HTML
// element move into it, head content at its start goes into a HEAD, everything after HEAD
// into a BODY, and HTML, HEAD or BODY elements nested inside HEAD or BODY are unwrapped.
#include <utility>
#include <vector>

#include "doc/html_reader.h"

namespace quillet {

namespace {

struct skeleton_defs {
  const html_elt_def* html = find_tag_def("HTML");
  const html_elt_def* head = find_tag_def("HEAD");
  const html_elt_def* body = find_tag_def("BODY");
  const html_elt_def* title = find_tag_def("TITLE");
};

const skeleton_defs& defs() {
  static const skeleton_defs d;
  return d;
}

bool is_tag(const html_element* n, const html_elt_def* def) {
  return n && n->kind == html_kind::tag && static_cast<const html_elt_tag*>(n)->def == def;
}

// Declarations and comments may stand before the HTML element.
bool is_prolog(const html_element* n) { return n->kind == html_kind::comment || n->kind == html_kind::sgml; }

bool is_head_content(const html_element* n) {
  if (n->kind != html_kind::tag)
    return false;
  const html_elt_def* def = static_cast<const html_elt_tag*>(n)->def;
  return def == defs().title || (def->flags & html_elt_def::HEAD_CONTENT);
}

bool is_skeleton(const html_element* n) {
  return is_tag(n, defs().html) || is_tag(n, defs().head) || is_tag(n, defs().body);
}

html_elt_tag* new_skeleton_tag(const html_elt_def* def) {
  auto* t = new html_elt_tag(def);
  t->flags = html_object::NL_AFTER | html_object::NL_AFTER_END;
  return t;
}

// Appends a chain of nodes at the end of a tag's children.
void append_children(html_elt_tag* parent, html_element* chain) {
  if (!chain)
    return;
  html_element** link = &parent->children;
  while (*link)
    link = &(*link)->next;
  *link = chain;
}

// Replaces every HTML, HEAD or BODY element at any depth below `list` by its own children,
// which are then examined in turn. Walks with an explicit stack of lists.
void unwrap_skeleton(html_element*& list) {
  std::vector<html_element**> lists{&list};
  while (!lists.empty()) {
    html_element** link = lists.back();
    lists.pop_back();
    while (html_element* n = *link) {
      if (!is_skeleton(n)) {
        if (n->kind == html_kind::tag && static_cast<html_elt_tag*>(n)->children)
          lists.push_back(&static_cast<html_elt_tag*>(n)->children);
        link = &n->next;
        continue;
      }
      auto* t = static_cast<html_elt_tag*>(n);
      html_element* after = std::exchange(n->next, nullptr);
      html_element* kids = std::exchange(t->children, nullptr);
      *link = kids ? kids : after;
      if (kids) {
        while (kids->next)
          kids = kids->next;
        kids->next = after;
      }
      release_list(n);
    }
  }
}

// The HEAD to use: the first child after declarations and comments when it is one; otherwise a
// new HEAD put first, holding the run of declarations, comments and head content that began
// the HTML element.
html_elt_tag* settle_head(html_elt_tag* html, std::size_t& found) {
  html_element* first = html->children;
  while (first && is_prolog(first))
    first = first->next;
  if (is_tag(first, defs().head)) {
    ++found;
    return static_cast<html_elt_tag*>(first);
  }
  html_elt_tag* head = new_skeleton_tag(defs().head);
  html_element** link = &html->children;
  while (*link && (is_prolog(*link) || is_tag(*link, defs().head) || is_head_content(*link)))
    link = &(*link)->next;
  html_element* rest = std::exchange(*link, nullptr);
  head->children = html->children;
  head->next = rest;
  html->children = head;
  return head;
}

// The BODY to use: the node right after HEAD when it is one, else a new BODY there; every
// node after it moves into it.
html_elt_tag* settle_body(html_elt_tag* head, std::size_t& found) {
  html_elt_tag* body = nullptr;
  if (is_tag(head->next, defs().body)) {
    body = static_cast<html_elt_tag*>(head->next);
    ++found;
  } else {
    body = new_skeleton_tag(defs().body);
    body->next = head->next;
    head->next = body;
  }
  append_children(body, std::exchange(body->next, nullptr));
  return body;
}

}  // namespace

bool normalize_html_tree(html_element*& top, std::size_t skeleton_tags) {
  html_element* first = top;
  while (first && is_prolog(first))
    first = first->next;
  if (!is_tag(first, defs().html))
    return false;
  auto* html = static_cast<html_elt_tag*>(first);
  append_children(html, std::exchange(html->next, nullptr));
  std::size_t in_place = 1;
  html_elt_tag* head = settle_head(html, in_place);
  html_elt_tag* body = settle_body(head, in_place);
  if (skeleton_tags <= in_place)
    return true;
  unwrap_skeleton(head->children);
  unwrap_skeleton(body->children);
  return true;
}

}  // namespace quillet
