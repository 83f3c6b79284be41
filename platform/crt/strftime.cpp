// Time formatting with the C-locale texts of the original platform: "%x" is 03/14/95, "%#x"
// is "Tuesday, March 14, 1995", "%c" and "%#c" add the time as 13:45:07, and "#" on a numeric
// directive drops its leading zeros. Every directive is expanded here; glibc only supplies the
// zone name through the fields it filled in.
#include "platform/crt/strftime.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/crt/digit_pairs.h"

namespace quillet::crt {

namespace {

const char* const day_abbr[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const day_full[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                 "Saturday"};
const char* const month_abbr[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const month_full[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};

// The name at index in a table of count names; "?" for fields outside the calendar, which
// only hand-made fields can hold.
const char* name_at(const char* const* names, int count, int index) {
  return index >= 0 && index < count ? names[index] : "?";
}

// Writes the output straight into the caller's buffer and notes when it no longer fits;
// text beyond the limit is not kept.
struct time_writer {
  char* out;
  std::size_t limit;
  std::size_t used = 0;
  bool overflow = false;

  // The pieces are a few bytes (names, digits, literal bytes), copied without a library call.
  void put(std::string_view s) {
    if (overflow || s.size() > limit - used) {
      overflow = true;
      return;
    }
    char* o = out + used;
    for (char c : s)
      *o++ = c;
    used += s.size();
  }
  void put(char c) {
    if (overflow || used == limit) {
      overflow = true;
      return;
    }
    out[used++] = c;
  }
  // Two digits of a number from 0 to 99, the most common field.
  void put_pair(int value) {
    if (overflow || limit - used < 2) {
      overflow = true;
      return;
    }
    std::memcpy(out + used, &digit_pairs[2 * static_cast<std::size_t>(value)], 2);
    used += 2;
  }
  // A number at least digits wide, zeros after the sign making up the width as printf's
  // "%0*lld" does, or with no leading zeros when trim is set.
  void number(std::int64_t value, int digits, bool trim) {
    if (digits == 2 && !trim && value >= 0 && value < 100) {
      put_pair(static_cast<int>(value));
      return;
    }
    if (digits <= 4 && value >= 1000 && value < 10000) {  // a year
      put_pair(static_cast<int>(value / 100));
      put_pair(static_cast<int>(value % 100));
      return;
    }
    number_at_length(value, digits, trim);
  }
  // number() for any other width, sign or trim.
  [[gnu::noinline]] void number_at_length(std::int64_t value, int digits, bool trim) {
    char buf[48];
    char* end = std::to_chars(buf + 24, buf + sizeof buf, value).ptr;
    char* start = buf + 24;
    bool negative = value < 0;
    if (negative)
      ++start;
    int width = trim ? 1 : digits;
    while (end - start + negative < width && start > buf + 1)
      *--start = '0';
    if (negative)
      *--start = '-';
    put(std::string_view(start, static_cast<std::size_t>(end - start)));
  }
};

// The zone name for the fields: the abbreviation the C library stored with them, else the
// name of standard or daylight time in force.
const char* zone_name(const std::tm& fields) {
  if (fields.tm_zone && *fields.tm_zone)
    return fields.tm_zone;
  tzset();
  return tzname[fields.tm_isdst > 0 ? 1 : 0];
}

// Week of the year, weeks starting on the given weekday (0 Sunday, 1 Monday); days before
// the year's first such weekday are in week 0.
std::int64_t week_of_year(const std::tm& f, int first_weekday) {
  std::int64_t days_into_week = ((static_cast<std::int64_t>(f.tm_wday) - first_weekday) % 7 + 7) % 7;
  return (static_cast<std::int64_t>(f.tm_yday) + 7 - days_into_week) / 7;
}

std::int64_t full_year(const std::tm& f) { return static_cast<std::int64_t>(f.tm_year) + 1900; }

// 13:45:07
void put_time(time_writer& w, const std::tm& f) {
  w.number(f.tm_hour, 2, false);
  w.put(":");
  w.number(f.tm_min, 2, false);
  w.put(":");
  w.number(f.tm_sec, 2, false);
}

// 03/14/95
void put_short_date(time_writer& w, const std::tm& f) {
  w.number(static_cast<std::int64_t>(f.tm_mon) + 1, 2, false);
  w.put("/");
  w.number(f.tm_mday, 2, false);
  w.put("/");
  w.number((full_year(f) % 100 + 100) % 100, 2, false);
}

// Tuesday, March 14, 1995
void put_long_date(time_writer& w, const std::tm& f) {
  w.put(name_at(day_full, 7, f.tm_wday));
  w.put(", ");
  w.put(name_at(month_full, 12, f.tm_mon));
  w.put(" ");
  w.number(f.tm_mday, 2, false);
  w.put(", ");
  w.number(full_year(f), 4, false);
}

// Expands one directive letter; alt is the "#" flag. Letters outside the set print nothing.
void expand(time_writer& w, char letter, bool alt, const std::tm& f) {
  switch (letter) {
    case 'a': return w.put(name_at(day_abbr, 7, f.tm_wday));
    case 'A': return w.put(name_at(day_full, 7, f.tm_wday));
    case 'b': return w.put(name_at(month_abbr, 12, f.tm_mon));
    case 'B': return w.put(name_at(month_full, 12, f.tm_mon));
    case 'c':
      alt ? put_long_date(w, f) : put_short_date(w, f);
      w.put(" ");
      return put_time(w, f);
    case 'd': return w.number(f.tm_mday, 2, alt);
    case 'H': return w.number(f.tm_hour, 2, alt);
    case 'I': return w.number(f.tm_hour % 12 == 0 ? 12 : f.tm_hour % 12, 2, alt);
    case 'j': return w.number(static_cast<std::int64_t>(f.tm_yday) + 1, 3, alt);
    case 'm': return w.number(static_cast<std::int64_t>(f.tm_mon) + 1, 2, alt);
    case 'M': return w.number(f.tm_min, 2, alt);
    case 'p': return w.put(f.tm_hour < 12 ? "AM" : "PM");
    case 'S': return w.number(f.tm_sec, 2, alt);
    case 'U': return w.number(week_of_year(f, 0), 2, alt);
    case 'w': return w.number(f.tm_wday, 1, alt);
    case 'W': return w.number(week_of_year(f, 1), 2, alt);
    case 'x': return alt ? put_long_date(w, f) : put_short_date(w, f);
    case 'X': return put_time(w, f);
    case 'y': return w.number((full_year(f) % 100 + 100) % 100, 2, alt);
    case 'Y': return w.number(full_year(f), 4, alt);
    case 'z':
    case 'Z': return w.put(zone_name(f));
    case '%': return w.put("%");
    default: return;
  }
}

}  // namespace

// Walks the format once; a "%" or "%#" at the very end ends the output instead of reading
// past the format.
std::size_t strftime(char* out, std::size_t max, const char* format, const std::tm& fields) {
  if (max == 0)
    return 0;
  time_writer w{out, max - 1};
  for (const char* p = format; *p && !w.overflow; ++p) {
    if (*p != '%') {
      w.put(*p);
      continue;
    }
    bool alt = p[1] == '#';
    p += alt ? 2 : 1;
    if (!*p)
      break;
    expand(w, *p, alt, fields);
  }
  if (w.overflow) {
    out[0] = '\0';
    return 0;
  }
  out[w.used] = '\0';
  return w.used;
}

}  // namespace quillet::crt
