// The legend of a trend picture: one entry per curve the host named, with the curve's pen, its
// name and unit, its scale when that has no axis of its own, and why it has no data when it
// has none. Entries flow in rows across a band above the plot, where they hide no data.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/trend/trend_interfaces.h"
#include "platform/trend/trend_scales.h"

namespace quillet::trend {

// A legend entry as the control keeps it, texts in UTF-8.
struct legend_entry {
  std::int32_t curve = -1;
  std::string name;
  std::string unit;
  trend_fault fault = trend_fault::none;
  std::uint32_t color = 0;
  std::int16_t line_type = 0;
};

// The text after "no data: " for a fault; empty for none.
const char* fault_text(trend_fault fault);

// The pen an entry is shown with: its curve's when it has one.
struct legend_pen {
  std::uint32_t color = 0;
  int line_type = 0;
  int width = 1;
};

// One placed entry: its pen sample starts at x, its text follows; y is the text's baseline.
struct legend_item {
  legend_pen pen;
  std::string text;
  double x = 0;
  double y = 0;
};

struct legend_layout {
  std::vector<legend_item> items;
  int height = 0;  // of the band, 0 without a legend
};

// The text of an entry: name (or "curve N"), unit in brackets, the scale when the curve's
// scale has no axis, and the fault.
std::string legend_text(const legend_entry& entry, std::size_t position, const std::vector<trend_curve>& curves,
                        const chart_scales& scales);

// Places the entries in rows across `width` pixels, using no more than `max_height` rows of
// pixels; entries that do not fit are left out and a text too wide for a row is cut short.
legend_layout lay_out_legend(cairo_t* cr, const std::vector<legend_entry>& entries,
                             const std::vector<trend_curve>& curves, const chart_scales& scales, int width,
                             int max_height);

// Draws a pen sample of `length` pixels with its left end at (x, y).
void draw_pen_sample(cairo_t* cr, const legend_pen& pen, double x, double y, double length);

// Draws the placed entries in the text colour.
void draw_legend(cairo_t* cr, const legend_layout& legend, std::uint32_t ink);

// The pen of an entry.
legend_pen pen_of(const legend_entry& entry, const std::vector<trend_curve>& curves);

}  // namespace quillet::trend
