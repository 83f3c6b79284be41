// The time value record through which data sources take times: whole seconds since 1970 UTC
// and milliseconds. Unlike the calendar conversion of the time built-ins it does not round
// before splitting, so a fraction of 0.9995 s or more gives 1000 milliseconds.
#pragma once

#include <cstdint>

#include "txl/anyval.h"

namespace quillet {

struct kov_time_record {
  std::uint32_t seconds = 0;  // 0 means no time
  std::int16_t millis = 0;    // 0 to 1000
};

// Converts a value into a record: its number conversion must succeed and give a time from 1 s
// up to the last second a 32-bit unsigned count holds; anything else (0, negative, NaN,
// too large, absent, not a number) fails and leaves seconds and milliseconds 0.
bool kov_to_time_record(const anyval& value, kov_time_record& record);

// The float time of a record: (seconds * 1000 + milliseconds) * 0.001.
double kov_record_time(const kov_time_record& record);

}  // namespace quillet
