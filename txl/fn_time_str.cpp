// TIMESTR: a time value printed by a strftime format, with %k for its milliseconds.
#include <string>
#include <string_view>

#include "platform/crt/strftime.h"
#include "txl/fn_time.h"
#include "txl/time_value.h"

namespace quillet {

namespace {

// The milliseconds (0 to 999) as "%.3d" prints them, or as "%d" when trim is set.
std::string_view millis_digits(int millis, bool trim, char (&buf)[4]) {
  buf[0] = static_cast<char>('0' + millis / 100);
  buf[1] = static_cast<char>('0' + millis / 10 % 10);
  buf[2] = static_cast<char>('0' + millis % 10);
  std::size_t skip = !trim ? 0 : millis >= 100 ? 0 : millis >= 10 ? 1 : 2;
  return std::string_view(buf + skip, 3 - skip);
}

// The format with the millisecond directives replaced, read left to right: "%%" stays as
// it is and starts nothing, "%k" becomes three digits, "%#k" the number without leading
// zeros, and a lone "%" at the very end is dropped. Everything else is copied, a run at a
// time. The text is made in `out`, whose room a report's calls reuse.
void expand_millis(const std::string& format, int millis, std::string& out) {
  char buf[4];
  out.clear();
  std::size_t n = format.size();
  std::size_t run = 0;  // start of the run not yet copied
  for (std::size_t i = format.find('%'); i < n; i = format.find('%', i)) {
    out.append(format, run, i - run);
    run = i;
    if (i + 1 == n)
      return;
    char next = format[i + 1];
    bool alt_k = next == '#' && i + 2 < n && format[i + 2] == 'k';
    if (next != 'k' && !alt_k) {
      i += next == '%' ? 2 : 1;
      continue;
    }
    out.append(millis_digits(millis, alt_k, buf));
    i += alt_k ? 3 : 2;
    run = i;
  }
  out.append(format, run, std::string::npos);
}

// Whether expanding changes the format: only a format with a 'k' can hold a millisecond
// directive, and only one ending in '%' can end in a lone one.
bool needs_expansion(const std::string& format) {
  return format.find('k') != std::string::npos || (!format.empty() && format.back() == '%');
}

}  // namespace

// TIMESTR(format, time): the formatted text; text longer than 1023 bytes gives "".
bool xfn_timestr_call(txl_cookie, txl_call& call) {
  const anyval_list& args = call.arg_list();
  if (args.size() != 2)
    return call.fail("#TIMESTR():ARGS");
  const std::string* format = args[0].as_string();
  if (!format)
    return call.fail("#TIMESTR():FMT#");
  if (args[1].empty())
    return call.fail("#TIMESTR():VAL#");
  double time = 0.0;
  std::tm fields{};
  int millis = 0;
  if (!value_as_time(args[1], time) || !time_to_local(time, fields, millis))
    return call.fail("#TIMESTR():ERR#");
  const char* directives = format->c_str();
  if (needs_expansion(*format)) {
    thread_local std::string expanded;
    expand_millis(*format, millis, expanded);
    directives = expanded.c_str();
  }
  char text[1024];
  std::size_t length = crt::strftime(text, sizeof text, directives, fields);
  call.text_result().assign(text, length);
  return true;
}

}  // namespace quillet
