// Time formatting with the original platform's C-locale texts and its "#" flag.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/crt/strftime.h"
#include "tests/zone_scope.h"

namespace quillet::crt {
namespace {

using test::zone_scope;

// Calendar fields as localtime would fill them, without a zone name.
std::tm make_fields(int year, int month, int mday, int hour, int min, int sec, int wday, int yday) {
  std::tm f{};
  f.tm_year = year - 1900;
  f.tm_mon = month - 1;
  f.tm_mday = mday;
  f.tm_hour = hour;
  f.tm_min = min;
  f.tm_sec = sec;
  f.tm_wday = wday;
  f.tm_yday = yday;
  return f;
}

std::string format_fields(const char* format, const std::tm& f, std::size_t max = 1024) {
  std::string buf(max, 'x');
  std::size_t n = strftime(buf.data(), max, format, f);
  EXPECT_EQ(buf.c_str(), buf.substr(0, n)) << "the text ends with a zero";
  return buf.substr(0, n);
}

struct format_row {
  const char* format;
  const char* expected;
};

TEST(Strftime, DirectivesOnATuesdayAfternoon) {
  const std::tm f = make_fields(1995, 3, 14, 13, 45, 7, 2, 72);
  const format_row rows[] = {
      {"%a %A %b %B", "Tue Tuesday Mar March"},
      {"%x", "03/14/95"},
      {"%#x", "Tuesday, March 14, 1995"},
      {"%X", "13:45:07"},
      {"%c", "03/14/95 13:45:07"},
      {"%#c", "Tuesday, March 14, 1995 13:45:07"},
      {"%I %#I %p", "01 1 PM"},
      {"%j %U %W %w", "073 11 11 2"},
      {"%y %Y", "95 1995"},
      {"at %H:%M, 100%%", "at 13:45, 100%"},
      {"%#a %#B %#p", "Tue March PM"},
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.format);
    EXPECT_EQ(format_fields(row.format, f), row.expected);
  }
}

TEST(Strftime, HashFlagDropsLeadingZeros) {
  const std::tm f = make_fields(2007, 1, 5, 9, 3, 4, 5, 4);
  const format_row rows[] = {
      {"%d|%#d", "05|5"},   {"%H|%#H", "09|9"},   {"%I|%#I", "09|9"},  {"%j|%#j", "005|5"},
      {"%m|%#m", "01|1"},   {"%M|%#M", "03|3"},   {"%S|%#S", "04|4"},  {"%U|%#U", "00|0"},
      {"%w|%#w", "5|5"},    {"%W|%#W", "01|1"},   {"%y|%#y", "07|7"},  {"%Y|%#Y", "2007|2007"},
      {"%#x", "Friday, January 05, 2007"},
      {"%#c", "Friday, January 05, 2007 09:03:04"},
      {"%x %X", "01/05/07 09:03:04"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.format);
    EXPECT_EQ(format_fields(row.format, f), row.expected);
  }
}

TEST(Strftime, UnknownAndUnfinishedDirectivesPrintNothing) {
  const std::tm f = make_fields(1995, 3, 14, 13, 45, 7, 2, 72);
  const format_row rows[] = {
      {"a%qb", "ab"},        {"%e%D%T%F%n%t%C%G%V%u%s", ""}, {"100%", "100"},
      {"100%#", "100"},      {"%#%", "%"},                   {"%Ex|%Od", "x|d"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.format);
    EXPECT_EQ(format_fields(row.format, f), row.expected);
  }
}

// The numeric directives whose C-locale text glibc shares must agree with it on every day
// of a leap year and of a year starting on a Sunday.
TEST(Strftime, NumericFieldsAgreeWithTheCLibrary) {
  zone_scope utc("UTC");
  const char* formats[] = {"%a %A %b %B %d %H %I %j %m %M %p %S %U %w %W %y %Y", "%X"};
  for (std::time_t day = 946684800; day < 946684800 + 2 * 366 * 86400; day += 86400 + 3661) {
    std::tm f{};
    ASSERT_TRUE(gmtime_r(&day, &f));
    for (const char* format : formats) {
      char expected[128];
      std::size_t n = std::strftime(expected, sizeof expected, format, &f);
      SCOPED_TRACE(std::string(format) + " at " + std::to_string(day));
      EXPECT_EQ(format_fields(format, f), std::string(expected, n));
    }
  }
}

TEST(Strftime, ZoneNameFollowsDaylightSaving) {
  zone_scope zone(test::zone_cet);
  const struct {
    std::time_t when;
    const char* expected;
  } rows[] = {
      {1704067200, "CET|CET"},    // 2024-01-01
      {1719792000, "CEST|CEST"},  // 2024-07-01
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    std::tm f{};
    ASSERT_TRUE(localtime_r(&row.when, &f));
    EXPECT_EQ(format_fields("%Z|%z", f), row.expected);
    f.tm_zone = nullptr;  // fields made by hand: the zone's own names
    EXPECT_EQ(format_fields("%Z|%#z", f), row.expected);
  }
}

TEST(Strftime, TextThatDoesNotFitGivesNothing) {
  const std::tm f = make_fields(1995, 3, 14, 13, 45, 7, 2, 72);
  const struct {
    const char* format;
    std::size_t max;
    const char* expected;
    std::size_t length;
  } rows[] = {
      {"%Y", 5, "1995", 4},  {"%Y", 4, "", 0},    {"%Y!", 5, "", 0}, {"abcd", 5, "abcd", 4},
      {"abcde", 5, "", 0},   {"%#c", 33, "Tuesday, March 14, 1995 13:45:07", 32},
      {"%#c", 32, "", 0},    {"", 1, "", 0},      {"ab%d", 5, "ab14", 4}, {"ab%d", 4, "", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.format) + " in " + std::to_string(row.max));
    std::string buf(row.max, 'x');
    EXPECT_EQ(strftime(buf.data(), row.max, row.format, f), row.length);
    EXPECT_STREQ(buf.c_str(), row.expected);
  }
  char untouched = 'x';
  EXPECT_EQ(strftime(&untouched, 0, "%Y", f), 0u);
  EXPECT_EQ(untouched, 'x');
}

}  // namespace
}  // namespace quillet::crt
