// Readers and writers of the style values that matter for layout: HTML colours, CSS lengths
// with units, and the CSS font shorthand, into the colour and font records of the drawing
// stand-in. All are pure functions over 8-bit text except that pixels and font sizes go
// through the screen resolution. Callers own every output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/gdi/color_record.h"
#include "platform/gdi/font_record.h"

namespace quillet {

// One row of the colour-name table: upper-case name and its "#RRGGBB" text.
struct color_name_row {
  const char* name;
  const char* rgb;
};

// The 140 colour names in the order they are searched.
std::span<const color_name_row> color_names();

// Reads "#RGB", "#RRGGBB" (longer hex runs keep the first six digits) or a colour name, case
// ignored. `out` may be null to test only; it is left alone when the text is no colour.
bool parse_color(std::string_view text, colorref* out);
// "#RRGGBB" in upper-case hexadecimal.
std::string format_color(colorref c);

// Unit indexes of parse_length: 0 px, 1 em, 2 ex, 3 mm, 4 cm, 5 in, 6 pt, 7 pc, 8 any other
// text after the number, -1 nothing after the number.
enum length_unit : int {
  unit_none = -1,
  unit_px = 0,
  unit_em,
  unit_ex,
  unit_mm,
  unit_cm,
  unit_in,
  unit_pt,
  unit_pc,
  unit_other,
};

// Reads a number and the unit after it. Each output may be null; `consumed` counts the
// characters of the number. Without a number the call fails when `value` is asked for; when
// only the unit is asked for, the unit is read from the start of the text.
bool parse_length(std::string_view text, double* value, int* unit, std::size_t* consumed);
// The unit text of indexes 0 to 7; the empty text for any other index.
std::string_view unit_name(int unit);
// Converts between the absolute units and pixels; em, ex and unknown units fail unless both
// units are the same. `out` may be null to test only.
bool convert_length(double value, int from_unit, int to_unit, double* out);

// Vertical pixels per inch of the screen; 96 unless set. Non-positive values are ignored.
double screen_resolution();
void set_screen_resolution(double pixels_per_inch);

// Reads "[italic] [bold|WEIGHT] SIZE FACE". On failure `font` is left unchanged.
bool parse_font(std::string_view text, logfont& font);
// Writes the record back in the shorthand parse_font reads; false without a size or face.
bool format_font(const logfont& font, std::string& out);

}  // namespace quillet
