// Replacing the qualifying tags of a template by dynamic elements.
#include <string>
#include <vector>

#include "report/htdoc_processor.h"
#include "report/html_dyn_elt.h"

namespace quillet {

namespace {

enum class dyn_class { none, generic, tr, td, li, ocx };

// The class that replaces a tag whether or not it has a directive; `none` for other tags.
dyn_class class_of(std::string_view tag) {
  if (tag == "LI" || tag == "DT")
    return dyn_class::li;
  if (tag == "TR")
    return dyn_class::tr;
  if (tag == "TD" || tag == "TH")
    return dyn_class::td;
  if (tag == "OBJECT")
    return dyn_class::ocx;
  return dyn_class::none;
}

html_dyn_elt* make_element(dyn_class kind, const html_elt_def* def) {
  switch (kind) {
    case dyn_class::tr:
      return new html_dyn_elt_tr(def);
    case dyn_class::td:
      return new html_dyn_elt_td(def);
    case dyn_class::li:
      return new html_dyn_elt_li(def);
    case dyn_class::ocx:
      return new html_dyn_elt_ocx(def);
    default:
      return new html_dyn_elt_generic(def);
  }
}

// Says once that elements below the nesting bound stay as they are. Kept out of convert, which
// runs once per nesting level on the way down: its message would widen every one of those frames.
[[gnu::noinline]] void report_nesting_too_deep(htdoc_processor& processor, const html_elt_tag& tag) {
  const std::string message = "nesting too deep: dynamic elements below " +
                              std::to_string(htdoc_processor::max_dynamic_nesting) +
                              " levels are written as they are\n";
  processor.diagnostics().report({message, nullptr, -1, tag.source_offset});
}

// Replaces the tag at *link by a dynamic element holding its content and properties, or
// returns null when the tag does not qualify (or is nested too deep to be made dynamic).
html_dyn_elt* convert(htdoc_processor& processor, html_element** link, html_elt_tag* tag, html_elt_tag* parent,
                      const txl_prop_list* params) {
  dyn_class kind = class_of(tag->name());
  if (processor.dynamic_nesting >= htdoc_processor::max_dynamic_nesting) {
    if (!processor.nesting_reported)
      report_nesting_too_deep(processor, *tag);
    processor.nesting_reported = true;
    return nullptr;
  }
  txl_prop_list props;
  bool read = read_directive_list(tag->children, directive_elt, props, mode_compile, params);
  if (!read && kind == dyn_class::none)
    return nullptr;
  html_dyn_elt* element = make_element(kind == dyn_class::none ? dyn_class::generic : kind, tag->def);
  element->flags = tag->flags;
  element->source_offset = tag->source_offset;
  element->attrs = std::exchange(tag->attrs, nullptr);
  element->children = std::exchange(tag->children, nullptr);
  element->props = std::move(props);
  for (auto& prop : element->props)
    processor.bind_calls(*prop);
  element->next = std::exchange(tag->next, nullptr);
  *link = element;
  tag->release();
  processor.add_dyn_element(element);
  ++processor.dynamic_nesting;
  element->init(processor, parent, params);
  --processor.dynamic_nesting;
  return element;
}

struct pending_list {
  html_element** link;
  html_elt_tag* parent;
};

}  // namespace

// Depth first in document order; plain tags are descended with an explicit stack.
void build_dynamic(htdoc_processor& processor, html_element*& list, html_elt_tag* parent,
                   const txl_prop_list* params) {
  std::vector<pending_list> pending;
  html_element** link = &list;
  for (;;) {
    while (!*link) {
      if (pending.empty())
        return;
      link = pending.back().link;
      parent = pending.back().parent;
      pending.pop_back();
    }
    html_element* node = *link;
    if (node->kind != html_kind::tag) {
      link = &node->next;
      continue;
    }
    auto* tag = static_cast<html_elt_tag*>(node);
    if (html_dyn_elt* element = convert(processor, link, tag, parent, params)) {
      link = &element->next;
      continue;
    }
    pending.push_back({&tag->next, parent});
    link = &tag->children;
    parent = tag;
  }
}

}  // namespace quillet
