// The whole trend picture: background, legend, grid, frames, axis labels and titles, then the
// curves clipped to the plot box and the discrete curves clipped to their lanes.
#include "platform/trend/trend_draw.h"

#include <algorithm>
#include <cmath>

#include "platform/trend/trend_curves.h"
#include "platform/trend/trend_layout.h"
#include "platform/trend/trend_pen.h"

namespace quillet::trend {

namespace {

constexpr double title_pen_length = 12;

// The centre of the pixel a coordinate falls in, so one-pixel lines cover exactly one row or column.
double centre(double at) { return std::floor(at) + 0.5; }

// The boxes that share the time axis: the plot and the lanes under it.
std::vector<plot_box> time_boxes(const trend_layout& layout) {
  std::vector<plot_box> boxes{layout.plot};
  boxes.insert(boxes.end(), layout.lanes.begin(), layout.lanes.end());
  return boxes;
}

// The grid's inner lines; the outer ones are the frames. Time lines cross the plot and every
// lane, value lines only the plot.
void draw_grid(cairo_t* cr, const trend_layout& layout, const trend_settings& s) {
  if (!line_visible(s.grid_style))
    return;
  const plot_box& p = layout.plot;
  set_pen(cr, s.grid_color, s.grid_style, 1);
  for (const plot_box& box : time_boxes(layout))
    for (const axis_mark& m : layout.time_marks) {
      if (m.at < box.left + 1 || m.at >= box.right)
        continue;
      cairo_move_to(cr, centre(m.at), box.top + 0.5);
      cairo_line_to(cr, centre(m.at), box.bottom + 0.5);
    }
  for (const axis_mark& m : layout.value_marks) {
    if (m.at < p.top + 1 || m.at >= p.bottom)
      continue;
    cairo_move_to(cr, p.left + 0.5, centre(m.at));
    cairo_line_to(cr, p.right + 0.5, centre(m.at));
  }
  cairo_stroke(cr);
}

// The frames of the plot and the lanes, and the ticks of the axis marks outside them.
void draw_frame(cairo_t* cr, const trend_layout& layout, std::uint32_t colour) {
  const plot_box& p = layout.plot;
  set_pen(cr, colour, 0, 1);
  for (const plot_box& box : time_boxes(layout))
    cairo_rectangle(cr, box.left + 0.5, box.top + 0.5, box.width(), box.height());
  if (layout.labels) {
    const int base = time_boxes(layout).back().bottom;
    for (const axis_mark& m : layout.time_marks) {
      cairo_move_to(cr, centre(m.at), base + 1);
      cairo_line_to(cr, centre(m.at), base + 4);
    }
    for (const axis_mark& m : layout.value_marks) {
      cairo_move_to(cr, p.left, centre(m.at));
      cairo_line_to(cr, p.left - 3, centre(m.at));
    }
    // Right-hand ticks point inwards, so that a tick before "0" never reads as a minus sign.
    for (const axis_mark& m : layout.right_marks) {
      cairo_move_to(cr, p.right, centre(m.at));
      cairo_line_to(cr, p.right - 4, centre(m.at));
    }
  }
  cairo_stroke(cr);
}

double advance_of(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

// Shows a text centred on x, kept inside the picture's width.
void show_centred(cairo_t* cr, const std::string& text, double x, double baseline, int width) {
  const double w = advance_of(cr, text);
  const double left = std::clamp(std::round(x - w / 2), 1.0, std::max(1.0, width - 1 - w));
  cairo_move_to(cr, left, baseline);
  cairo_show_text(cr, text.c_str());
}

// Time labels centred under their marks with their dates on the line below; value labels
// right-aligned beside the left axis and left-aligned beside the right one.
void draw_labels(cairo_t* cr, const trend_layout& layout, std::uint32_t colour, int width) {
  const plot_box& p = layout.plot;
  set_colour(cr, colour);
  const double first = time_boxes(layout).back().bottom + 6 + std::round(layout.ascent);
  const double second = first + std::ceil(layout.line);
  for (const axis_mark& m : layout.time_marks) {
    if (!m.label.empty())
      show_centred(cr, m.label, m.at, first, width);
    if (!m.date.empty())
      show_centred(cr, m.date, m.at, second, width);
  }
  for (const axis_mark& m : layout.value_marks) {
    if (m.label.empty())
      continue;
    cairo_move_to(cr, std::round(p.left - 6 - advance_of(cr, m.label)), std::round(m.at + layout.digit_height / 2));
    cairo_show_text(cr, m.label.c_str());
  }
  for (const axis_mark& m : layout.right_marks) {
    if (m.label.empty())
      continue;
    cairo_move_to(cr, p.right + 5, std::round(m.at + layout.digit_height / 2));
    cairo_show_text(cr, m.label.c_str());
  }
}

// An axis title: the pens of its curves, then the units; drawn from x to the right.
double title_width(cairo_t* cr, const axis_title& title) {
  return static_cast<double>(title.pens.size()) * (title_pen_length + 3) + advance_of(cr, title.text);
}

void draw_title(cairo_t* cr, const axis_title& title, double x, double baseline, double mid, std::uint32_t ink) {
  for (const legend_pen& pen : title.pens) {
    draw_pen_sample(cr, pen, x, mid, title_pen_length);
    x += title_pen_length + 3;
  }
  set_colour(cr, ink);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, title.text.c_str());
}

// The left title starts over the left axis labels, the right one ends over the right labels.
void draw_titles(cairo_t* cr, const trend_layout& layout, std::uint32_t ink, int width) {
  if (layout.left_title.text.empty() && layout.right_title.text.empty())
    return;
  const double mid = layout.title_baseline - layout.digit_height / 2;
  if (!layout.left_title.text.empty())
    draw_title(cr, layout.left_title, 2, layout.title_baseline, mid, ink);
  if (!layout.right_title.text.empty())
    draw_title(cr, layout.right_title, std::round(width - 2 - title_width(cr, layout.right_title)),
               layout.title_baseline, mid, ink);
}

// Discrete samples as 0 (off: zero or no value) and 1 (on: any other value).
std::vector<trend_sample> on_off(const std::vector<trend_sample>& samples) {
  std::vector<trend_sample> out;
  out.reserve(samples.size());
  for (const trend_sample& s : samples)
    out.push_back({s.t, s.v != 0 && !std::isnan(s.v) ? 1.0f : 0.0f});
  return out;
}

// A discrete curve in its lane: a step line between off at the bottom and on at the top, the
// time it is on shaded in its colour.
void draw_lane(cairo_t* cr, const plot_box& lane, const trend_curve& curve, const std::vector<trend_sample>& samples,
               double span) {
  const plot_box inner{lane.left, lane.top + 2, lane.right, lane.bottom - 2};
  const curve_path path = curve_points(on_off(samples), inner, {0, 1}, span);
  if (path.points.empty())
    return;
  cairo_save(cr);
  cairo_rectangle(cr, lane.left + 1, lane.top + 1, lane.width() - 1, lane.height() - 1);
  cairo_clip(cr);
  set_colour(cr, curve.color);
  add_step_area(cr, path, inner.bottom + 0.5);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_paint_with_alpha(cr, 0.25);
  cairo_restore(cr);
  trend_curve steps = curve;
  steps.flags |= curve_flag_discrete;
  stroke_curve(cr, steps, path);
  cairo_restore(cr);
}

void draw_curves(cairo_t* cr, const trend_layout& layout, const trend_view& view, const chart_scales& scales) {
  const plot_box& p = layout.plot;
  const std::size_t count = std::min(view.curves.size(), view.history.curves.size());
  cairo_save(cr);
  cairo_rectangle(cr, p.left, p.top, p.width() + 1, p.height() + 1);
  cairo_clip(cr);
  for (std::size_t i = 0; i < count; ++i) {
    const trend_curve& curve = view.curves[i];
    if (scales.scale_of_curve[i] < 0 && !layout.lanes.empty())
      continue;
    const curve_path path = curve_points(view.history.curves[i], p, scale_of(curve), view.window.span);
    stroke_curve(cr, curve, path);
  }
  cairo_restore(cr);
  for (std::size_t k = 0; k < layout.lanes.size() && k < scales.lanes.size(); ++k) {
    const std::size_t i = scales.lanes[k];
    if (i < count)
      draw_lane(cr, layout.lanes[k], view.curves[i], view.history.curves[i], view.window.span);
  }
}

}  // namespace

void draw_trend(cairo_t* cr, const gdi::gdi_rect& area, const trend_view& view) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (!cr || width <= 0 || height <= 0)
    return;
  const trend_settings& s = view.settings;
  const chart_scales scales = group_scales(view.curves);
  const std::uint32_t ink = text_colour_on(s.bg_color);
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, width, height);
  cairo_clip(cr);
  cairo_translate(cr, area.left, area.top);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  set_colour(cr, s.bg_color);
  cairo_paint(cr);
  use_label_font(cr, s.font);
  const trend_layout layout =
      lay_out_trend(cr, width, height, s, {view.curves, view.legend, scales, view.window});
  draw_grid(cr, layout, s);
  draw_frame(cr, layout, ink);
  if (layout.labels) {
    draw_labels(cr, layout, ink, width);
    draw_titles(cr, layout, ink, width);
    draw_legend(cr, layout.legend, ink);
  }
  draw_curves(cr, layout, view, scales);
  cairo_restore(cr);
}

}  // namespace quillet::trend
