// Layout of a trend picture: the label font, the plot box inside the picture, and the marks of
// the time and value axes with their label texts. Pure computation apart from measuring text.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "platform/gdi/drawing_surface.h"
#include "platform/trend/trend_font.h"
#include "platform/trend/trend_history.h"
#include "platform/trend/trend_interfaces.h"

namespace quillet::trend {

// The scale a curve is drawn against; MAXVAL not above MINVAL (or either not a number)
// gives 0 to 100.
struct value_scale {
  double min = 0;
  double max = 100;
};
value_scale scale_of(const trend_curve& curve);

// The plot box in pixels: the frame lines lie on the columns `left` and `right` and the rows
// `top` and `bottom`; the window's start maps to `left`, its end to `right`.
struct plot_box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// One mark of an axis: its pixel position along the axis and its label (empty when the label
// would collide with the one before).
struct axis_mark {
  double at = 0;
  std::string label;
};

struct trend_layout {
  plot_box plot;
  std::vector<axis_mark> time_marks;   // from the window's start to its end, left to right
  std::vector<axis_mark> value_marks;  // from the scale's bottom to its top
  bool labels = true;                  // false when the picture is too small for text
  double ascent = 0;                   // of the label font, for placing text
  double digit_height = 0;             // height of a digit above the baseline
};

// The time-label format for a window and its marks: a fixed unit when TUNITS is 0 to 3,
// otherwise chosen from the span and the marks' spacing.
const char* time_label_format(std::int16_t tunits, const trend_window& window, int divisions);

// The label of a value mark with the settings' digits.
std::string value_label(double value, const trend_settings& settings, const value_scale& scale, int divisions);

// Lays out a picture of the area's size (origin at 0, 0) with the label font already selected.
trend_layout lay_out_trend(cairo_t* cr, int width, int height, const trend_settings& settings,
                           const value_scale& scale, const trend_window& window);

}  // namespace quillet::trend
