// Turning a curve's samples into pixel points and stroking them: dense curves are reduced to
// the first, lowest, highest and last point of each pixel column (the stroke looks the same),
// steps are drawn for discrete channels, and marks where samples stand apart.
#pragma once

#include <cairo.h>

#include <vector>

#include "platform/trend/trend_history.h"
#include "platform/trend/trend_layout.h"

namespace quillet::trend {

// A point of a curve in pixels; a point whose y is not a number breaks the line (a sample
// without a value).
struct curve_point {
  double x = 0;
  double y = 0;
};

// Whether a curve is drawn as steps: discrete channels and curves without interpolation.
bool drawn_as_steps(const trend_curve& curve);

// The points of a curve, and whether they were reduced per column (then they are no longer
// the samples themselves, and no marks are drawn).
struct curve_path {
  std::vector<curve_point> points;
  bool reduced = false;
};

// The curve's points in the plot box for a window of `span` seconds. Values outside the scale
// lie outside the box (the drawing clips them), held within a few box heights so that pixel
// coordinates stay small. More samples than two per pixel column are reduced per column.
curve_path curve_points(const std::vector<trend_sample>& samples, const plot_box& plot, const value_scale& scale,
                        double span);

// Adds the closed area between a step line through the points and the row `base`, for
// shading the time a discrete curve is on; a point without a value counts as the base.
void add_step_area(cairo_t* cr, const curve_path& path, double base);

// Strokes one curve in its colour, line type and width, with its marks; the caller clips.
void stroke_curve(cairo_t* cr, const trend_curve& curve, const curve_path& path);

}  // namespace quillet::trend
