// Operations on an attribute list (the `attrs` chain of a tag). Names are compared byte-wise
// and case-sensitively; nodes in the list that are not attributes are skipped and kept.
#pragma once

#include <optional>
#include <string_view>

#include "doc/html_node.h"

namespace quillet {

// The first attribute named `name`, or null.
html_attr* find_attr(html_element* list, std::string_view name);
// The value of that attribute; null when it is missing or has no value.
const char* get_attr(html_element* list, std::string_view name);
// Gives the first attribute of that name the value (appending a new attribute at the end of
// the list when there is none) and removes every later attribute of the same name. No value
// (nullopt) leaves the attribute without one.
void set_attr(html_element*& list, std::string_view name, std::optional<std::string_view> value);
// The same; a null pointer means no value.
void set_attr(html_element*& list, std::string_view name, const char* value);
// set_attr with the decimal text of n.
void set_attr_int(html_element*& list, std::string_view name, int n);

}  // namespace quillet
