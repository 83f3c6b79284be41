// Report times and extensions given on the command line.
#include "app/option_values.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace quillet::app {

namespace {

// The calendar fields of a local time as written, before any range check.
struct written_time {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Reads YYYY-MM-DD, optionally followed by THH:MM and :SS; false when the text has another shape.
bool read_fields(const std::string& text, written_time& t) {
  int used = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &t.year, &t.month, &t.day, &used) != 3 || text[0] == '-')
    return false;
  if (used < static_cast<int>(text.size())) {
    int more = 0;
    if (std::sscanf(text.c_str() + used, "T%2d:%2d%n", &t.hour, &t.minute, &more) != 2)
      return false;
    used += more;
    if (used < static_cast<int>(text.size()) && std::sscanf(text.c_str() + used, ":%2d%n", &t.second, &more) == 1)
      used += more;
  }
  return used == static_cast<int>(text.size());
}

int days_in_month(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

// The first field out of its range, as a sentence fragment; empty when all are in range.
std::string field_fault(const written_time& t) {
  char why[96] = "";
  if (t.year < 1970 || t.year > 2106)
    std::snprintf(why, sizeof why, "year %d is not from 1970 to 2106", t.year);
  else if (t.month < 1 || t.month > 12)
    std::snprintf(why, sizeof why, "month %d is not from 1 to 12", t.month);
  else if (t.day < 1 || t.day > days_in_month(t.year, t.month))
    std::snprintf(why, sizeof why, "day %d is not from 1 to %d", t.day, days_in_month(t.year, t.month));
  else if (t.hour < 0 || t.hour > 23)
    std::snprintf(why, sizeof why, "hour %d is not from 0 to 23", t.hour);
  else if (t.minute < 0 || t.minute > 59)
    std::snprintf(why, sizeof why, "minute %d is not from 0 to 59", t.minute);
  else if (t.second < 0 || t.second > 59)
    std::snprintf(why, sizeof why, "second %d is not from 0 to 59", t.second);
  return why;
}

}  // namespace

bool parse_report_time(const std::string& text, std::uint32_t& out, std::string& why) {
  why.clear();
  if (!text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos) {
    unsigned long long n = std::strtoull(text.c_str(), nullptr, 10);
    out = static_cast<std::uint32_t>(n);
    if (n > 0xFFFFFFFFull)
      why = "seconds past 4294967295";
    return why.empty();
  }
  written_time t;
  if (!read_fields(text, t))
    return false;
  why = field_fault(t);
  if (!why.empty())
    return false;
  std::tm fields{};
  fields.tm_year = t.year - 1900;
  fields.tm_mon = t.month - 1;
  fields.tm_mday = t.day;
  fields.tm_hour = t.hour;
  fields.tm_min = t.minute;
  fields.tm_sec = t.second;
  fields.tm_isdst = -1;
  std::time_t seconds = std::mktime(&fields);
  if (seconds < 0 || seconds > 0xFFFFFFFFll) {
    why = "the time is before 1970 or after 2106";
    return false;
  }
  out = static_cast<std::uint32_t>(seconds);
  return true;
}

bool parse_report_time(const std::string& text, std::uint32_t& out) {
  std::string why;
  return parse_report_time(text, out, why);
}

std::string report_extension(const std::string& text) {
  if (text.empty() || text[0] == '.')
    return text;
  return "." + text;
}

}  // namespace quillet::app
