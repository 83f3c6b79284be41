// The element property catalogue: the fixed rows the element properties dialog lists for an
// element (template properties, HTML attributes, CSS style properties), in display order, and
// the six operations of each row over an element as the page describes it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::editor {

// An element of the edited document as the page hands it over: its tag, its attributes
// (without STYLE and VXDYNELT), its style properties, its inner HTML and the ELT properties
// of its dynamic definition, each list in document order.
struct catalogue_element {
  using pairs = std::vector<std::pair<std::string, std::string>>;
  std::string tag;     // upper case
  pairs attributes;    // names upper case
  pairs style;         // CSS property names lower case
  std::string inner_html;
  pairs definition;    // ELT property name, expression text
};

// How a row reads and writes its values.
enum class row_kind : std::uint8_t {
  group,      // a heading, no operations
  content,    // VALUE: the inner HTML
  font,       // edited by the font page through the font rows
  combined,   // colour and size: a style property backed by an attribute
  span,       // ROWSPAN, COLSPAN of cells
  repeat,     // dynamic only: COLS, ROWS, REPEAT
  attribute,  // an HTML attribute
  style,      // a CSS style property
};

struct catalogue_row {
  static constexpr std::uint32_t GROUP = 0x1, FONT_PAGE = 0x100, COLOR = 0x200, DYNAMIC_ONLY = 0x400;

  std::string_view name;  // attribute (upper case), CSS property (lower case) or template name
  std::string_view key;   // help key and identifier
  std::uint32_t flags;
  std::uint8_t level;
  std::string_view text;  // display text; empty: the name
  row_kind kind;
  // Attribute rows: the tags that carry the attribute, space separated; a leading "!" means
  // every known tag except those listed. Other rows: the tags they apply to, empty for all.
  std::string_view tags;

  std::string_view display_text() const { return text.empty() ? name : text; }
};

// The 206 rows in display order.
std::span<const catalogue_row> property_catalogue();
// The row with help key `key`; null when there is none.
const catalogue_row* find_catalogue_row(std::string_view key);

// Whether the row is shown for the element.
bool row_applies(const catalogue_row& row, const catalogue_element& e);
// The name of the row's property in the ELT directive; empty for groups and the font row.
std::string row_dynamic_name(const catalogue_row& row);
// The static value; false when the row has none for the element.
bool row_get_value(const catalogue_row& row, const catalogue_element& e, std::string& out);
// Writes the static value (an empty text removes the attribute or style property); false
// when the row has no static value.
bool row_set_value(const catalogue_row& row, catalogue_element& e, const std::string& text);
// The expression of the row's dynamic property; false when there is none.
bool row_get_expression(const catalogue_row& row, const catalogue_element& e, std::string& out);
// Stores the expression as the row's dynamic property (an empty text removes it); false when
// the row takes no expression.
bool row_set_expression(const catalogue_row& row, catalogue_element& e, const std::string& text);

// Style declarations "a: b; c: d" as pairs (names lower case) and back.
catalogue_element::pairs parse_style_text(std::string_view text);
std::string style_text(const catalogue_element::pairs& style);

}  // namespace quillet::editor
