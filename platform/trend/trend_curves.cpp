// Curve points, their per-column reduction, and the stroke and marks of one curve.
#include "platform/trend/trend_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/trend/trend_pen.h"

namespace quillet::trend {

namespace {

constexpr double no_value = std::numeric_limits<double>::quiet_NaN();
constexpr int max_line_width = 16;

// Maps samples to pixels: the window's start on the centre of the left frame column, the
// scale's bottom on the centre of the bottom frame row.
struct pixel_map {
  double left, bottom, x_scale, y_scale, min, low_y, high_y;

  pixel_map(const plot_box& plot, const value_scale& scale, double span)
      : left(plot.left + 0.5),
        bottom(plot.bottom + 0.5),
        x_scale(plot.width() / span),
        y_scale(plot.height() / (scale.max - scale.min)),
        min(scale.min),
        low_y(plot.top - 3.0 * plot.height() - 16),
        high_y(plot.bottom + 3.0 * plot.height() + 16) {}

  // Points sit on pixel centres, so level stretches cover whole rows.
  curve_point operator()(const trend_sample& s) const {
    const double x = std::floor(left + s.t * x_scale) + 0.5;
    if (std::isnan(s.v))
      return {x, no_value};
    return {x, std::floor(std::clamp(bottom - (s.v - min) * y_scale, low_y, high_y)) + 0.5};
  }
};

// The points of one pixel column seen so far, with the order in which the extremes came.
struct column {
  long index = -1;
  curve_point first, low, high, last;
  std::size_t low_at = 0, high_at = 0, count = 0;

  void start(long at, const curve_point& p) {
    index = at;
    first = low = high = last = p;
    low_at = high_at = 0;
    count = 1;
  }
  void add(const curve_point& p) {
    if (p.y > low.y) {
      low = p;
      low_at = count;
    }
    if (p.y < high.y) {
      high = p;
      high_at = count;
    }
    last = p;
    ++count;
  }
};

void push_distinct(std::vector<curve_point>& out, const curve_point& p) {
  if (!out.empty() && out.back().x == p.x && out.back().y == p.y)
    return;
  out.push_back(p);
}

// Emits a column's first point, its extremes in the order they came and its last point.
void flush(const column& c, std::vector<curve_point>& out) {
  if (c.index < 0)
    return;
  push_distinct(out, c.first);
  const bool low_first = c.low_at <= c.high_at;
  push_distinct(out, low_first ? c.low : c.high);
  push_distinct(out, low_first ? c.high : c.low);
  push_distinct(out, c.last);
}

curve_path reduce_per_column(const std::vector<trend_sample>& samples, const pixel_map& map) {
  curve_path path;
  path.reduced = true;
  column c;
  for (const trend_sample& s : samples) {
    const curve_point p = map(s);
    if (std::isnan(p.y)) {
      flush(c, path.points);
      c.index = -1;
      if (!path.points.empty() && !std::isnan(path.points.back().y))
        path.points.push_back(p);
      continue;
    }
    const long at = static_cast<long>(std::floor(p.x));
    if (at != c.index) {
      flush(c, path.points);
      c.start(at, p);
      continue;
    }
    c.add(p);
  }
  flush(c, path.points);
  return path;
}

double line_width_of(const trend_curve& curve) { return std::clamp<int>(curve.line_width, 1, max_line_width); }

void add_line(cairo_t* cr, const curve_path& path, bool steps) {
  bool pen_down = false;
  curve_point previous;
  for (const curve_point& p : path.points) {
    if (std::isnan(p.y)) {
      pen_down = false;
      continue;
    }
    if (!pen_down)
      cairo_move_to(cr, p.x, p.y);
    else if (steps)
      cairo_line_to(cr, p.x, previous.y);
    if (pen_down)
      cairo_line_to(cr, p.x, p.y);
    pen_down = true;
    previous = p;
  }
}

// Adds one mark's outline: 1 square, 2 circle, 3 triangle, 4 diamond (filled), 5 cross and
// 6 plus (stroked); higher numbers repeat the six shapes.
void add_mark(cairo_t* cr, int shape, const curve_point& p, double r) {
  switch (shape) {
    case 0: cairo_rectangle(cr, p.x - r, p.y - r, 2 * r, 2 * r); return;
    case 1: cairo_new_sub_path(cr); cairo_arc(cr, p.x, p.y, r, 0, 2 * M_PI); return;
    case 2:
      cairo_move_to(cr, p.x, p.y - r);
      cairo_line_to(cr, p.x + r, p.y + r);
      cairo_line_to(cr, p.x - r, p.y + r);
      cairo_close_path(cr);
      return;
    case 3:
      cairo_move_to(cr, p.x, p.y - r);
      cairo_line_to(cr, p.x + r, p.y);
      cairo_line_to(cr, p.x, p.y + r);
      cairo_line_to(cr, p.x - r, p.y);
      cairo_close_path(cr);
      return;
    case 4:
      cairo_move_to(cr, p.x - r, p.y - r);
      cairo_line_to(cr, p.x + r, p.y + r);
      cairo_move_to(cr, p.x + r, p.y - r);
      cairo_line_to(cr, p.x - r, p.y + r);
      return;
    default:
      cairo_move_to(cr, p.x - r, p.y);
      cairo_line_to(cr, p.x + r, p.y);
      cairo_move_to(cr, p.x, p.y - r);
      cairo_line_to(cr, p.x, p.y + r);
      return;
  }
}

// Marks the samples that stand at least a mark's width apart from the last mark drawn, all
// in one path filled or stroked once.
void draw_marks(cairo_t* cr, const trend_curve& curve, const curve_path& path) {
  const int shape = (curve.mark - 1) % 6;
  const double r = 2 + line_width_of(curve) / 2;
  const double gap = 2 * r + 2;
  curve_point last{-1e300, -1e300};
  for (const curve_point& p : path.points) {
    if (std::isnan(p.y) || std::hypot(p.x - last.x, p.y - last.y) < gap)
      continue;
    add_mark(cr, shape, p, r);
    last = p;
  }
  set_pen(cr, curve.color, 0, 1);
  if (shape >= 4) {
    cairo_stroke(cr);
    return;
  }
  cairo_fill(cr);
}

}  // namespace

bool drawn_as_steps(const trend_curve& curve) {
  return (curve.flags & (curve_flag_discrete | curve_flag_no_interpolation)) != 0;
}

curve_path curve_points(const std::vector<trend_sample>& samples, const plot_box& plot, const value_scale& scale,
                        double span) {
  if (samples.empty() || plot.width() <= 0 || !(span > 0))
    return {};
  const pixel_map map(plot, scale, span);
  if (samples.size() > 2 * static_cast<std::size_t>(plot.width()))
    return reduce_per_column(samples, map);
  curve_path path;
  path.points.reserve(samples.size());
  for (const trend_sample& s : samples)
    path.points.push_back(map(s));
  return path;
}

void add_step_area(cairo_t* cr, const curve_path& path, double base) {
  double previous = base;
  bool started = false;
  for (const curve_point& p : path.points) {
    const double y = std::isnan(p.y) ? base : p.y;
    if (!started) {
      cairo_move_to(cr, p.x, base);
      started = true;
    }
    cairo_line_to(cr, p.x, previous);
    cairo_line_to(cr, p.x, y);
    previous = y;
  }
  if (!started)
    return;
  cairo_line_to(cr, path.points.back().x, base);
  cairo_close_path(cr);
}

// A reduced curve is stroked without antialiasing: its columns are vertical runs on pixel
// centres that antialiasing would not change, and scan-converting thousands of overlapping
// antialiased edges would cost more than the rest of the picture.
void stroke_curve(cairo_t* cr, const trend_curve& curve, const curve_path& path) {
  if (line_visible(curve.line_type)) {
    set_pen(cr, curve.color, curve.line_type, line_width_of(curve));
    add_line(cr, path, drawn_as_steps(curve));
    const cairo_antialias_t antialias = cairo_get_antialias(cr);
    if (path.reduced)
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_stroke(cr);
    cairo_set_antialias(cr, antialias);
  }
  if (curve.mark != 0 && !path.reduced)
    draw_marks(cr, curve, path);
}

}  // namespace quillet::trend
