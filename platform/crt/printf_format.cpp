// Parsing of a one-conversion format text, and the integer and string conversions.
#include "platform/crt/printf_format.h"

#include <algorithm>

#include "platform/crt/format_field.h"
#include "platform/crt/int_conversion.h"

namespace quillet::crt {

namespace {

bool set_flag(char c, conversion_spec& spec) {
  switch (c) {
  case '-': spec.left = true; return true;
  case '+': spec.plus = true; return true;
  case ' ': spec.space = true; return true;
  case '#': spec.alt = true; return true;
  case '0': spec.zero = true; return true;
  default: return false;
  }
}

// Reads a decimal number of at most format_limit; false when it is larger.
bool read_count(std::string_view f, std::size_t& i, int& out) {
  out = 0;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
    out = out * 10 + (f[i] - '0');
    if (out > format_limit)
      return false;
    ++i;
  }
  return true;
}

// Whether a length modifier may go with a conversion: 'h' with integers and narrow
// strings, 'l' with integers and floats (a wide "%ls"/"%lc" has no argument here),
// 'L' with floats only.
bool length_fits(char length, char conversion) {
  switch (length) {
  case 0: return true;
  case 'h': return is_int_conversion(conversion) || conversion == 's';
  case 'l': return (is_int_conversion(conversion) && conversion != 'c') || is_float_conversion(conversion);
  case 'L': return is_float_conversion(conversion);
  default: return false;
  }
}

// Parses the conversion starting at f[i] == '%' (not "%%"); false when it is malformed.
bool parse_conversion_at(std::string_view f, std::size_t i, conversion_spec& spec) {
  spec = conversion_spec{};
  spec.begin = i++;
  while (i < f.size() && set_flag(f[i], spec))
    ++i;
  if (!read_count(f, i, spec.width))
    return false;
  if (i < f.size() && f[i] == '.') {
    ++i;
    if (!read_count(f, i, spec.precision))
      return false;
  }
  if (i < f.size() && (f[i] == 'h' || f[i] == 'l' || f[i] == 'L'))
    spec.length = f[i++];
  if (i >= f.size())
    return false;
  spec.conversion = f[i++];
  spec.end = i;
  bool known = is_int_conversion(spec.conversion) || is_float_conversion(spec.conversion) ||
               is_string_conversion(spec.conversion);
  return known && length_fits(spec.length, spec.conversion);
}

// Splits a format around its conversion, checking the conversion's kind.
bool prepare(std::string_view format, bool (*kind)(char), conversion_spec& spec) {
  return parse_single_conversion(format, spec) && kind(spec.conversion);
}

void append_around(std::string_view format, const conversion_spec& spec, std::string& out,
                   std::string_view converted) {
  append_literal(format.substr(0, spec.begin), out);
  out += converted;
  append_literal(format.substr(spec.end), out);
}

}  // namespace

void append_literal(std::string_view text, std::string& out) {
  for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%')) {
    out.append(text.substr(0, at + 1));
    text.remove_prefix(std::min(at + 2, text.size()));
  }
  out.append(text);
}

bool is_int_conversion(char c) {
  return c == 'd' || c == 'i' || c == 'u' || c == 'o' || c == 'x' || c == 'X' || c == 'c';
}

bool is_float_conversion(char c) { return c == 'e' || c == 'E' || c == 'f' || c == 'g' || c == 'G'; }

bool is_string_conversion(char c) { return c == 's'; }

bool parse_single_conversion(std::string_view format, conversion_spec& out) {
  bool found = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%')
      continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    if (found || !parse_conversion_at(format, i, out))
      return false;
    found = true;
    i = out.end - 1;
  }
  return found;
}

void append_field(const conversion_spec& spec, std::string_view prefix, std::string_view body,
                  std::string& out) {
  std::size_t length = prefix.size() + body.size();
  std::size_t pad = spec.width > 0 && static_cast<std::size_t>(spec.width) > length ? spec.width - length : 0;
  if (!spec.left && !spec.zero)
    out.append(pad, ' ');
  out += prefix;
  if (!spec.left && spec.zero)
    out.append(pad, '0');
  out += body;
  if (spec.left)
    out.append(pad, ' ');
}

void pad_field_in_place(const conversion_spec& spec, std::size_t prefix_size, std::size_t start,
                        std::string& out) {
  std::size_t length = out.size() - start;
  if (spec.width <= 0 || static_cast<std::size_t>(spec.width) <= length)
    return;
  std::size_t pad = spec.width - length;
  if (spec.left)
    out.append(pad, ' ');
  else if (spec.zero)
    out.insert(start + prefix_size, pad, '0');
  else
    out.insert(start, pad, ' ');
}

void format_int_spec(const conversion_spec& spec, std::int32_t value, std::string& out) {
  if (spec.conversion != 'c') {
    format_int_direct(spec, value, out);
    return;
  }
  char byte = static_cast<char>(value);
  append_field(spec, {}, std::string_view(&byte, 1), out);
}

void format_string_spec(const conversion_spec& spec, std::string_view value, std::string& out) {
  std::string_view text = value.substr(0, value.find('\0'));
  if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision))
    text = text.substr(0, spec.precision);
  append_field(spec, {}, text, out);
}

bool format_int(std::string_view format, std::int32_t value, std::string& out) {
  conversion_spec spec;
  if (!prepare(format, is_int_conversion, spec))
    return false;
  std::string converted;
  format_int_spec(spec, value, converted);
  append_around(format, spec, out, converted);
  return true;
}

bool format_double(std::string_view format, double value, std::string& out) {
  conversion_spec spec;
  if (!prepare(format, is_float_conversion, spec))
    return false;
  append_literal(format.substr(0, spec.begin), out);
  format_double_spec(spec, value, out);
  append_literal(format.substr(spec.end), out);
  return true;
}

bool format_string(std::string_view format, std::string_view value, std::string& out) {
  conversion_spec spec;
  if (!prepare(format, is_string_conversion, spec))
    return false;
  std::string converted;
  format_string_spec(spec, value, converted);
  append_around(format, spec, out, converted);
  return true;
}

}  // namespace quillet::crt
