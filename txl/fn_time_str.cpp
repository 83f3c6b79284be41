// TIMESTR: a time value printed by a strftime format, with %k for its milliseconds.
#include <cstdio>
#include <string>

#include "platform/crt/strftime.h"
#include "txl/fn_time.h"
#include "txl/time_value.h"

namespace quillet {

namespace {

// The format with the millisecond directives replaced, read left to right: "%%" stays as
// it is and starts nothing, "%k" becomes three digits, "%#k" the number without leading
// zeros, and a lone "%" at the very end is dropped. Everything else is copied.
std::string expand_millis(const std::string& format, int millis) {
  char digits[2][8];
  std::snprintf(digits[0], sizeof digits[0], "%.3d", millis);
  std::snprintf(digits[1], sizeof digits[1], "%d", millis);
  std::string out;
  std::size_t n = format.size();
  for (std::size_t i = 0; i < n; ++i) {
    char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 == n)
      break;
    if (format[i + 1] == '%') {
      out += "%%";
      ++i;
    } else if (format[i + 1] == 'k') {
      out += digits[0];
      ++i;
    } else if (format[i + 1] == '#' && i + 2 < n && format[i + 2] == 'k') {
      out += digits[1];
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

// TIMESTR(format, time): the formatted text; text longer than 1023 bytes gives "".
bool xfn_timestr_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2)
    return call.fail("#TIMESTR():ARGS");
  const std::string* format = call.arg(0).as_string();
  if (!format)
    return call.fail("#TIMESTR():FMT#");
  if (call.arg(1).empty())
    return call.fail("#TIMESTR():VAL#");
  double time = 0.0;
  std::tm fields{};
  int millis = 0;
  if (!value_as_time(call.arg(1), time) || !time_to_local(time, fields, millis))
    return call.fail("#TIMESTR():ERR#");
  char text[1024];
  std::size_t length = crt::strftime(text, sizeof text, expand_millis(*format, millis).c_str(), fields);
  call.result.set_string(text, length);
  return true;
}

}  // namespace quillet
