// Layout of a trend picture: the legend band at the top, the axis titles, the plot box with
// a value axis on the left and, for a second scale, one on the right, a lane under the plot
// for each discrete curve, and the time axis at the bottom. Pure computation apart from
// measuring text.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "platform/gdi/drawing_surface.h"
#include "platform/trend/trend_font.h"
#include "platform/trend/trend_history.h"
#include "platform/trend/trend_interfaces.h"
#include "platform/trend/trend_legend.h"
#include "platform/trend/trend_scales.h"

namespace quillet::trend {

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
// would collide with the one before); time marks may carry a date under the label.
struct axis_mark {
  double at = 0;
  std::string label;
  std::string date;
};

// The title of a value axis: the units of its curves and their pens.
struct axis_title {
  std::string text;
  std::vector<legend_pen> pens;
};

// What the layout is given besides the picture's size and settings.
struct layout_input {
  const std::vector<trend_curve>& curves;
  const std::vector<legend_entry>& legend;
  const chart_scales& scales;
  const trend_window& window;
};

struct trend_layout {
  plot_box plot;
  std::vector<plot_box> lanes;          // one per discrete curve, under the plot
  std::vector<axis_mark> time_marks;    // left to right
  std::vector<axis_mark> value_marks;   // of the first scale, from its bottom to its top
  std::vector<axis_mark> right_marks;   // of the second scale; empty without one
  axis_title left_title, right_title;   // drawn above the axes
  double title_baseline = 0;
  legend_layout legend;
  bool labels = true;                   // false when the picture is too small for text
  double ascent = 0;                    // of the label font, for placing text
  double line = 0;                      // height of a text line
  double digit_height = 0;              // height of a digit above the baseline
};

// The label of a value mark with the settings' digits.
std::string value_label(double value, const trend_settings& settings, const value_scale& scale, int divisions);

// Lays out a picture of the area's size (origin at 0, 0) with the label font already selected.
trend_layout lay_out_trend(cairo_t* cr, int width, int height, const trend_settings& settings,
                           const layout_input& input);

}  // namespace quillet::trend
