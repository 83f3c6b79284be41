// Colours and dash patterns of the trend picture's lines.
#include "platform/trend/trend_pen.h"

#include <iterator>

#include "platform/gdi/color_record.h"

namespace quillet::trend {

namespace {

struct dash_pattern {
  const double* dashes;
  int count;
};

// Dash lengths for a one-pixel line, in the order of the style numbers 1 to 4.
constexpr double dash[] = {6, 3};
constexpr double dot[] = {1, 2};
constexpr double dash_dot[] = {6, 3, 1, 3};
constexpr double dash_dot_dot[] = {6, 3, 1, 3, 1, 3};

dash_pattern pattern_of(int style) {
  switch (style) {
    case 1: return {dash, static_cast<int>(std::size(dash))};
    case 2: return {dot, static_cast<int>(std::size(dot))};
    case 3: return {dash_dot, static_cast<int>(std::size(dash_dot))};
    case 4: return {dash_dot_dot, static_cast<int>(std::size(dash_dot_dot))};
    default: return {nullptr, 0};
  }
}

}  // namespace

void set_colour(cairo_t* cr, std::uint32_t bgr) {
  cairo_set_source_rgb(cr, color_red(bgr) / 255.0, color_green(bgr) / 255.0, color_blue(bgr) / 255.0);
}

// Lines start on pixel centres, so the pattern starts half a pixel in: the dashes of a grid
// line then cover whole pixels.
void set_pen(cairo_t* cr, std::uint32_t bgr, int style, double width) {
  set_colour(cr, bgr);
  cairo_set_line_width(cr, width);
  const dash_pattern p = pattern_of(style);
  if (p.count == 0) {
    cairo_set_dash(cr, nullptr, 0, 0);
    return;
  }
  double scaled[6];
  double total = 0;
  for (int i = 0; i < p.count; ++i)
    total += scaled[i] = p.dashes[i] * width;
  cairo_set_dash(cr, scaled, p.count, total - 0.5);
}

// Perceived brightness with the usual weights of red, green and blue.
std::uint32_t text_colour_on(std::uint32_t background_bgr) {
  const unsigned r = color_red(background_bgr);
  const unsigned g = color_green(background_bgr);
  const unsigned b = color_blue(background_bgr);
  return 299 * r + 587 * g + 114 * b >= 128000 ? 0x000000 : 0xFFFFFF;
}

}  // namespace quillet::trend
