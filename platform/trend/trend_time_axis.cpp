// Round steps and the local-time marks and labels of the time axis.
#include "platform/trend/trend_time_axis.h"

#include <cmath>
#include <ctime>

namespace quillet::trend {

namespace {

constexpr std::int32_t day = 86400;
// More marks than this are never laid out, whatever the window and step.
constexpr int max_time_marks = 1000;

struct local_time {
  std::tm parts{};
  bool ok = false;
};

local_time local_at(double at) {
  local_time out;
  const std::time_t seconds = static_cast<std::time_t>(std::floor(at));
  out.ok = localtime_r(&seconds, &out.parts) != nullptr;
  return out;
}

std::string format_time(const local_time& t, const char* format) {
  if (!t.ok)
    return {};
  char text[64];
  const std::size_t n = std::strftime(text, sizeof text, format, &t.parts);
  return std::string(text, n);
}

// Seconds east of UTC of the local clock at a time.
double zone_offset(double at) {
  const local_time t = local_at(at);
  return t.ok ? static_cast<double>(t.parts.tm_gmtoff) : 0.0;
}

const char* time_format(std::int32_t step, std::int16_t tunits) {
  switch (tunits) {
    case 0: return "%H:%M:%S";
    case 1:
    case 2: return "%H:%M";
    case 3: return "%d.%m";
    default: break;
  }
  if (step < 60)
    return "%H:%M:%S";
  return step < day ? "%H:%M" : "%d.%m";
}

bool same_day(const local_time& a, const local_time& b) {
  return a.parts.tm_year == b.parts.tm_year && a.parts.tm_yday == b.parts.tm_yday;
}

// The date under a mark: the whole date under times of day, the year under days and months;
// only for the first mark and where it changes.
std::string date_of(const local_time& t, const local_time* before, bool day_steps) {
  if (day_steps)
    return before && before->parts.tm_year == t.parts.tm_year ? std::string() : format_time(t, "%Y");
  return before && same_day(*before, t) ? std::string() : format_time(t, "%d.%m.%Y");
}

}  // namespace

const std::vector<std::int32_t>& round_time_steps() {
  static const std::vector<std::int32_t> steps = {
      1,        2,        5,        10,       15,       30,       60,     120,    300,     600,
      900,      1800,     3600,     7200,     10800,    21600,    43200,  day,    2 * day, 5 * day,
      10 * day, 15 * day, 30 * day, 90 * day};
  return steps;
}

std::int32_t time_step_for(double span, int divisions) {
  const double most = divisions > 0 ? divisions : 1;
  for (std::int32_t step : round_time_steps())
    if (span / step <= most)
      return step;
  return round_time_steps().back();
}

bool window_crosses_midnight(const trend_window& window) {
  const double start = window.seconds + window.millis / 1000.0;
  return window.span > 0 && !same_day(local_at(start), local_at(start + window.span));
}

// Marks start at the first multiple of the step in local time at or after the window start;
// the zone offset of the start holds for the whole window.
std::vector<time_mark> time_marks(const trend_window& window, std::int32_t step, std::int16_t tunits) {
  std::vector<time_mark> marks;
  if (step <= 0 || window.span <= 0)
    return marks;
  const double start = window.seconds + window.millis / 1000.0;
  const double end = start + window.span;
  const double offset = zone_offset(start);
  const bool day_steps = step >= day;
  const bool dated = day_steps || window_crosses_midnight(window);
  const char* format = time_format(step, tunits);
  local_time before;
  double at = std::ceil((start + offset) / step) * step - offset;
  for (int n = 0; at <= end && n < max_time_marks; ++n, at += step) {
    const local_time t = local_at(at);
    time_mark m{at - start, format_time(t, format), {}};
    if (dated)
      m.date = date_of(t, n > 0 ? &before : nullptr, day_steps);
    marks.push_back(std::move(m));
    before = t;
  }
  return marks;
}

}  // namespace quillet::trend
