// Conversions of the parameter input dialog.
#include "editor/parameter_input.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "doc/template_markup.h"
#include "txl/anyval.h"

namespace quillet::editor {

namespace {

// A whole integer in C notation within the 32-bit range of the expression language.
std::optional<std::string> integer_value(const std::string& typed) {
  if (typed.empty() || typed.front() == ' ' || (typed.front() >= '\t' && typed.front() <= '\r'))
    return std::nullopt;
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(typed.c_str(), &end, 0);
  if (errno == ERANGE || *end != '\0' || end == typed.c_str())
    return std::nullopt;
  if (value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return std::to_string(value);
}

// A whole finite floating-point number, written back as a literal that reads as the same value.
std::optional<std::string> float_value(const std::string& typed) {
  if (typed.empty() || typed.front() == ' ' || (typed.front() >= '\t' && typed.front() <= '\r'))
    return std::nullopt;
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(typed.c_str(), &end);
  if (errno == ERANGE || *end != '\0' || end == typed.c_str() || !std::isfinite(value))
    return std::nullopt;
  std::string out;
  if (!write_literal(anyval(make_rc<anyval_imp_float>(value)), 0, out))
    return std::nullopt;
  // A whole number would read back as an integer and compute as one.
  if (out.find_first_not_of("-0123456789") == std::string::npos)
    out += ".0";
  return out;
}

}  // namespace

std::optional<std::string> parameter_input_value(std::string_view typed, parameter_mode mode) {
  std::string text(typed);
  if (mode == parameter_mode::integer)
    return integer_value(text);
  if (mode == parameter_mode::floating)
    return float_value(text);
  std::string out = "\"";
  write_string_literal_body(text, out);
  return out + "\"";
}

std::string parameter_input_text(std::string_view expr) {
  txl_prop_list props{make_rc<txl_user_function>("VALUE", std::string(expr))};
  std::string out;
  if (get_prop_string(props, "VALUE", out) < 0)
    return std::string(expr);
  return out;
}

}  // namespace quillet::editor
