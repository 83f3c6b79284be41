// FORMAT: one value printed by a printf format with exactly one conversion.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/crt/printf_format.h"
#include "txl/fn_time.h"

namespace quillet {

namespace {

// Output longer than this is cut, as the formatter's 1024-byte buffer cut it.
constexpr std::size_t format_output_limit = 1023;

enum class value_class { none, integer, number, string };

struct located_conversion {
  std::size_t size_at = 0;  // index of the size letter, or npos
  value_class kind = value_class::none;
};

// Finds the first "%" that is not half of "%%" and reads past flags, width and precision
// ("+-# 0123456789.") and an optional size letter ("l", "L", "h") to the conversion letter,
// which decides how the value is read: "diuXx" as an integer, "eEfgG" as a number, "s" as a
// string. A wide string ("ls", "Ls") has no reading here. Kind none when there is none.
bool is_spec_char(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '#' || c == ' ' || c == '.';
}

located_conversion locate_conversion(std::string_view f) {
  located_conversion found;
  std::size_t i = 0;
  while (i < f.size() && !(f[i] == '%' && (i + 1 >= f.size() || f[i + 1] != '%')))
    i += f[i] == '%' ? 2 : 1;
  if (i >= f.size())
    return found;
  ++i;
  while (i < f.size() && is_spec_char(f[i]))
    ++i;
  if (i >= f.size())
    return found;
  found.size_at = f[i] == 'l' || f[i] == 'L' || f[i] == 'h' ? i++ : std::string_view::npos;
  if (i >= f.size())
    return found;
  bool wide = found.size_at != std::string_view::npos && f[found.size_at] != 'h';
  char c = f[i];
  if (c == 'd' || c == 'i' || c == 'u' || c == 'X' || c == 'x')
    found.kind = value_class::integer;
  else if (c == 'e' || c == 'E' || c == 'f' || c == 'g' || c == 'G')
    found.kind = value_class::number;
  else if (c == 's' && !wide)
    found.kind = value_class::string;
  return found;
}

// The format as the formatter takes it: a size letter that changes nothing here is dropped
// ("l" and "L" on 32-bit integers, any size on doubles); "h" on integers stays, since it
// reduces the value to 16 bits.
// The text is the format itself when nothing is dropped, or `storage` holding the copy.
std::string_view formatter_text(std::string_view f, const located_conversion& c, std::string& storage) {
  if (c.size_at == std::string_view::npos)
    return f;
  bool keeps = c.kind != value_class::number && f[c.size_at] == 'h';
  if (keeps)
    return f;
  storage.assign(f);
  storage.erase(c.size_at, 1);
  return storage;
}

// Formats the value by its class; false when it does not convert or the formatter refuses
// the format (a second conversion, a "*" width, a width beyond its limit).
bool format_value(std::string_view f, value_class kind, const anyval& value, std::string& out) {
  switch (kind) {
    case value_class::integer: {
      std::int32_t v = 0;
      return value.to_int(v) && crt::format_int(f, v, out);
    }
    case value_class::number: {
      double v = 0.0;
      return value.to_double(v) && crt::format_double(f, v, out);
    }
    case value_class::string: {
      const std::string* s = value.as_string();
      return s && crt::format_string(f, *s, out);
    }
    case value_class::none: return false;
  }
  return false;
}

}  // namespace

// FORMAT(format, value): the text printf gives for the format with that one value, cut to
// 1023 bytes and at the first zero byte. The format ends at its own first zero byte.
bool xfn_format_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2)
    return call.fail("#FORMAT():ARGS#");
  const std::string* format = call.arg(0).as_string();
  if (!format)
    return call.fail("#FORMAT():FMT#");
  if (call.arg(1).empty())
    return call.fail("#FORMAT():VAL");
  std::string_view f(format->c_str());
  located_conversion conversion = locate_conversion(f);
  std::string storage;
  std::string text;
  if (!format_value(formatter_text(f, conversion, storage), conversion.kind, call.arg(1), text))
    return call.fail("#FORMAT():ERR#");
  std::size_t cut = std::min(text.find('\0'), format_output_limit);
  if (cut < text.size())
    text.resize(cut);
  call.result.set_string(text);
  return true;
}

}  // namespace quillet
