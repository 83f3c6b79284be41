// Conversions between time values and local calendar fields through the C library's
// localtime_r and mktime, which read TZ.
#include "txl/time_value.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quillet {

bool value_as_time(const anyval& value, double& time) {
  double x = 0.0;
  if (!value.to_double(x) || !(x >= 0.0))
    return false;
  time = x;
  return true;
}

namespace {

// The last second split on this thread and its fields, kept while TZ stays as it was: a
// report prints the same moment in several cells, and a second's fields never change within
// one zone.
struct local_second {
  bool known = false;
  std::time_t seconds = 0;
  std::tm fields{};
};

thread_local local_second last_second;

// Makes the C library read the time zone again when TZ is not the text it was last read
// for (or was set or unset since): localtime_r need not notice a changed TZ by itself, and
// reading the zone at every call costs more than the split. A change forgets the last second.
void follow_zone() {
  thread_local bool read = false;
  thread_local bool had_tz = false;
  thread_local std::string tz_text;
  const char* tz = std::getenv("TZ");
  if (read && had_tz == (tz != nullptr) && (!tz || std::strcmp(tz, tz_text.c_str()) == 0))
    return;
  tzset();
  read = true;
  had_tz = tz != nullptr;
  tz_text.assign(tz ? tz : "");
  last_second.known = false;
}

}  // namespace

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
  follow_zone();
  if (!last_second.known || last_second.seconds != seconds) {
    last_second.known = false;
    if (!localtime_r(&seconds, &last_second.fields))
      return false;
    last_second.seconds = seconds;
    last_second.known = true;
  }
  fields = last_second.fields;
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
