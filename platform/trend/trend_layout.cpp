// Placing the plot box and the axis marks of a trend picture and writing their labels.
#include "platform/trend/trend_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace quillet::trend {

namespace {

constexpr int tick_length = 4;
constexpr int max_divisions = 100;

double text_width(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

// Whether a step of seconds reads as a round time: 1, 2, 5, 10, 15, 20 or 30 seconds or
// minutes, or whole hours.
bool round_duration(std::int64_t step) {
  constexpr std::int64_t round[] = {1, 2, 5, 10, 15, 20, 30};
  for (std::int64_t r : round)
    if (step == r || step == r * 60)
      return true;
  return step > 0 && step % 3600 == 0;
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

// Time divisions: TMARKS when given, otherwise as many as labels of the given width allow,
// preferring a count that splits the span into round durations.
int time_divisions(const trend_settings& s, std::int32_t span, int plot_width, double label_width) {
  const int most = std::max(1, std::min(max_divisions, plot_width / 2));
  if (s.tmarks > 0)
    return std::min<int>(s.tmarks, most);
  const int target = std::clamp(static_cast<int>(plot_width / (label_width + 24)), 1, std::min(12, most));
  for (int n = target; n >= 2; --n)
    if (span % n == 0 && round_duration(span / n))
      return n;
  for (int n = target; n >= 2; --n)
    if (span % n == 0)
      return n;
  return target;
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

std::string time_label(double at, const char* format) {
  const std::time_t seconds = static_cast<std::time_t>(std::floor(at));
  std::tm parts{};
  if (!gmtime_r(&seconds, &parts))
    return {};
  char text[64];
  const std::size_t n = std::strftime(text, sizeof text, format, &parts);
  return std::string(text, n);
}

// Empties labels that would overlap the one last kept, along an axis where each label spans
// `extent(label)` pixels around its mark.
template <class Extent>
void drop_crowded(std::vector<axis_mark>& marks, Extent extent, double gap) {
  double reach = -1e300;
  for (auto& m : marks) {
    const double half = extent(m.label) / 2;
    if (m.at - half < reach + gap) {
      m.label.clear();
      continue;
    }
    reach = m.at + half;
  }
}

// The plot box when there is no room for labels: a two-pixel margin, or none at all.
plot_box bare_box(int width, int height) {
  const int margin = width > 8 && height > 8 ? 2 : 0;
  return {margin, margin, std::max(margin, width - 1 - margin), std::max(margin, height - 1 - margin)};
}

// Labels of the value marks from the scale's bottom up; returns the widest label's width.
double label_values(cairo_t* cr, const trend_settings& settings, const value_scale& scale, int count,
                    std::vector<axis_mark>& marks) {
  double widest = 0;
  for (int i = 0; i <= count; ++i) {
    const double v = scale.min + (scale.max - scale.min) * i / count;
    marks.push_back({0, value_label(v, settings, scale, count)});
    widest = std::max(widest, text_width(cr, marks.back().label));
  }
  return widest;
}

// Value marks evenly from the box's bottom row to its top row.
void place_value_marks(const plot_box& p, std::vector<axis_mark>& marks) {
  const double count = static_cast<double>(marks.size() - 1);
  for (std::size_t i = 0; i < marks.size(); ++i)
    marks[i].at = p.bottom - p.height() * (static_cast<double>(i) / count);
}

// Time marks evenly from the box's left column to its right column, without labels.
void place_time_marks(const plot_box& p, int count, std::vector<axis_mark>& marks) {
  for (int i = 0; i <= count; ++i)
    marks.push_back({p.left + static_cast<double>(p.width()) * i / count, {}});
}

// Each time mark's label: the time it stands for, in UTC.
void label_times(const char* format, const trend_window& window, std::vector<axis_mark>& marks) {
  const double start = window.seconds + window.millis / 1000.0;
  const double count = static_cast<double>(marks.size() - 1);
  for (std::size_t i = 0; i < marks.size(); ++i)
    marks[i].label = time_label(start + window.span * (static_cast<double>(i) / count), format);
}

}  // namespace

value_scale scale_of(const trend_curve& curve) {
  const double lo = curve.min_value;
  const double hi = curve.max_value;
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo))
    return {};
  return {lo, hi};
}

// TUNITS 0 shows seconds, 1 and 2 (minutes, hours) hours and minutes, 3 (days) day and month.
// Automatically: day and month with the time from two days up; hours and minutes from two
// hours up or when every mark falls on a whole minute; seconds otherwise.
const char* time_label_format(std::int16_t tunits, const trend_window& window, int divisions) {
  switch (tunits) {
    case 0: return "%H:%M:%S";
    case 1:
    case 2: return "%H:%M";
    case 3: return "%d.%m";
    default: break;
  }
  if (window.span >= 2 * 86400)
    return "%d.%m %H:%M";
  const bool whole_minutes = window.millis == 0 && window.seconds % 60 == 0 && divisions > 0 &&
                             window.span % (60 * divisions) == 0;
  return window.span >= 2 * 3600 || whole_minutes ? "%H:%M" : "%H:%M:%S";
}

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

// Margins fit the labels: the widest value label on the left, a line of time labels below,
// half a line above and half a time label on the right so the end labels stay inside. A
// picture too small for text gets a bare plot box.
trend_layout lay_out_trend(cairo_t* cr, int width, int height, const trend_settings& settings,
                           const value_scale& scale, const trend_window& window) {
  trend_layout out;
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t digit;
  cairo_text_extents(cr, "0", &digit);
  out.ascent = fe.ascent;
  out.digit_height = -digit.y_bearing;
  const double line = fe.ascent + fe.descent;
  const int top = static_cast<int>(std::ceil(line / 2)) + 2;
  const int bottom = height - 1 - static_cast<int>(std::ceil(line)) - tick_length - 2;
  int value_count = value_divisions(settings, scale, bottom - top, line);
  const double widest = label_values(cr, settings, scale, value_count, out.value_marks);
  const double time_width = text_width(cr, time_label(window.seconds, time_label_format(settings.tunits, window, 0)));
  const int left = static_cast<int>(std::ceil(widest)) + tick_length + 4;
  const int right = width - 1 - static_cast<int>(std::ceil(time_width / 2)) - 2;
  out.labels = right - left >= 24 && bottom - top >= 16;
  out.plot = out.labels ? plot_box{left, top, right, bottom} : bare_box(width, height);
  if (!out.labels) {
    value_count = value_divisions(settings, scale, out.plot.height(), line);
    out.value_marks.assign(static_cast<std::size_t>(value_count) + 1, axis_mark{});
  }
  place_value_marks(out.plot, out.value_marks);
  const int time_count = time_divisions(settings, window.span, out.plot.width(), time_width);
  place_time_marks(out.plot, time_count, out.time_marks);
  if (!out.labels)
    return out;
  label_times(time_label_format(settings.tunits, window, time_count), window, out.time_marks);
  drop_crowded(out.time_marks, [&](const std::string& s) { return text_width(cr, s); }, 6);
  std::reverse(out.value_marks.begin(), out.value_marks.end());
  drop_crowded(out.value_marks, [&](const std::string&) { return line; }, 0);
  std::reverse(out.value_marks.begin(), out.value_marks.end());
  return out;
}

}  // namespace quillet::trend
