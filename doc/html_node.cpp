// Life cycle of document nodes: construction, clearing and iterative release of lists.
#include "doc/html_node.h"

#include <utility>
#include <vector>

#include "doc/node_pool.h"

namespace quillet {

// A read makes hundreds of thousands of nodes, so the source offset must cost no memory: it
// fills the padding after the kind.
static_assert(sizeof(html_element) <= 4 * sizeof(void*), "html_element grew past four words");

void* html_object::operator new(std::size_t size) { return node_pool::allocate(size); }

void html_object::operator delete(void* p, std::size_t size) noexcept { node_pool::release(p, size); }

void html_object::clear() { flags = 0; }

void html_object::print(html_obj_printer&) {}

html_element::~html_element() {
  if (next)
    release_list(std::exchange(next, nullptr));
}

void html_element::clear() { html_object::clear(); }

html_elt_def_dynamic::html_elt_def_dynamic(std::string_view upper_name) : owned_name_(upper_name) {
  name = owned_name_;
  html_elt_def::flags = DYNAMIC;
  content = 0;
}

void retain_def(const html_elt_def* def) {
  if (def && (def->flags & html_elt_def::DYNAMIC))
    static_cast<const html_elt_def_dynamic*>(def)->add_ref();
}

void release_def(const html_elt_def* def) {
  if (def && (def->flags & html_elt_def::DYNAMIC))
    static_cast<const html_elt_def_dynamic*>(def)->release();
}

html_elt_tag::html_elt_tag(const html_elt_def* d) : html_element(html_kind::tag), def(d) { retain_def(d); }

html_elt_tag::~html_elt_tag() { html_elt_tag::clear(); }

void html_elt_tag::clear() {
  release_list(std::exchange(children, nullptr));
  release_list(std::exchange(attrs, nullptr));
  release_def(std::exchange(def, nullptr));
  html_element::clear();
}

html_elt_etag::html_elt_etag(const html_elt_def* d) : html_element(html_kind::etag), def(d) { retain_def(d); }

html_elt_etag::~html_elt_etag() { release_def(def); }

void html_elt_etag::clear() {
  release_def(std::exchange(def, nullptr));
  html_element::clear();
}

void html_elt_text::clear() {
  text.reset();
  html_element::clear();
}

html_attr::html_attr(std::string_view n, std::optional<std::string_view> v)
    : html_element(html_kind::attr), name(n) {
  if (v)
    value.assign(*v);
}

void html_attr::clear() {
  name.reset();
  value.reset();
  html_element::clear();
}

// Takes the owned lists out of a tag that is about to die, so that its destructor finds
// nothing left to free, and returns its attributes, which are freed next. Its children wait
// on the work list above the node that follows the tag, so that a tree goes in document
// order, the order its nodes lie in memory. Null for any other node.
static html_element* take_lists_of_dying_tag(html_element* node, html_element*& following,
                                             std::vector<html_element*>& work) {
  if (node->kind != html_kind::tag || node->ref_count() != 1)
    return nullptr;
  auto* tag = static_cast<html_elt_tag*>(node);
  html_element* attrs = std::exchange(tag->attrs, nullptr);
  html_element* children = std::exchange(tag->children, nullptr);
  if (!attrs && !children)
    return nullptr;
  if (following)
    work.push_back(std::exchange(following, nullptr));
  if (!attrs)
    return children;
  if (children)
    work.push_back(children);
  return attrs;
}

void release_list(html_element* head) {
  std::vector<html_element*> work;
  html_element* node = head;
  while (node || !work.empty()) {
    if (!node) {
      node = work.back();
      work.pop_back();
    }
    html_element* following = std::exchange(node->next, nullptr);
    html_element* inner = take_lists_of_dying_tag(node, following, work);
    node->release();
    node = inner ? inner : following;
  }
}

void append_node(html_element*& list, html_element* node) {
  html_element** link = &list;
  while (*link)
    link = &(*link)->next;
  *link = node;
}

}  // namespace quillet
