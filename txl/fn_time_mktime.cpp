// MKTIME: a time value from local calendar fields.
#include <cstdint>

#include "txl/fn_time.h"
#include "txl/time_value.h"

namespace quillet {

namespace {

// Reads the first six arguments (year, month, day, hour, minute, second) into the fields,
// months counting from 1. False when one of those given is absent or does not convert; they
// are all looked at first. A value whose field would overflow sets out_of_range instead.
bool read_calendar_args(const txl_call& call, std::tm& f, bool& out_of_range) {
  int* const fields[6] = {&f.tm_year, &f.tm_mon, &f.tm_mday, &f.tm_hour, &f.tm_min, &f.tm_sec};
  const int bases[6] = {1900, 1, 0, 0, 0, 0};
  std::size_t given = call.arg_count() < 6 ? call.arg_count() : 6;
  bool ok = true;
  for (std::size_t i = 0; i < given; ++i) {
    std::int32_t v = 0;
    if (!call.arg(i).to_int(v)) {
      ok = false;
      continue;
    }
    *fields[i] = 0;
    if (!add_to_field(*fields[i], static_cast<std::int64_t>(v) - bases[i]))
      out_of_range = true;
  }
  return ok;
}

}  // namespace

// MKTIME(year [, month, day, hour, minute, second, millisecond]): missing fields are the
// start of the year; out-of-range fields normalise (2001-02-29 is 1 March). The millisecond
// is not limited and is added after the seconds are found.
bool xfn_mktime_call(txl_cookie, txl_call& call) {
  if (call.arg_count() == 0)
    return call.fail("#MKTIME:ARG#");
  std::tm fields{};
  fields.tm_mday = 1;
  fields.tm_isdst = -1;
  bool out_of_range = false;
  if (!read_calendar_args(call, fields, out_of_range))
    return call.fail("#MKTIME:ARG#");
  std::int32_t millis = 0;
  if (call.arg_count() >= 7 && !call.arg(6).to_int(millis))
    return call.fail("#MKTIME:ARG#");
  std::int64_t seconds = 0;
  if (out_of_range || !local_to_seconds(fields, seconds))
    return call.fail("#MKTIME:BAD_TIME#");
  call.result.set_float(static_cast<double>(seconds) + millis * 0.001);
  return true;
}

}  // namespace quillet
