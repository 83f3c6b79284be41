// Tag definitions: the name, category and content mask of an element kind, the static table
// of the 93 known tags, and its lookups. Table rows live for the whole process; definitions of
// unknown names are counted objects (html_elt_def_dynamic in doc/html_node.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

struct html_elt_def {
  // Definition flag bits.
  static constexpr std::uint32_t EMPTY = 0x1;         // no content, no end tag
  static constexpr std::uint32_t RAW_TEXT = 0x8;      // content is raw text up to the end tag
  static constexpr std::uint32_t INLINE = 0x10;       // category: inline element
  static constexpr std::uint32_t BLOCK = 0x20;        // category: block element
  static constexpr std::uint32_t HEAD_CONTENT = 0x40; // belongs in the document head
  static constexpr std::uint32_t COLUMN = 0x100;      // category: table column
  static constexpr std::uint32_t ROW = 0x200;         // category: table row
  static constexpr std::uint32_t CELL = 0x400;        // category: table cell
  static constexpr std::uint32_t DYNAMIC = 0x10000;   // an html_elt_def_dynamic, counted

  std::string_view name;  // upper case; its data() is NUL-terminated
  std::uint32_t flags = 0;
  // Categories of start tags the element may contain; 0 accepts any start tag.
  std::uint32_t content = 0;
};

inline constexpr std::size_t tag_table_size = 93;

// The row named exactly `name` (already upper case); null when absent.
const html_elt_def* find_tag_def(std::string_view name);
// As find_tag_def after upper-casing ASCII a-z; a name with a byte of 0x80 or above is not found.
const html_elt_def* find_tag_def_nocase(std::string_view name);
// The same for names that come from the editing surface; code units of 128 and above: not found.
const html_elt_def* find_tag_def_nocase(std::u16string_view name);
// Row i of the sorted table (META is row 57); null outside 0..92.
const html_elt_def* tag_def_by_index(std::size_t i);

}  // namespace quillet
