// The time and formatting built-ins of the general library (MKTIME, RTIME, DTIME, TIMESTR,
// FORMAT), one call function per library row, and the family behind DTIME and RTIME. Time
// values and their calendar fields are in txl/time_value.h.
#pragma once

#include <cstdint>
#include <ctime>
#include <string_view>

#include "txl/function_entry.h"

namespace quillet {

bool xfn_mktime_call(txl_cookie, txl_call& call);
bool xfn_rtime_call(txl_cookie, txl_call& call);
bool xfn_dtime_call(txl_cookie, txl_call& call);
bool xfn_timestr_call(txl_cookie, txl_call& call);
bool xfn_format_call(txl_cookie, txl_call& call);

// Moves a time by whole units ("YR", "MON", "WK", "DAY", "HR", "MIN", "SEC"). The call
// function builds one instance for the one call; subclasses decide how the unit applies.
class xfn_time_round {
public:
  virtual ~xfn_time_round() = default;
  // Changes the local calendar fields by count units of the named unit. False when the unit
  // is not one of the names (matched exactly, upper case) or a field would overflow.
  virtual bool adjust(std::tm& fields, std::string_view unit, std::int64_t count) const = 0;
  // Evaluates (time, unit [, offset]): the time split into fields, moved back by offset
  // units, and joined again as a whole-second float time.
  bool evaluate(txl_call& call) const;
};

// DTIME: adds the count to the unit's field and keeps the others.
class xfn_dtime : public xfn_time_round {
public:
  bool adjust(std::tm& fields, std::string_view unit, std::int64_t count) const override;
};

// RTIME: rounds down to the start of the unit (weeks start on Sunday), then adds the count.
class xfn_rtime : public xfn_time_round {
public:
  bool adjust(std::tm& fields, std::string_view unit, std::int64_t count) const override;
};

}  // namespace quillet
