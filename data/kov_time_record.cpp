// Conversion of time values into the seconds-and-milliseconds records that data sources take.
#include "data/kov_time_record.h"

#include <cmath>
#include <limits>

namespace quillet {

// Splits without rounding first: seconds = floor(x), milliseconds = floor(fraction * 1000
// + 0.5), so 0.9995 s or more of fraction gives 1000 ms and no carry into the seconds.
// A time that a 32-bit unsigned second count cannot hold fails instead of wrapping.
bool kov_to_time_record(const anyval& value, kov_time_record& record) {
  record = kov_time_record{};
  double x = 0.0;
  if (!value.to_double(x) || !(x >= 0.0))
    return false;
  const double seconds = std::floor(x);
  if (seconds > static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
    return false;
  if (seconds == 0.0)
    return false;
  record.seconds = static_cast<std::uint32_t>(seconds);
  record.millis = static_cast<std::int16_t>(std::floor((x - seconds) * 1000.0 + 0.5));
  return true;
}

double kov_record_time(const kov_time_record& record) {
  return (static_cast<double>(record.seconds) * 1000.0 + record.millis) * 0.001;
}

}  // namespace quillet
