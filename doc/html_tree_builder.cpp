// Tree building: nests nodes as they come. Elements open on an explicit stack; a start tag
// outside the innermost element's content mask, or an end tag of any open element, closes the
// innermost element, and the node is then tried against its parent.
#include "doc/html_tree_builder.h"

#include <cstring>
#include <utility>

namespace quillet {

html_tree_builder::html_tree_builder()
    : html_(find_tag_def("HTML")), head_(find_tag_def("HEAD")), body_(find_tag_def("BODY")),
      rows_(tag_def_by_index(0)) {
  open_.reserve(64);
  open_.push_back({nullptr, &top_});
}

html_tree_builder::~html_tree_builder() { release_list(finish()); }

void html_tree_builder::append(html_element* n) {
  open_element& in = open_.back();
  *in.tail = n;
  in.tail = &n->next;
}

// True when the innermost open element has a content mask that excludes the start tag.
bool html_tree_builder::closes_innermost(const html_elt_def* start) const {
  const html_elt_tag* inner = open_.back().tag;
  if (!inner)
    return false;
  std::uint32_t content = inner->def->content;
  return content && !(content & start->flags);
}

// How many elements of this definition are open, so that an end tag finds out in one step
// whether it closes something.
std::size_t& html_tree_builder::open_count(const html_elt_def* def) {
  if (def->flags & html_elt_def::DYNAMIC)
    return dynamic_counts_[def];
  return row_counts_[static_cast<std::size_t>(def - rows_)];
}

void html_tree_builder::close_innermost() {
  html_elt_tag* e = open_.back().tag;
  open_.pop_back();
  --open_count(e->def);
}

// Places a start tag: it closes the open elements that cannot hold it, joins the innermost
// remaining one and opens, or, when empty, starts collecting the directive comments after it.
void html_tree_builder::start_tag(html_elt_tag* tag) {
  collecting_ = nullptr;
  while (closes_innermost(tag->def))
    close_innermost();
  append(tag);
  mark_last(&tag->flags, html_object::NL_AFTER);
  const html_elt_def* def = tag->def;
  skeleton_tags_ += def == html_ || def == head_ || def == body_;
  if (def->flags & html_elt_def::EMPTY) {
    collecting_ = tag;
    collect_tail_ = &tag->children;
    return;
  }
  open_.push_back({tag, &tag->children});
  ++open_count(def);
}

// An end tag of an open element closes the elements inside it implicitly and that element
// explicitly: it notes its end tag, and a line break after it. Any other end tag is stray.
void html_tree_builder::end_tag(const html_elt_def* def, std::uint32_t at) {
  collecting_ = nullptr;
  if (open_count(def) == 0) {
    auto* stray = new html_elt_etag(def);
    stray->source_offset = at;
    append(stray);
    mark_last(&stray->flags, html_object::NL_AFTER);
    return;
  }
  for (;;) {
    html_elt_tag* e = open_.back().tag;
    close_innermost();
    if (e->def != def)
      continue;
    e->flags |= html_object::HAS_END_TAG;
    mark_last(&e->flags, html_object::NL_AFTER_END);
    return;
  }
}

// Moves an element-definition comment that follows an empty element (an image, an input)
// into it, so that the definition stays with its element. False for any other node.
bool html_tree_builder::takes_directive_comment(html_element* n) {
  if (!collecting_ || n->kind != html_kind::comment ||
      std::strncmp(static_cast<html_elt_comment*>(n)->text.c_str(), "$VX ELT", 7) != 0) {
    collecting_ = nullptr;
    return false;
  }
  *collect_tail_ = n;
  collect_tail_ = &n->next;
  return true;
}

void html_tree_builder::leaf(html_element* n) {
  mark_last(&n->flags, html_object::NL_AFTER);
  if (!takes_directive_comment(n))
    append(n);
}

void html_tree_builder::line_break() {
  if (last_flags_)
    *last_flags_ |= last_bit_;
}

// Elements still open end implicitly where the input ends.
html_element* html_tree_builder::finish() {
  open_.resize(1);
  open_.back().tail = &top_;
  collecting_ = nullptr;
  last_flags_ = nullptr;
  return std::exchange(top_, nullptr);
}

}  // namespace quillet
