// Finding, reading and setting attributes in a tag's attribute list.
#include "doc/html_attr_ops.h"

#include <string>

namespace quillet {

static bool is_attr_named(const html_element* n, std::string_view name) {
  return n->kind == html_kind::attr && static_cast<const html_attr*>(n)->name.view() == name;
}

html_attr* find_attr(html_element* list, std::string_view name) {
  for (html_element* n = list; n; n = n->next)
    if (is_attr_named(n, name))
      return static_cast<html_attr*>(n);
  return nullptr;
}

const char* get_attr(html_element* list, std::string_view name) {
  html_attr* a = find_attr(list, name);
  return a ? a->value.c_str() : nullptr;
}

// Unlinks and releases every attribute named `name` that follows `kept` in the list.
static void remove_later_attrs(html_attr* kept, std::string_view name) {
  html_element** link = &kept->next;
  while (*link) {
    html_element* n = *link;
    if (!is_attr_named(n, name)) {
      link = &n->next;
      continue;
    }
    *link = n->next;
    n->next = nullptr;
    release_list(n);
  }
}

void set_attr(html_element*& list, std::string_view name, std::optional<std::string_view> value) {
  html_attr* a = find_attr(list, name);
  if (!a) {
    append_node(list, new html_attr(name, value));
    return;
  }
  if (value)
    a->value.assign(*value);
  else
    a->value.reset();
  remove_later_attrs(a, name);
}

void set_attr(html_element*& list, std::string_view name, const char* value) {
  set_attr(list, name, value ? std::optional<std::string_view>(value) : std::nullopt);
}

void set_attr_int(html_element*& list, std::string_view name, int n) {
  set_attr(list, name, std::optional<std::string_view>(std::to_string(n)));
}

}  // namespace quillet
