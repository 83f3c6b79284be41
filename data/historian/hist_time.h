// Times as history exports write them: seconds since 1970 (with a fraction; twelve or more
// digits without one are milliseconds), or ISO 8601 dates with a time, a fraction of a
// second and a zone (Z or +HH[:MM]); without a zone, the local time of the process's zone.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

class hist_time_parser {
public:
  // Milliseconds since 1970 UTC; false for a text that is no time.
  bool parse(std::string_view text, std::int64_t& ms);

private:
  bool parse_iso(std::string_view text, std::int64_t& ms);
  // The UTC seconds of a local hour's start, remembered for the next time of that hour.
  std::int64_t local_hour(int year, int month, int day, int hour);

  int cached_[4] = {-1, -1, -1, -1};
  std::int64_t cached_start_ = 0;
};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t hist_days_from_civil(int year, int month, int day);

}  // namespace quillet
