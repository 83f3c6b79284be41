// The whole trend picture: background, grid, frame, axis labels, then the curves clipped to
// the plot box. Lines are drawn without antialiasing so they stay crisp in a palette image.
#include "platform/trend/trend_draw.h"

#include <algorithm>
#include <cmath>

#include "platform/trend/trend_curves.h"
#include "platform/trend/trend_layout.h"
#include "platform/trend/trend_pen.h"

namespace quillet::trend {

namespace {

// The centre of the pixel a coordinate falls in, so one-pixel lines cover exactly one row or column.
double centre(double at) { return std::floor(at) + 0.5; }

// The grid's inner lines; the outer ones are the frame.
void draw_grid(cairo_t* cr, const trend_layout& layout, const trend_settings& s) {
  if (!line_visible(s.grid_style))
    return;
  const plot_box& p = layout.plot;
  set_pen(cr, s.grid_color, s.grid_style, 1);
  for (std::size_t i = 1; i + 1 < layout.time_marks.size(); ++i) {
    cairo_move_to(cr, centre(layout.time_marks[i].at), p.top + 0.5);
    cairo_line_to(cr, centre(layout.time_marks[i].at), p.bottom + 0.5);
  }
  for (std::size_t i = 1; i + 1 < layout.value_marks.size(); ++i) {
    cairo_move_to(cr, p.left + 0.5, centre(layout.value_marks[i].at));
    cairo_line_to(cr, p.right + 0.5, centre(layout.value_marks[i].at));
  }
  cairo_stroke(cr);
}

// The frame around the plot and the ticks of the axis marks outside it.
void draw_frame(cairo_t* cr, const trend_layout& layout, std::uint32_t colour) {
  const plot_box& p = layout.plot;
  set_pen(cr, colour, 0, 1);
  cairo_rectangle(cr, p.left + 0.5, p.top + 0.5, p.width(), p.height());
  if (layout.labels) {
    for (const axis_mark& m : layout.time_marks) {
      cairo_move_to(cr, centre(m.at), p.bottom + 1);
      cairo_line_to(cr, centre(m.at), p.bottom + 4);
    }
    for (const axis_mark& m : layout.value_marks) {
      cairo_move_to(cr, p.left, centre(m.at));
      cairo_line_to(cr, p.left - 3, centre(m.at));
    }
  }
  cairo_stroke(cr);
}

// Time labels centred under their marks, value labels right-aligned beside theirs.
void draw_labels(cairo_t* cr, const trend_layout& layout, std::uint32_t colour) {
  if (!layout.labels)
    return;
  const plot_box& p = layout.plot;
  set_colour(cr, colour);
  cairo_text_extents_t e;
  for (const axis_mark& m : layout.time_marks) {
    if (m.label.empty())
      continue;
    cairo_text_extents(cr, m.label.c_str(), &e);
    cairo_move_to(cr, std::round(m.at - e.x_advance / 2), p.bottom + 6 + std::round(layout.ascent));
    cairo_show_text(cr, m.label.c_str());
  }
  for (const axis_mark& m : layout.value_marks) {
    if (m.label.empty())
      continue;
    cairo_text_extents(cr, m.label.c_str(), &e);
    cairo_move_to(cr, std::round(p.left - 6 - e.x_advance), std::round(m.at + layout.digit_height / 2));
    cairo_show_text(cr, m.label.c_str());
  }
}

void draw_curves(cairo_t* cr, const trend_layout& layout, const trend_view& view) {
  const plot_box& p = layout.plot;
  cairo_save(cr);
  cairo_rectangle(cr, p.left, p.top, p.width() + 1, p.height() + 1);
  cairo_clip(cr);
  const std::size_t count = std::min(view.curves.size(), view.history.curves.size());
  for (std::size_t i = 0; i < count; ++i) {
    const trend_curve& curve = view.curves[i];
    const curve_path path = curve_points(view.history.curves[i], p, scale_of(curve), view.window.span);
    stroke_curve(cr, curve, path);
  }
  cairo_restore(cr);
}

}  // namespace

void draw_trend(cairo_t* cr, const gdi::gdi_rect& area, const trend_view& view) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (!cr || width <= 0 || height <= 0)
    return;
  const trend_settings& s = view.settings;
  const value_scale scale = view.curves.empty() ? value_scale{} : scale_of(view.curves.front());
  const std::uint32_t ink = text_colour_on(s.bg_color);
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, width, height);
  cairo_clip(cr);
  cairo_translate(cr, area.left, area.top);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  set_colour(cr, s.bg_color);
  cairo_paint(cr);
  use_label_font(cr, s.font);
  const trend_layout layout = lay_out_trend(cr, width, height, s, scale, view.window);
  draw_grid(cr, layout, s);
  draw_frame(cr, layout, ink);
  draw_labels(cr, layout, ink);
  draw_curves(cr, layout, view);
  cairo_restore(cr);
}

}  // namespace quillet::trend
