// MKTIME, DTIME, RTIME and TIMESTR through the general library, in UTC and in a zone with
// daylight saving time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "txl/function_entry.h"
#include "txl/time_value.h"
#include "tests/zone_scope.h"

namespace quillet {
namespace {

using test::zone_scope;

anyval iv(std::int32_t v) { return anyval::from_int(v); }
anyval fv(double v) { return anyval::from_float(v); }
anyval sv(std::string_view s) { return anyval::from_string(s); }

// "f:<seconds with three decimals>", "s:<text>", or the marker of a failed call.
std::string call_general(const char* name, const anyval_list& args) {
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  std::string_view n(name);
  if (!txl_general_library().lookup(n.data(), n.size(), entry, cookie))
    return "(unknown)";
  std::string error;
  txl_call call;
  call.args = anyval::from_vector(args);
  call.error = &error;
  if (!entry->call(cookie, call))
    return error;
  if (const std::string* s = call.result.as_string())
    return "s:" + *s;
  double d = 0.0;
  if (call.result.type() != type_float || !call.result.to_double(d))
    return "(not a float)";
  char buf[64];
  std::snprintf(buf, sizeof buf, "f:%.3f", d);
  return buf;
}

struct call_row {
  const char* name;
  anyval_list args;
  const char* expected;
};

void run_rows(const std::vector<call_row>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i) + ": " + rows[i].name);
    EXPECT_EQ(call_general(rows[i].name, rows[i].args), rows[i].expected);
  }
}

// Thursday 2024-03-14 13:45:07 UTC.
const double thursday = 1710423907.0;

TEST(TimeValue, RoundsToTheMillisecondBeforeSplitting) {
  zone_scope utc("UTC");
  const struct {
    double time;
    bool ok;
    int sec;
    int millis;
  } rows[] = {
      {0.0, true, 0, 0},           {0.25, true, 0, 250},        {59.9994, true, 59, 999},
      {59.9996, true, 0, 0},       {1.001, true, 1, 1},         {2147483647.0, true, 7, 0},
      {2147483647.9996, false, 0, 0}, {-0.001, false, 0, 0},    {NAN, false, 0, 0},
      {INFINITY, false, 0, 0},     {1e300, false, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.time);
    std::tm f{};
    int millis = -1;
    ASSERT_EQ(time_to_local(row.time, f, millis), row.ok);
    if (!row.ok)
      continue;
    EXPECT_EQ(f.tm_sec, row.sec);
    EXPECT_EQ(millis, row.millis);
  }
}

TEST(Mktime, BuildsAndNormalisesInUtc) {
  zone_scope utc("UTC");
  run_rows({
      {"MKTIME", {iv(1970)}, "f:0.000"},
      {"MKTIME", {iv(2001), iv(2), iv(29)}, "f:983404800.000"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(0), iv(0), iv(0), iv(250)}, "f:946684800.250"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(0), iv(0), iv(0), iv(-250)}, "f:946684799.750"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(0), iv(0), iv(0), iv(1500)}, "f:946684801.500"},
      {"MKTIME", {iv(2000), iv(13)}, "f:978307200.000"},
      {"MKTIME", {iv(2000), iv(3), iv(0)}, "f:951782400.000"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(25)}, "f:946774800.000"},
      {"MKTIME", {sv("2000"), sv("0x2")}, "f:949363200.000"},
      {"MKTIME", {fv(2000.9)}, "f:946684800.000"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(0), iv(0), iv(0), iv(0), sv("more"), iv(9)},
       "f:946684800.000"},
      {"MKTIME", {iv(2038), iv(1), iv(19), iv(3), iv(14), iv(7)}, "f:2147483647.000"},
  });
}

TEST(Mktime, Failures) {
  zone_scope utc("UTC");
  run_rows({
      {"MKTIME", {}, "#MKTIME:ARG#"},
      {"MKTIME", {iv(2000), sv("x")}, "#MKTIME:ARG#"},
      {"MKTIME", {sv("abc")}, "#MKTIME:ARG#"},
      {"MKTIME", {iv(2000), anyval()}, "#MKTIME:ARG#"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(0), iv(0), iv(0), sv("x")}, "#MKTIME:ARG#"},
      {"MKTIME", {iv(2000), iv(1), iv(1), iv(0), iv(0), iv(0), anyval()}, "#MKTIME:ARG#"},
      {"MKTIME", {iv(1960), sv("x")}, "#MKTIME:ARG#"},
      {"MKTIME", {iv(1969), iv(12), iv(31), iv(23), iv(59), iv(59)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(1960)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(2038), iv(1), iv(19), iv(3), iv(14), iv(8)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(INT32_MIN)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(2000), iv(INT32_MIN)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(INT32_MAX)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(2000), iv(1), iv(INT32_MAX), iv(INT32_MAX), iv(INT32_MAX), iv(INT32_MAX)},
       "#MKTIME:BAD_TIME#"},
  });
}

// East of UTC the first local midnight of 1970 is before the epoch; the spring change of
// 2024 skips 02:00 to 03:00 local time on 31 March.
TEST(Mktime, LocalTimeWithDaylightSaving) {
  zone_scope zone(test::zone_cet);
  run_rows({
      {"MKTIME", {iv(1970)}, "#MKTIME:BAD_TIME#"},
      {"MKTIME", {iv(1970), iv(1), iv(1), iv(1)}, "f:0.000"},
      {"MKTIME", {iv(2024), iv(7), iv(1)}, "f:1719784800.000"},
      {"MKTIME", {iv(2024), iv(3), iv(31), iv(1), iv(59), iv(59)}, "f:1711846799.000"},
      {"MKTIME", {iv(2024), iv(3), iv(31), iv(3), iv(0), iv(0)}, "f:1711846800.000"},
  });
  zone_scope west("EST5EDT,M3.2.0,M11.1.0");
  run_rows({{"MKTIME", {iv(1970)}, "f:18000.000"}});
}

TEST(Dtime, ShiftsEachUnit) {
  zone_scope utc("UTC");
  const double t = thursday;
  run_rows({
      {"DTIME", {fv(t), sv("YR"), iv(-1)}, "f:1741959907.000"},
      {"DTIME", {fv(t), sv("MON"), iv(-1)}, "f:1713102307.000"},
      {"DTIME", {fv(t), sv("WK"), iv(-1)}, "f:1711028707.000"},
      {"DTIME", {fv(t), sv("DAY"), iv(-1)}, "f:1710510307.000"},
      {"DTIME", {fv(t), sv("HR"), iv(-1)}, "f:1710427507.000"},
      {"DTIME", {fv(t), sv("MIN"), iv(-1)}, "f:1710423967.000"},
      {"DTIME", {fv(t), sv("SEC"), iv(-1)}, "f:1710423908.000"},
      {"DTIME", {fv(t), sv("DAY"), iv(1)}, "f:1710337507.000"},
      {"DTIME", {fv(t), sv("DAY"), fv(1.5)}, "f:1710337507.000"},
      {"DTIME", {fv(t), sv("DAY"), sv("2")}, "f:1710251107.000"},
      {"DTIME", {fv(t), sv("WK"), iv(2)}, "f:1709214307.000"},
      {"DTIME", {fv(t), sv("DAY")}, "f:1710423907.000"},
      {"DTIME", {fv(t + 0.25), sv("SEC"), iv(0)}, "f:1710423907.000"},
      {"DTIME", {fv(t + 0.9996), sv("SEC"), iv(0)}, "f:1710423908.000"},
      {"DTIME", {sv("1710423907"), sv("MIN"), iv(0)}, "f:1710423907.000"},
      // 31 March less a month is 31 February, which normalises into March.
      {"DTIME", {fv(1711886400), sv("MON"), iv(1)}, "f:1709380800.000"},
      {"DTIME", {fv(1680264000), sv("MON"), iv(1)}, "f:1677844800.000"},
      {"DTIME", {fv(1709164800), sv("YR"), iv(1)}, "f:1677628800.000"},
      {"DTIME", {fv(0), sv("SEC"), iv(-2147483647)}, "f:2147483647.000"},
  });
}

TEST(Dtime, Failures) {
  zone_scope utc("UTC");
  const double t = thursday;
  run_rows({
      {"DTIME", {fv(t)}, "#[RD]TIME:ARGS#"},
      {"DTIME", {}, "#[RD]TIME:ARGS#"},
      {"DTIME", {fv(t), sv("DAY"), iv(1), iv(2)}, "#[RD]TIME:ARGS#"},
      {"DTIME", {fv(t), sv("day")}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), sv("DAYS")}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), sv("")}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), iv(5)}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), anyval()}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), sv("DAY"), sv("x")}, "#[RD]TIME:IDX#"},
      {"DTIME", {fv(t), sv("DAY"), anyval()}, "#[RD]TIME:IDX#"},
      {"DTIME", {fv(t), sv("day"), sv("x")}, "#[RD]TIME:IDX#"},
      {"DTIME", {iv(-1), sv("DAY")}, "#BAD_TIME#"},
      {"DTIME", {iv(-1), sv("day")}, "#BAD_TIME#"},
      {"DTIME", {sv("abc"), sv("DAY")}, "#BAD_TIME#"},
      {"DTIME", {anyval(), sv("DAY")}, "#BAD_TIME#"},
      {"DTIME", {fv(NAN), sv("DAY")}, "#BAD_TIME#"},
      {"DTIME", {fv(1e300), sv("DAY")}, "#BAD_TIME#"},
      {"DTIME", {fv(0), sv("SEC"), iv(1)}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(2147483647), sv("SEC"), iv(-1)}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), sv("SEC"), iv(INT32_MIN)}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), sv("WK"), iv(INT32_MAX)}, "#[RD]TIME:ERR#"},
      {"DTIME", {fv(t), sv("YR"), iv(INT32_MIN)}, "#[RD]TIME:ERR#"},
      {"RTIME", {fv(t)}, "#[RD]TIME:ARGS#"},
      {"RTIME", {fv(t), sv("wk")}, "#[RD]TIME:ERR#"},
      {"RTIME", {fv(t), sv("WK"), sv("x")}, "#[RD]TIME:IDX#"},
      {"RTIME", {fv(-0.5), sv("WK")}, "#BAD_TIME#"},
      {"RTIME", {fv(t), sv("WK"), iv(INT32_MIN)}, "#[RD]TIME:ERR#"},
  });
}

TEST(Rtime, RoundsToTheStartOfEachUnit) {
  zone_scope utc("UTC");
  const double t = thursday + 0.75;  // milliseconds are dropped, not rounded into seconds
  run_rows({
      {"RTIME", {fv(t), sv("YR")}, "f:1704067200.000"},
      {"RTIME", {fv(t), sv("MON")}, "f:1709251200.000"},
      {"RTIME", {fv(t), sv("WK")}, "f:1710028800.000"},
      {"RTIME", {fv(t), sv("DAY")}, "f:1710374400.000"},
      {"RTIME", {fv(t), sv("HR")}, "f:1710421200.000"},
      {"RTIME", {fv(t), sv("MIN")}, "f:1710423900.000"},
      {"RTIME", {fv(t), sv("SEC")}, "f:1710423907.000"},
      {"RTIME", {fv(t), sv("YR"), iv(1)}, "f:1672531200.000"},
      {"RTIME", {fv(t), sv("MON"), iv(1)}, "f:1706745600.000"},
      {"RTIME", {fv(t), sv("WK"), iv(1)}, "f:1709424000.000"},
      {"RTIME", {fv(t), sv("DAY"), iv(1)}, "f:1710288000.000"},
      {"RTIME", {fv(t), sv("HR"), iv(1)}, "f:1710417600.000"},
      {"RTIME", {fv(t), sv("MIN"), iv(1)}, "f:1710423840.000"},
      {"RTIME", {fv(t), sv("SEC"), iv(1)}, "f:1710423906.000"},
      {"RTIME", {fv(t), sv("YR"), iv(-1)}, "f:1735689600.000"},
      // A Sunday is its own week start.
      {"RTIME", {fv(1710028800 + 3600), sv("WK")}, "f:1710028800.000"},
  });
}

// 31 March 2024 is a Sunday and the day the clocks go from 02:00 to 03:00.
TEST(Rtime, WeeksMonthsAndDaysAcrossTheSpringChange) {
  zone_scope zone(test::zone_cet);
  const double wednesday = 1712131200;  // 2024-04-03 10:00 local summer time
  run_rows({
      {"RTIME", {fv(wednesday), sv("WK")}, "f:1711839600.000"},
      {"RTIME", {fv(wednesday), sv("WK"), iv(1)}, "f:1711234800.000"},
      {"RTIME", {fv(wednesday), sv("WK"), iv(-1)}, "f:1712440800.000"},
      {"RTIME", {fv(wednesday), sv("MON")}, "f:1711922400.000"},
      {"RTIME", {fv(wednesday), sv("MON"), iv(1)}, "f:1709247600.000"},
      {"RTIME", {fv(wednesday), sv("MON"), iv(4)}, "f:1701385200.000"},
      {"RTIME", {fv(1711890000), sv("DAY")}, "f:1711839600.000"},
      // Noon on the Saturday plus one day is noon on Sunday, 23 hours later.
      {"DTIME", {fv(1711796400), sv("DAY"), iv(-1)}, "f:1711879200.000"},
      {"DTIME", {fv(1711879200), sv("DAY"), iv(1)}, "f:1711796400.000"},
  });
}

TEST(Timestr, FormatsWithMilliseconds) {
  zone_scope utc("UTC");
  const double t = thursday + 0.045;
  run_rows({
      {"TIMESTR", {sv("%H:%M:%S.%k"), fv(t)}, "s:13:45:07.045"},
      {"TIMESTR", {sv("%#k"), fv(t)}, "s:45"},
      {"TIMESTR", {sv("%k|%#k"), fv(thursday)}, "s:000|0"},
      {"TIMESTR", {sv("%S.%k"), fv(thursday + 0.9996)}, "s:08.000"},
      {"TIMESTR", {sv("%%k"), fv(t)}, "s:%k"},
      {"TIMESTR", {sv("%%%k"), fv(t)}, "s:%045"},
      {"TIMESTR", {sv("50%"), fv(t)}, "s:50"},
      {"TIMESTR", {sv("%H%#%"), fv(t)}, "s:13"},
      {"TIMESTR", {sv("%H%%"), fv(t)}, "s:13%"},
      {"TIMESTR", {sv("k%H %#%k"), fv(t)}, "s:k13 45"},
      {"TIMESTR", {sv("%j %U %W %w %y %#y"), fv(t)}, "s:074 10 11 4 24 24"},
      {"TIMESTR", {sv("%Y-%m-%d %#H:%M"), fv(t)}, "s:2024-03-14 13:45"},
      {"TIMESTR", {sv("%x %X"), fv(t)}, "s:03/14/24 13:45:07"},
      {"TIMESTR", {sv("%#x"), fv(t)}, "s:Thursday, March 14, 2024"},
      {"TIMESTR", {sv("%a %b %#d %#I%p, day %#j"), fv(t)}, "s:Thu Mar 14 1PM, day 74"},
      {"TIMESTR", {sv("%Y"), sv("0")}, "s:1970"},
      {"TIMESTR", {sv(""), fv(t)}, "s:"},
      {"TIMESTR", {sv(std::string(1023, 'a')), fv(t)}, ("s:" + std::string(1023, 'a')).c_str()},
      {"TIMESTR", {sv(std::string(1024, 'a')), fv(t)}, "s:"},
      {"TIMESTR", {sv(std::string(1020, 'a') + "%k"), fv(t)}, ("s:" + std::string(1020, 'a') + "045").c_str()},
      {"TIMESTR", {sv(std::string(1021, 'a') + "%k"), fv(t)}, "s:"},
      {"TIMESTR", {sv(std::string(1020, 'a') + "%#k"), fv(t)}, ("s:" + std::string(1020, 'a') + "45").c_str()},
  });
}

TEST(Timestr, Failures) {
  zone_scope utc("UTC");
  run_rows({
      {"TIMESTR", {sv("%Y")}, "#TIMESTR():ARGS"},
      {"TIMESTR", {sv("%Y"), fv(0), fv(0)}, "#TIMESTR():ARGS"},
      {"TIMESTR", {}, "#TIMESTR():ARGS"},
      {"TIMESTR", {iv(1), fv(0)}, "#TIMESTR():FMT#"},
      {"TIMESTR", {anyval(), fv(0)}, "#TIMESTR():FMT#"},
      {"TIMESTR", {sv("%Y"), anyval()}, "#TIMESTR():VAL#"},
      {"TIMESTR", {sv("%Y"), fv(-1)}, "#TIMESTR():ERR#"},
      {"TIMESTR", {sv("%Y"), sv("x")}, "#TIMESTR():ERR#"},
      {"TIMESTR", {sv("%Y"), fv(3e9)}, "#TIMESTR():ERR#"},
  });
}

TEST(Timestr, ZoneNamesAndLocalFields) {
  zone_scope zone(test::zone_cet);
  run_rows({
      {"TIMESTR", {sv("%H:%M %Z"), fv(1711846799)}, "s:01:59 CET"},
      {"TIMESTR", {sv("%H:%M %z"), fv(1711846800)}, "s:03:00 CEST"},
  });
}

// The same second again, after TZ alone changed (no tzset by the caller), is split in the
// new zone; and again, and back, in the zone in force each time.
TEST(Timestr, FollowsAChangedZoneForTheSameSecond) {
  zone_scope utc("UTC");
  const anyval_list args = {sv("%H:%M %Z"), fv(1711846799)};
  for (const auto& [zone, expected] : {std::pair{"UTC", "s:00:59 UTC"}, std::pair{test::zone_cet, "s:01:59 CET"},
                                       std::pair{"EST5EDT,M3.2.0,M11.1.0", "s:20:59 EDT"},
                                       std::pair{"UTC", "s:00:59 UTC"}}) {
    setenv("TZ", zone, 1);
    EXPECT_EQ(call_general("TIMESTR", args), expected) << zone;
  }
}

// TZ set, replaced, dropped and set again while another variable comes and goes after and
// before it (moving its place in the environment): each value is split in the zone in force,
// without TZ in the machine's own (null: as localtime_r gives it).
TEST(Timestr, FollowsTheZoneWhereverTheEnvironmentKeepsIt) {
  zone_scope utc("UTC");
  const std::time_t t = 1711846799;
  const std::pair<std::string, const char*> steps[] = {
      {"TZ=EST5EDT,M3.2.0,M11.1.0", "s:20:59"}, {"QUILLET_T=1", "s:20:59"}, {"-TZ", nullptr},
      {std::string("TZ=") + test::zone_cet, "s:01:59"}, {"-QUILLET_T", "s:01:59"}, {"TZ=UTC", "s:00:59"},
      {"QUILLET_T=2", "s:00:59"}, {"TZ=EST5EDT,M3.2.0,M11.1.0", "s:20:59"}};
  for (const auto& [change, expected] : steps) {
    const std::size_t eq = change.find('=');
    change[0] == '-' ? unsetenv(change.c_str() + 1) : setenv(change.substr(0, eq).c_str(), change.c_str() + eq + 1, 1);
    std::string local = "s:";
    if (!expected) {
      std::tm fields{};
      char text[8];
      tzset();
      local.append(text, std::strftime(text, sizeof text, "%H:%M", localtime_r(&t, &fields)));
    }
    const std::string got = call_general("TIMESTR", {sv("%H:%M"), fv(static_cast<double>(t))});
    EXPECT_EQ(got, expected ? expected : local) << change;
  }
  unsetenv("QUILLET_T");
}

}  // namespace
}  // namespace quillet
