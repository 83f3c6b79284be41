// The value-format builder: a format specification for FORMAT composed from controls
// (alignment, sign, alternate form, zero fill, width, precision, conversion), and a typed
// specification shown in the controls only when they can represent it exactly.
#include "editor/builders/builder_parts.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

struct format_parts {
  bool leading_text = false;
  bool repeated_flag = false;
  bool second_zero = false;  // a "0" leading the width after the pad flag, or the precision
  bool length = false;       // "l", "L" or "h"
  std::string flags;
  bool zeros = false;
  int width = 0;
  int precision = 0;
  char conversion = 0;
};

// The digits at `i` as a number (capped well below overflow), advancing `i`.
int read_digits(std::string_view s, std::size_t& i) {
  int n = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    n = std::min(n * 10 + (s[i] - '0'), 99999);
  return n;
}

// Text without "%" ("%%" counts as text), then "%", flags, pad, width, precision, length and
// the conversion letter, which must end the text; false for anything else.
bool parse_format(std::string_view s, format_parts& p) {
  std::size_t i = 0;
  while (i < s.size() && !(s[i] == '%' && (i + 1 >= s.size() || s[i + 1] != '%')))
    i += s[i] == '%' ? 2 : 1;
  if (i >= s.size())
    return false;
  p.leading_text = i > 0;
  for (++i; i < s.size() && std::string_view("-+ #").find(s[i]) != std::string_view::npos; ++i) {
    p.repeated_flag = p.repeated_flag || p.flags.find(s[i]) != std::string::npos;
    p.flags += s[i];
  }
  p.zeros = i < s.size() && s[i] == '0';
  i += p.zeros ? 1 : 0;
  p.second_zero = i < s.size() && s[i] == '0';
  p.width = read_digits(s, i);
  if (i < s.size() && s[i] == '.') {
    p.second_zero = p.second_zero || (i + 1 < s.size() && s[i + 1] == '0');
    p.precision = read_digits(s, ++i);
  }
  for (; i < s.size() && (s[i] == 'l' || s[i] == 'L' || s[i] == 'h'); ++i)
    p.length = true;
  if (i + 1 != s.size() || std::string_view("diuXxeEfgGs").find(s[i]) == std::string_view::npos)
    return false;
  p.conversion = s[i];
  return true;
}

// The controls of parsed parts.
json controls_of(const format_parts& p) {
  auto has = [&](char flag) { return p.flags.find(flag) != std::string::npos; };
  return {{"left", has('-')},       {"sign", has('+')},         {"alternate", has('#')},
          {"zeros", p.zeros},       {"width", p.width},         {"precision", p.precision},
          {"conversion", std::string(1, p.conversion)}};
}

}  // namespace

// The specification composed from the controls: "%", "-", for a float "+", "#" and "0" (only
// with a width), for a signed integer "+", width, "." precision, conversion letter.
bool emit_value_format(const json& fields, std::string& text, builder_refusal&) {
  std::string conversion = text_field(fields, "conversion", "f");
  if (conversion.size() != 1 || std::string_view("fduXs").find(conversion[0]) == std::string_view::npos)
    return false;
  int width = std::max(0, int_field(fields, "width"));
  int precision = std::max(0, int_field(fields, "precision"));
  text = "%";
  if (flag_field(fields, "left"))
    text += '-';
  bool is_float = conversion == "f";
  if ((is_float || conversion == "d") && flag_field(fields, "sign"))
    text += '+';
  if (is_float && flag_field(fields, "alternate"))
    text += '#';
  if (is_float && flag_field(fields, "zeros") && width > 0)
    text += '0';
  if (width > 0)
    text += std::to_string(width);
  if (precision > 0)
    text += "." + std::to_string(precision);
  text += conversion;
  return true;
}

// The controls of a specification, with "representable" false when they cannot show it as
// typed (leading text, a length modifier, a repeated flag, a doubled leading zero, another
// conversion, or anything the controls would write differently).
json recognize_value_format(std::string_view text, const json&) {
  json off = {{"representable", false}, {"conversion", "f"}, {"width", 0}, {"precision", 0}};
  format_parts p;
  if (!parse_format(text, p) || p.leading_text || p.length || p.repeated_flag || p.second_zero)
    return off;
  json fields = controls_of(p);
  std::string composed;
  builder_refusal unused;
  if (!emit_value_format(fields, composed, unused) || composed != text)
    return off;
  fields["representable"] = true;
  return fields;
}

}  // namespace quillet::editor
