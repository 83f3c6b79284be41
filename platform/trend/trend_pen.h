// Pens of the trend picture: colours given as 0xBBGGRR and the line styles shared by the grid
// and the curves (0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none).
#pragma once

#include <cairo.h>

#include <cstdint>

namespace quillet::trend {

inline constexpr int line_style_none = 5;

// Whether a line style draws anything; styles outside 0 to 5 draw solid lines.
inline bool line_visible(int style) { return style != line_style_none; }

// Sets the source colour from a 0xBBGGRR value (red in the low byte); the top byte is ignored.
void set_colour(cairo_t* cr, std::uint32_t bgr);

// Sets colour, width and dash pattern of a line; the dashes grow with the width so that thick
// dashed lines still read as dashed.
void set_pen(cairo_t* cr, std::uint32_t bgr, int style, double width);

// The colour text should have on a background: black on light colours, white on dark ones.
std::uint32_t text_colour_on(std::uint32_t background_bgr);

}  // namespace quillet::trend
