// Attributes written from views: the writer's way of printing an element's attributes with
// attributes computed while the element is written (a report's evaluated ATTR. and STYLE.
// properties), without making attribute nodes for them. The views must outlive the call.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillet {

class html_element;
class html_elt_tag;
class html_obj_printer;

struct html_attr_view {
  std::string_view name;
  std::optional<std::string_view> value;  // none: a bare attribute, or for an extra: remove
};

// Writes the attributes of `attr_list` (each after a space) with `extras` applied in order: an
// extra takes the place of the first attribute of its name (or removes it when it has no
// value) and removes the later ones; an extra that matched nothing is appended when it has a
// value. So a later extra of the same name wins.
void print_attributes_with(html_obj_printer& p, html_element* attr_list, std::span<const html_attr_view> extras);
// Writes one attribute with a value (or a bare one) after a space, quoted as the lists above
// are: for a writer that computes each attribute just before it is written.
void print_attribute_view(html_obj_printer& p, const html_attr_view& a);
// Writes a whole start tag whose one attribute is computed: `head` ("<", the tag's name, a
// space, the attribute's name and "="), the value quoted as print_attribute_view quotes it,
// ">" and a line break when asked, in one reservation of the printer's room unless long.
// `classes`, when not negative, are the value's byte classes by the printer's table, known to
// the caller; otherwise they are looked up.
void print_start_tag_with(html_obj_printer& p, std::string_view head, std::string_view value, bool line_break,
                          int classes = -1);
// Puts into `text` the start tag that html_elt_tag::print_own_start_tag writes for `tag`, for
// a writer that keeps it to write again: false, with `text` unspecified, for a tag that it
// does not write in one piece (see there).
bool own_start_tag_text(const html_obj_printer& p, const html_elt_tag& tag, std::string& text);

}  // namespace quillet
