// Placing the legend, the plot box, the lanes and the axis marks of a trend picture and
// writing their labels.
#include "platform/trend/trend_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/trend/trend_time_axis.h"

namespace quillet::trend {

namespace {

constexpr int tick_length = 4;
constexpr int max_divisions = 100;
constexpr int lane_gap = 4;
constexpr std::size_t max_title_pens = 4;

double text_width(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

// Whether a value step reads as round: 1, 2, 2.5 or 5 times a power of ten.
bool round_value_step(double step) {
  if (!(step > 0) || !std::isfinite(step))
    return false;
  const double power = std::pow(10.0, std::floor(std::log10(step)));
  const double m = step / power;
  for (double r : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (std::fabs(m - r) < 1e-9 * r)
      return true;
  return false;
}

// Value divisions: VMARKS when given, otherwise about one per two and a half text lines,
// preferring a count that gives a round step.
int value_divisions(const trend_settings& s, const value_scale& scale, int plot_height, double text_height) {
  const int most = std::max(1, std::min(max_divisions, plot_height / 2));
  if (s.vmarks > 0)
    return std::min<int>(s.vmarks, most);
  const int target = std::clamp(static_cast<int>(plot_height / (text_height * 2.5)), 1, std::min(10, most));
  for (int n = target; n >= 1; --n)
    if (round_value_step((scale.max - scale.min) / n))
      return n;
  return target;
}

// Decimals for value labels: VDIGITSDP when given; else enough to fill VDIGITS significant
// digits; else the fewest that show every mark's value (to a hundredth of a step).
int value_decimals(const trend_settings& s, const value_scale& scale, int divisions) {
  if (s.vdigits_dp >= 0)
    return std::min<int>(s.vdigits_dp, 10);
  const double largest = std::max(std::fabs(scale.min), std::fabs(scale.max));
  if (s.vdigits > 0) {
    const int whole = largest < 1 ? 1 : static_cast<int>(std::floor(std::log10(largest))) + 1;
    return std::clamp(s.vdigits - whole, 0, 10);
  }
  const double step = (scale.max - scale.min) / std::max(divisions, 1);
  for (int dp = 0; dp < 6; ++dp) {
    const double unit = std::pow(10.0, -dp);
    bool exact = true;
    for (int i = 0; i <= divisions && exact; ++i) {
      const double v = scale.min + step * i;
      exact = std::fabs(std::round(v / unit) * unit - v) < step * 0.01;
    }
    if (exact)
      return dp;
  }
  return 6;
}

// Labels of the value marks from the scale's bottom up, each mark's `at` holding its height
// as a fraction of the scale until the marks are placed; returns the widest label's width.
double label_values(cairo_t* cr, const trend_settings& settings, const value_scale& scale, int count,
                    std::vector<axis_mark>& marks) {
  double widest = 0;
  for (int i = 0; i <= count; ++i) {
    const double v = scale.min + (scale.max - scale.min) * i / count;
    marks.push_back({static_cast<double>(i) / count, cr ? value_label(v, settings, scale, count) : std::string(), {}});
    widest = cr ? std::max(widest, text_width(cr, marks.back().label)) : 0;
  }
  return widest;
}

// The round step (1, 2, 2.5 or 5 times a power of ten) that puts at most `most` + 1 marks on
// whole multiples of itself inside the scale.
double round_step_within(const value_scale& scale, int most) {
  const double range = scale.max - scale.min;
  double power = std::pow(10.0, std::floor(std::log10(range / most)));
  for (int tries = 0; tries < 4; ++tries, power *= 10)
    for (double m : {1.0, 2.0, 2.5, 5.0}) {
      const double step = m * power;
      if (std::floor(scale.max / step) - std::ceil(scale.min / step) <= most)
        return step;
    }
  return range;
}

// Value marks with their labels: evenly from bottom to top when VMARKS is given or the even
// division is round; otherwise on the round values inside the scale (-20 to 120 gets marks
// at -20, 0, 20 ... 120 rather than at -20, 15, 50 ...). Returns the widest label's width.
double mark_values(cairo_t* cr, const trend_settings& s, const value_scale& scale, int plot_height, double line,
                   std::vector<axis_mark>& marks) {
  const int count = value_divisions(s, scale, plot_height, line);
  const double range = scale.max - scale.min;
  if (s.vmarks > 0 || round_value_step(range / count) || !std::isfinite(range) || !(range > 0))
    return label_values(cr, s, scale, count, marks);
  const double step = round_step_within(scale, count);
  const int divisions = std::max(1, static_cast<int>(std::lround(range / step)));
  double widest = 0;
  for (double k = std::ceil(scale.min / step); k * step <= scale.max + step * 1e-9; ++k) {
    const double v = k * step + 0.0;  // no "-0"
    marks.push_back({(v - scale.min) / range, cr ? value_label(v, s, {v - step * divisions, v}, divisions) : "", {}});
    widest = cr ? std::max(widest, text_width(cr, marks.back().label)) : 0;
  }
  return widest;
}

// Value marks at their heights in the box; labels that would overlap the one above are
// emptied, from the top down.
void place_value_marks(const plot_box& p, double line, std::vector<axis_mark>& marks) {
  for (axis_mark& m : marks)
    m.at = p.bottom - p.height() * m.at;
  double reach = -1e300;
  for (auto m = marks.rbegin(); m != marks.rend(); ++m) {
    if (m->at - line / 2 < reach) {
      m->label.clear();
      continue;
    }
    reach = m->at + line / 2;
  }
}

// The plot box when there is no room for labels: a two-pixel margin, or none at all.
plot_box bare_box(int width, int height) {
  const int margin = width > 8 && height > 8 ? 2 : 0;
  return {margin, margin, std::max(margin, width - 1 - margin), std::max(margin, height - 1 - margin)};
}

// The title of the axis of scale k: the distinct units of its curves, joined by commas, and,
// when `with_pens`, the pens of its first curves.
axis_title title_of(int k, const layout_input& in, bool with_pens) {
  axis_title t;
  std::vector<std::string> units;
  for (const legend_entry& e : in.legend) {
    if (e.curve < 0 || static_cast<std::size_t>(e.curve) >= in.curves.size() ||
        in.scales.scale_of_curve[static_cast<std::size_t>(e.curve)] != k)
      continue;
    if (with_pens && t.pens.size() < max_title_pens)
      t.pens.push_back(pen_of(e, in.curves));
    if (e.unit.empty() || std::find(units.begin(), units.end(), e.unit) != units.end())
      continue;
    t.text += units.empty() ? e.unit : ", " + e.unit;
    units.push_back(e.unit);
  }
  if (t.text.empty())
    t.pens.clear();
  return t;
}

// Time marks on round local times, with labels that would overlap the last kept one emptied;
// a date whose label is emptied moves on to the next label.
void place_time_marks(cairo_t* cr, const plot_box& p, const trend_settings& s, const trend_window& window,
                      double label_width, std::vector<axis_mark>& out) {
  const int target = std::clamp(static_cast<int>(p.width() / (label_width + 24)), 1, 12);
  const std::int32_t step = time_step_for(window.span, s.tmarks > 0 ? s.tmarks : target);
  double reach = -1e300;
  std::string carried;
  for (time_mark& m : time_marks(window, step, s.tunits)) {
    out.push_back({p.left + m.offset / window.span * p.width(), std::move(m.time), std::move(m.date)});
    if (!cr) {
      out.back().label.clear();
      out.back().date.clear();
      continue;
    }
    axis_mark& mark = out.back();
    if (mark.date.empty())
      mark.date = std::move(carried);
    carried.clear();
    const double half = std::max(text_width(cr, mark.label), text_width(cr, mark.date)) / 2;
    if (mark.at - half < reach + 6) {
      carried = std::move(mark.date);
      mark.label.clear();
      mark.date.clear();
      continue;
    }
    reach = mark.at + half;
  }
}

// Lanes of the discrete curves under the plot, each `lane` pixels high.
void place_lanes(const plot_box& p, std::size_t count, int lane, std::vector<plot_box>& lanes) {
  int top = p.bottom + lane_gap;
  for (std::size_t i = 0; i < count; ++i, top += lane + lane_gap)
    lanes.push_back({p.left, top, p.right, top + lane});
}

// The lane height: a little more than a text line, less when the lanes would take more than
// two fifths of the room.
int lane_height(std::size_t lanes, double line, int room) {
  if (lanes == 0)
    return 0;
  const int wanted = std::clamp(static_cast<int>(std::lround(line * 1.3)), 8, 22);
  const int fits = static_cast<int>(room * 0.4 / static_cast<double>(lanes)) - lane_gap;
  return std::max(4, std::min(wanted, fits));
}

// A picture without room for text: no legend, titles, lanes or labels, only the plot with
// its grid marks.
trend_layout& lay_out_bare(trend_layout& out, const trend_settings& settings, const layout_input& in) {
  out.legend = {};
  out.left_title = out.right_title = {};
  out.value_marks.clear();
  out.right_marks.clear();
  const int count = value_divisions(settings, in.scales.scales.front(), out.plot.height(), out.line);
  label_values(nullptr, settings, in.scales.scales.front(), count, out.value_marks);
  place_value_marks(out.plot, 0, out.value_marks);
  place_time_marks(nullptr, out.plot, settings, in.window, out.plot.width(), out.time_marks);
  return out;
}

}  // namespace

std::string value_label(double value, const trend_settings& settings, const value_scale& scale, int divisions) {
  char text[48];
  if (std::fabs(value) >= 1e9) {
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
  }
  const int dp = value_decimals(settings, scale, divisions);
  std::snprintf(text, sizeof text, "%.*f", dp, value);
  return text;
}

// From the top: legend band, axis titles, half a line for the top value label, the plot, the
// lanes, the ticks and one or two lines of time labels. Margins fit the value labels; a
// picture too small for text gets a bare plot box with unlabelled marks.
trend_layout lay_out_trend(cairo_t* cr, int width, int height, const trend_settings& settings,
                           const layout_input& in) {
  trend_layout out;
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t digit;
  cairo_text_extents(cr, "0", &digit);
  out.ascent = fe.ascent;
  out.line = fe.ascent + fe.descent;
  out.digit_height = -digit.y_bearing;
  const bool two_axes = in.scales.scales.size() >= 2;
  out.legend = lay_out_legend(cr, in.legend, in.curves, in.scales, width, height / 3);
  out.left_title = title_of(0, in, two_axes);
  out.right_title = two_axes ? title_of(1, in, true) : axis_title{};
  int top = out.legend.height;
  if (!out.left_title.text.empty() || !out.right_title.text.empty()) {
    out.title_baseline = top + 2 + std::round(fe.ascent);
    top += static_cast<int>(std::ceil(out.line)) + 2;
  }
  top += static_cast<int>(std::ceil(out.line / 2)) + 2;
  const bool dated = window_crosses_midnight(in.window);
  const int axis = static_cast<int>(std::ceil(out.line)) * (dated ? 2 : 1) + tick_length + 4;
  const int lane = lane_height(in.scales.lanes.size(), out.line, height - 1 - axis - top);
  const int bottom = height - 1 - axis - static_cast<int>(in.scales.lanes.size()) * (lane + lane_gap);
  const value_scale& left_scale = in.scales.scales.front();
  const double left_width = mark_values(cr, settings, left_scale, bottom - top, out.line, out.value_marks);
  double right_width = 0;
  if (two_axes)
    right_width = mark_values(cr, settings, in.scales.scales[1], bottom - top, out.line, out.right_marks);
  const int left = static_cast<int>(std::ceil(left_width)) + tick_length + 4;
  const int right = width - 1 - (two_axes ? static_cast<int>(std::ceil(right_width)) + tick_length + 4 : 8);
  out.labels = right - left >= 24 && bottom - top >= 16;
  out.plot = out.labels ? plot_box{left, top, right, bottom} : bare_box(width, height);
  if (!out.labels)
    return lay_out_bare(out, settings, in);
  place_value_marks(out.plot, out.line, out.value_marks);
  if (two_axes)
    place_value_marks(out.plot, out.line, out.right_marks);
  place_lanes(out.plot, in.scales.lanes.size(), lane, out.lanes);
  const double time_width = std::max(text_width(cr, "00:00:00"), dated ? text_width(cr, "00.00.0000") : 0.0);
  place_time_marks(cr, out.plot, settings, in.window, time_width, out.time_marks);
  return out;
}

}  // namespace quillet::trend
