// Conversions between time values and local calendar fields through the C library's
// localtime_r and mktime, which read TZ.
#include "txl/time_value.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

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

// Where TZ was last found in the environment, so that a value checks a few words instead of
// searching every variable as getenv does: the array, its length and last entry, and TZ's
// position and entry (null when there was none). setenv and putenv either put a new entry
// pointer in a variable's place or append one, which moves the array or its end; unsetenv
// moves every entry after the one it drops, and with them the last.
struct tz_place {
  char** env = nullptr;
  std::size_t count = 0;
  const char* last = nullptr;
  std::size_t at = 0;
  const char* entry = nullptr;
};

// The first "TZ=" entry of the environment, as getenv finds it, noted in `place`.
[[gnu::noinline]] const char* find_tz(tz_place& place) {
  char** env = environ;
  place = tz_place{};
  place.env = env;
  for (std::size_t i = 0; env && env[i]; ++i) {
    const char* e = env[i];
    if (!place.entry && e[0] == 'T' && e[1] == 'Z' && e[2] == '=') {
      place.at = i;
      place.entry = e;
    }
    place.count = i + 1;
    place.last = e;
  }
  return place.entry ? place.entry + 3 : nullptr;
}

// The text of TZ, or null when it is not set: from the place it was found last while the
// environment has not moved, else searched again.
const char* tz_text_now() {
  thread_local tz_place place;
  char** env = environ;
  if (env && env == place.env && env[place.count] == nullptr &&
      (place.count == 0 || env[place.count - 1] == place.last) && (!place.entry || env[place.at] == place.entry))
    return place.entry ? place.entry + 3 : nullptr;
  return find_tz(place);
}

// Makes the C library read the time zone again when TZ is not the text it was last read
// for (or was set or unset since): localtime_r need not notice a changed TZ by itself, and
// reading the zone at every call costs more than the split. A change forgets the last second.
void follow_zone() {
  thread_local bool read = false;
  thread_local bool had_tz = false;
  thread_local std::string tz_text;
  const char* tz = tz_text_now();
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
