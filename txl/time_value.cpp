// Conversions between time values and local calendar fields through the C library's
// localtime_r and mktime, which read TZ.
#include "txl/time_value.h"

#include <climits>
#include <cmath>

namespace quillet {

bool value_as_time(const anyval& value, double& time) {
  double x = 0.0;
  if (!value.to_double(x) || !(x >= 0.0))
    return false;
  time = x;
  return true;
}

// Rounds before splitting, so the millisecond digits and the second agree: 59.9996 is the
// next minute with 000 milliseconds, never 59 s and 1000 ms.
bool time_to_local(double time, std::tm& fields, int& millis) {
  if (!(time >= 0.0))
    return false;
  double rounded = time + 0.0005;
  double whole = std::floor(rounded);
  if (whole > static_cast<double>(txl_max_time_seconds))
    return false;
  int ms = static_cast<int>((rounded - whole) * 1000.0);
  std::time_t seconds = static_cast<std::time_t>(whole);
  tzset();  // localtime_r need not notice a changed TZ by itself; mktime does
  if (!localtime_r(&seconds, &fields))
    return false;
  millis = ms < 0 ? 0 : (ms > 999 ? 999 : ms);
  return true;
}

bool local_to_seconds(std::tm fields, std::int64_t& seconds) {
  fields.tm_isdst = -1;
  std::time_t t = std::mktime(&fields);
  if (t < 0 || t > txl_max_time_seconds)
    return false;
  seconds = static_cast<std::int64_t>(t);
  return true;
}

bool add_to_field(int& field, std::int64_t amount) {
  std::int64_t sum = static_cast<std::int64_t>(field) + amount;
  if (sum < INT_MIN || sum > INT_MAX)
    return false;
  field = static_cast<int>(sum);
  return true;
}

}  // namespace quillet
