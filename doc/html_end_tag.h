// A tag's end tag for a writer that assembles it with other bytes in the printer's room (a
// report cell's value text and the end tag after it, say), so that both cost one reservation.
// Inline, as the writer's per-cell work.
#pragma once

#include <cstddef>
#include <cstdint>

#include "doc/html_node.h"
#include "doc/html_printer.h"

namespace quillet {

// Normalized, every non-EMPTY element is closed, and a closing the source did not have is
// followed by a line break; otherwise only the end tags that were there are written. False
// when there is no end tag to write for a printer with these flags.
inline bool end_tag_wanted(const html_elt_tag& tag, std::uint32_t printer_flags, bool& line_break) {
  if (!tag.def)
    return false;
  bool normalize = printer_flags & html_obj_printer::NORMALIZE_END_TAGS;
  bool has_end = tag.flags & html_elt_tag::HAS_END_TAG;
  if (normalize ? (tag.def->flags & html_elt_def::EMPTY) != 0 : !has_end)
    return false;
  line_break = (tag.flags & html_elt_tag::NL_AFTER_END) || (normalize && !has_end);
  return true;
}

// The most bytes put_end_tag_at writes for the tag.
inline std::size_t end_tag_room(const html_elt_tag& tag) { return tag.def ? tag.def->name.size() + 5 : 0; }

// Puts at `o` the bytes html_elt_tag::print_end_tag writes for a printer with these flags
// (none, when the tag is not closed there); returns their end.
inline char* put_end_tag_at(const html_elt_tag& tag, std::uint32_t printer_flags, char* o) {
  bool line_break = false;
  if (!end_tag_wanted(tag, printer_flags, line_break))
    return o;
  *o++ = '<';
  *o++ = '/';
  o = copy_bytes(o, tag.def->name.data(), tag.def->name.size());
  *o++ = '>';
  if (line_break) {
    *o++ = '\r';
    *o++ = '\n';
  }
  return o;
}

}  // namespace quillet
