// Legend texts, their placement in rows and their drawing.
#include "platform/trend/trend_legend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/trend/trend_pen.h"

namespace quillet::trend {

namespace {

constexpr double sample_length = 20;
constexpr double sample_gap = 5;
constexpr double entry_gap = 16;
constexpr int max_sample_width = 3;

double advance_of(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

// A number of a scale as short as it reads: up to six significant digits.
std::string scale_number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

// Cuts the text at a character boundary and ends it with an ellipsis until it fits.
std::string fit_text(cairo_t* cr, std::string text, double room) {
  if (advance_of(cr, text) <= room)
    return text;
  while (!text.empty()) {
    text.pop_back();
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
      text.pop_back();
    if (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0xC0)
      text.pop_back();
    if (advance_of(cr, text + "\u2026") <= room)
      return text + "\u2026";
  }
  return text;
}

}  // namespace

const char* fault_text(trend_fault fault) {
  switch (fault) {
    case trend_fault::none: return "";
    case trend_fault::unknown_channel: return "unknown channel";
    case trend_fault::no_archive: return "no archive";
    case trend_fault::read_failed: return "archive read failed";
  }
  return "unreadable";
}

legend_pen pen_of(const legend_entry& entry, const std::vector<trend_curve>& curves) {
  if (entry.curve < 0 || static_cast<std::size_t>(entry.curve) >= curves.size())
    return {entry.color, entry.line_type, 1};
  const trend_curve& c = curves[static_cast<std::size_t>(entry.curve)];
  return {c.color, c.line_type, std::clamp<int>(c.line_width, 1, max_sample_width)};
}

std::string legend_text(const legend_entry& entry, std::size_t position, const std::vector<trend_curve>& curves,
                        const chart_scales& scales) {
  std::string text = entry.name.empty() ? "curve " + std::to_string(position + 1) : entry.name;
  if (!entry.unit.empty())
    text += " [" + entry.unit + "]";
  if (entry.fault != trend_fault::none)
    return text + " (no data: " + fault_text(entry.fault) + ")";
  const bool has_curve = entry.curve >= 0 && static_cast<std::size_t>(entry.curve) < curves.size();
  const int scale = has_curve ? scales.scale_of_curve[static_cast<std::size_t>(entry.curve)] : -1;
  if (scale >= 2) {
    const value_scale& s = scales.scales[static_cast<std::size_t>(scale)];
    text += " (" + scale_number(s.min) + " to " + scale_number(s.max) + ")";
  }
  return text;
}

// Rows of one text line; an entry goes on the row while it fits, else starts the next row.
legend_layout lay_out_legend(cairo_t* cr, const std::vector<legend_entry>& entries,
                             const std::vector<trend_curve>& curves, const chart_scales& scales, int width,
                             int max_height) {
  legend_layout out;
  if (entries.empty())
    return out;
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  const int row = static_cast<int>(std::ceil(fe.ascent + fe.descent)) + 2;
  const int rows = std::max(0, max_height - 2) / row;
  const double room = width - 4 - sample_length - sample_gap;
  if (rows == 0 || room < 20)
    return out;
  double x = 2;
  int r = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string text = fit_text(cr, legend_text(entries[i], i, curves, scales), room);
    const double w = sample_length + sample_gap + advance_of(cr, text);
    if (x > 2 && x + w > width - 2) {
      x = 2;
      ++r;
    }
    if (r >= rows)
      break;
    out.items.push_back({pen_of(entries[i], curves), text, x, 2 + r * row + std::round(fe.ascent)});
    x += w + entry_gap;
  }
  out.height = 2 + (r + (x > 2 ? 1 : 0)) * row;
  out.height = std::min(out.height, 2 + rows * row);
  return out;
}

void draw_pen_sample(cairo_t* cr, const legend_pen& pen, double x, double y, double length) {
  if (!line_visible(pen.line_type))
    return;
  set_pen(cr, pen.color, pen.line_type, pen.width);
  const double centre = pen.width % 2 ? std::floor(y) + 0.5 : std::round(y);
  cairo_move_to(cr, x, centre);
  cairo_line_to(cr, x + length, centre);
  cairo_stroke(cr);
}

void draw_legend(cairo_t* cr, const legend_layout& legend, std::uint32_t ink) {
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t digit;
  cairo_text_extents(cr, "x", &digit);
  for (const legend_item& item : legend.items) {
    draw_pen_sample(cr, item.pen, item.x, item.y + digit.y_bearing / 2, sample_length);
    set_colour(cr, ink);
    cairo_move_to(cr, item.x + sample_length + sample_gap, item.y);
    cairo_show_text(cr, item.text.c_str());
  }
}

}  // namespace quillet::trend
