// Parsing export times, fast enough for millions of rows: the local offset is looked up once
// per hour of local time.
#include "data/historian/hist_time.h"

#include <charconv>
#include <cmath>
#include <ctime>

namespace quillet {

namespace {

// Reads exactly `n` digits at `p`.
bool digits(std::string_view s, std::size_t& p, int n, int& out) {
  if (p + n > s.size())
    return false;
  out = 0;
  for (int i = 0; i < n; ++i) {
    const char c = s[p + i];
    if (c < '0' || c > '9')
      return false;
    out = out * 10 + (c - '0');
  }
  p += n;
  return true;
}

bool all_digits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; }

// Epoch seconds with an optional fraction, or milliseconds as twelve or more digits.
bool parse_epoch(std::string_view text, std::int64_t& ms) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) {
    std::int64_t n = 0;
    if (!all_digits(text) || text.size() > 15 || std::from_chars(text.data(), text.data() + text.size(), n).ec != std::errc())
      return false;
    ms = text.size() >= 12 ? n : n * 1000;
    return true;
  }
  if (!all_digits(text.substr(0, dot)) || (dot + 1 < text.size() && !all_digits(text.substr(dot + 1))) || dot > 11)
    return false;
  double x = 0.0;
  if (std::from_chars(text.data(), text.data() + text.size(), x).ec != std::errc())
    return false;
  ms = std::llround(x * 1000.0);
  return true;
}

// A fraction of a second after the dot, rounded to milliseconds.
bool fraction_ms(std::string_view s, std::size_t& p, int& ms) {
  ms = 0;
  if (p >= s.size() || (s[p] != '.' && s[p] != ','))
    return true;
  ++p;
  double scale = 100.0, total = 0.0;
  const std::size_t start = p;
  for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p, scale /= 10.0)
    total += (s[p] - '0') * scale;
  ms = static_cast<int>(std::lround(total));
  return p > start;
}

// A zone suffix: Z, or +HH, +HHMM, +HH:MM (and -); `has` false when there is none.
bool zone_offset(std::string_view s, std::size_t& p, bool& has, int& seconds) {
  has = false;
  seconds = 0;
  if (p == s.size())
    return true;
  has = true;
  if (s[p] == 'Z' || s[p] == 'z')
    return ++p == s.size();
  if (s[p] != '+' && s[p] != '-')
    return false;
  const int sign = s[p++] == '-' ? -1 : 1;
  int h = 0, m = 0;
  if (!digits(s, p, 2, h))
    return false;
  if (p < s.size() && s[p] == ':')
    ++p;
  if (p < s.size() && !digits(s, p, 2, m))
    return false;
  seconds = sign * (h * 3600 + m * 60);
  return p == s.size() && h <= 23 && m <= 59;
}

}  // namespace

std::int64_t hist_days_from_civil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool hist_time_parser::parse(std::string_view text, std::int64_t& ms) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  if (text.size() >= 10 && text[4] == '-')
    return parse_iso(text, ms);
  return parse_epoch(text, ms);
}

std::int64_t hist_time_parser::local_hour(int year, int month, int day, int hour) {
  if (cached_[0] == year && cached_[1] == month && cached_[2] == day && cached_[3] == hour)
    return cached_start_;
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_isdst = -1;
  cached_start_ = static_cast<std::int64_t>(std::mktime(&t));
  cached_[0] = year, cached_[1] = month, cached_[2] = day, cached_[3] = hour;
  return cached_start_;
}

// YYYY-MM-DD[(T| )HH:MM[:SS[.fff]]][zone].
bool hist_time_parser::parse_iso(std::string_view s, std::int64_t& ms) {
  std::size_t p = 0;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, frac = 0, offset = 0;
  if (!digits(s, p, 4, y) || s[p++] != '-' || !digits(s, p, 2, mo) || p >= s.size() || s[p++] != '-' ||
      !digits(s, p, 2, d))
    return false;
  if (p < s.size() && (s[p] == 'T' || s[p] == ' ')) {
    ++p;
    if (!digits(s, p, 2, h) || p >= s.size() || s[p++] != ':' || !digits(s, p, 2, mi))
      return false;
    if (p < s.size() && s[p] == ':' && !(++p, digits(s, p, 2, sec) && fraction_ms(s, p, frac)))
      return false;
  }
  bool zoned = false;
  if (!zone_offset(s, p, zoned, offset))
    return false;
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 60)
    return false;
  const std::int64_t minute_sec = mi * 60 + sec;
  const std::int64_t start = zoned ? hist_days_from_civil(y, mo, d) * 86400 + h * 3600 - offset : local_hour(y, mo, d, h);
  ms = (start + minute_sec) * 1000 + frac;
  return true;
}

}  // namespace quillet
