// DTIME and RTIME: shifting and rounding time values by calendar units in local time.
#include <cstdint>

#include "txl/fn_time.h"
#include "txl/time_value.h"

namespace quillet {

namespace {

enum class time_unit { year, month, week, day, hour, minute, second };

struct unit_name {
  const char* name;
  time_unit unit;
};

const unit_name unit_names[] = {
    {"YR", time_unit::year},  {"MON", time_unit::month},   {"WK", time_unit::week},
    {"DAY", time_unit::day},  {"HR", time_unit::hour},     {"MIN", time_unit::minute},
    {"SEC", time_unit::second},
};

// The unit a name stands for; names are upper case and must match byte for byte.
bool find_time_unit(std::string_view name, time_unit& unit) {
  for (const unit_name& row : unit_names) {
    if (name == row.name) {
      unit = row.unit;
      return true;
    }
  }
  return false;
}

void zero_clock(std::tm& f) {
  f.tm_hour = 0;
  f.tm_min = 0;
  f.tm_sec = 0;
}

}  // namespace

// Checks the arguments in turn (their count, the time, the unit, the offset), moves the
// local fields and joins them again. A positive offset moves the time back, so the count
// handed to adjust is its negation; milliseconds are dropped.
bool xfn_time_round::evaluate(txl_call& call) const {
  if (call.arg_count() < 2 || call.arg_count() > 3)
    return call.fail("#[RD]TIME:ARGS#");
  double time = 0.0;
  std::tm fields{};
  int millis = 0;
  if (!value_as_time(call.arg(0), time) || !time_to_local(time, fields, millis))
    return call.fail("#BAD_TIME#");
  const std::string* unit = call.arg(1).as_string();
  if (!unit)
    return call.fail("#[RD]TIME:ERR#");
  std::int32_t offset = 0;
  if (call.arg_count() == 3 && !call.arg(2).to_int(offset))
    return call.fail("#[RD]TIME:IDX#");
  if (!adjust(fields, *unit, -static_cast<std::int64_t>(offset)))
    return call.fail("#[RD]TIME:ERR#");
  std::int64_t seconds = 0;
  if (!local_to_seconds(fields, seconds))
    return call.fail("#[RD]TIME:ERR#");
  call.result.set_float(static_cast<double>(seconds));
  return true;
}

// One field moves; the back conversion normalises (31 March less a month is 3 March, or 2
// March in a leap year, as 31 February normalises).
bool xfn_dtime::adjust(std::tm& f, std::string_view unit, std::int64_t count) const {
  time_unit u{};
  if (!find_time_unit(unit, u))
    return false;
  switch (u) {
    case time_unit::year: return add_to_field(f.tm_year, count);
    case time_unit::month: return add_to_field(f.tm_mon, count);
    case time_unit::week: return add_to_field(f.tm_mday, 7 * count);
    case time_unit::day: return add_to_field(f.tm_mday, count);
    case time_unit::hour: return add_to_field(f.tm_hour, count);
    case time_unit::minute: return add_to_field(f.tm_min, count);
    case time_unit::second: return add_to_field(f.tm_sec, count);
  }
  return false;
}

// The smaller fields go to their start (weeks start on Sunday), then count units are added.
bool xfn_rtime::adjust(std::tm& f, std::string_view unit, std::int64_t count) const {
  time_unit u{};
  if (!find_time_unit(unit, u))
    return false;
  switch (u) {
    case time_unit::year:
      f.tm_mon = 0;
      f.tm_mday = 1;
      zero_clock(f);
      return add_to_field(f.tm_year, count);
    case time_unit::month:
      f.tm_mday = 1;
      zero_clock(f);
      return add_to_field(f.tm_mon, count);
    case time_unit::week: zero_clock(f); return add_to_field(f.tm_mday, 7 * count - f.tm_wday);
    case time_unit::day: zero_clock(f); return add_to_field(f.tm_mday, count);
    case time_unit::hour:
      f.tm_min = 0;
      f.tm_sec = 0;
      return add_to_field(f.tm_hour, count);
    case time_unit::minute: f.tm_sec = 0; return add_to_field(f.tm_min, count);
    case time_unit::second: return add_to_field(f.tm_sec, count);
  }
  return false;
}

bool xfn_dtime_call(txl_cookie, txl_call& call) { return xfn_dtime().evaluate(call); }

bool xfn_rtime_call(txl_cookie, txl_call& call) { return xfn_rtime().evaluate(call); }

}  // namespace quillet
