// The second reading pass: nests the flat node list into a tree. Elements open on an explicit
// stack; a start tag outside the innermost element's content mask, or an end tag of any open
// element, closes the innermost element, and the node is then tried against its parent.
#include <array>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "doc/html_reader.h"

namespace quillet {

namespace {

struct open_element {
  html_elt_tag* tag;      // null for the top level
  html_element** tail;    // where the next child goes
};

class tree_builder {
public:
  explicit tree_builder(html_element* flat) : cursor_(flat) { open_.push_back({nullptr, &top_}); }
  std::size_t skeleton_tags = 0;  // HTML, HEAD and BODY elements placed
  ~tree_builder() {
    release_list(cursor_);
    release_list(top_);
  }
  html_element* run();

private:
  html_element* take();
  void append(html_element* n);
  bool closes_innermost(const html_elt_tag* start) const;
  std::size_t& open_count(const html_elt_def* def);
  void open(html_elt_tag* t);
  void close_innermost();
  void take_directive_comments(html_elt_tag* empty_elt);

  html_element* cursor_;
  html_element* top_ = nullptr;
  std::vector<open_element> open_;
  bool is_skeleton(const html_elt_def* def) const { return def == html_ || def == head_ || def == body_; }

  const html_elt_def* html_ = find_tag_def("HTML");
  const html_elt_def* head_ = find_tag_def("HEAD");
  const html_elt_def* body_ = find_tag_def("BODY");
  std::array<std::size_t, tag_table_size> row_counts_{};
  std::unordered_map<const html_elt_def*, std::size_t> dynamic_counts_;
};

// Unlinks the node at the cursor from the flat list.
html_element* tree_builder::take() {
  html_element* n = cursor_;
  cursor_ = n->next;
  n->next = nullptr;
  return n;
}

void tree_builder::append(html_element* n) {
  open_element& in = open_.back();
  *in.tail = n;
  in.tail = &n->next;
}

// True when the innermost open element has a content mask that excludes the start tag.
bool tree_builder::closes_innermost(const html_elt_tag* start) const {
  const html_elt_tag* inner = open_.back().tag;
  if (!inner)
    return false;
  std::uint32_t content = inner->def->content;
  return content && !(content & start->def->flags);
}

// How many elements of this definition are open, so that an end tag finds out in one step
// whether it closes something.
std::size_t& tree_builder::open_count(const html_elt_def* def) {
  if (def->flags & html_elt_def::DYNAMIC)
    return dynamic_counts_[def];
  return row_counts_[static_cast<std::size_t>(def - tag_def_by_index(0))];
}

void tree_builder::open(html_elt_tag* t) {
  open_.push_back({t, &t->children});
  ++open_count(t->def);
}

// Ends the innermost element. An end tag of its own at the cursor closes it explicitly: the
// element notes that (and a line break after the end tag) and the end tag node goes.
void tree_builder::close_innermost() {
  html_elt_tag* e = open_.back().tag;
  open_.pop_back();
  --open_count(e->def);
  if (!cursor_ || cursor_->kind != html_kind::etag || static_cast<html_elt_etag*>(cursor_)->def != e->def)
    return;
  html_element* end_tag = take();
  e->flags |= html_object::HAS_END_TAG;
  if (end_tag->flags & html_object::NL_AFTER)
    e->flags |= html_object::NL_AFTER_END;
  release_list(end_tag);
}

// Moves the element-definition comments right after an empty element (an image, an input)
// into it, so that the definition stays with its element.
void tree_builder::take_directive_comments(html_elt_tag* empty_elt) {
  html_element** tail = &empty_elt->children;
  while (cursor_ && cursor_->kind == html_kind::comment &&
         std::strncmp(static_cast<html_elt_comment*>(cursor_)->text.c_str(), "$VX ELT", 7) == 0) {
    html_element* c = take();
    *tail = c;
    tail = &c->next;
  }
}

html_element* tree_builder::run() {
  while (cursor_) {
    html_element* n = cursor_;
    if (n->kind == html_kind::tag) {
      auto* t = static_cast<html_elt_tag*>(n);
      if (closes_innermost(t)) {
        close_innermost();
        continue;
      }
      append(take());
      skeleton_tags += is_skeleton(t->def);
      if (t->def->flags & html_elt_def::EMPTY)
        take_directive_comments(t);
      else
        open(t);
      continue;
    }
    if (n->kind == html_kind::etag && open_count(static_cast<html_elt_etag*>(n)->def) > 0) {
      close_innermost();
      continue;
    }
    append(take());
  }
  while (open_.size() > 1)
    close_innermost();
  return std::exchange(top_, nullptr);
}

}  // namespace

html_element* build_html_tree(html_element* flat, std::size_t* skeleton_tags) {
  tree_builder b(flat);
  html_element* top = b.run();
  if (skeleton_tags)
    *skeleton_tags = b.skeleton_tags;
  return top;
}

}  // namespace quillet
