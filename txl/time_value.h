// Time values of the expression language: a float of seconds since 1970-01-01 00:00:00 UTC
// with the milliseconds in its fraction, and their calendar fields in the machine's local
// time zone (TZ honoured). Shared by the time built-ins and the channel library's TIME.
#pragma once

#include <cstdint>
#include <ctime>

#include "txl/anyval.h"

namespace quillet {

// Times are 32-bit second counts: from the epoch up to 2038-01-19 03:14:07 UTC.
inline constexpr std::int64_t txl_max_time_seconds = INT32_MAX;

// The time a value stands for: its number conversion, which must succeed and not be
// negative (NaN is not a time). False otherwise.
bool value_as_time(const anyval& value, double& time);

// Splits a time into local calendar fields and milliseconds (0 to 999). The time is rounded
// to the nearest millisecond first, so 0.9996 s becomes the next whole second. False for a
// negative or NaN time, one beyond the 32-bit second range, or one the C library refuses.
bool time_to_local(double time, std::tm& fields, int& millis);

// The seconds of local calendar fields, with out-of-range fields normalised (month 12 is
// January of the next year, day 0 the last day of the previous month) and the daylight-saving
// flag left to the C library. False when the result is outside the 32-bit second range.
bool local_to_seconds(std::tm fields, std::int64_t& seconds);

// Adds amount to a calendar field; false when the sum leaves the field's range, in which
// case the time would be outside the 32-bit second range anyway.
bool add_to_field(int& field, std::int64_t amount);

}  // namespace quillet
