// Messages of compile errors, as the editor and the command line show them.
#include <array>
#include <cstdio>
#include <string>

#include "txl/compiler.h"

namespace quillet {

namespace {

// Message formats by error code; the line is the first argument, the name the second.
constexpr std::array<const char*, 13> formats{{
    "Line %d: syntax error",
    "Line %d: syntax error",
    "Line %d: invalid string literal",
    "Line %d: syntax error",
    "Line %d: ';' expected",
    "Line %d: expression expected",
    "Line %d: 'THEN' expected",
    "Line %d: 'DO' expected",
    "Line %d: 'TO' expected",
    "Line %d: variable name expected",
    "Line %d: variable '%s' has been already defined",
    "Line %d: undefined variable '%s'",
    "Line %d: loop context is required",
}};

}  // namespace

// Formats the message of the error's code; codes outside 1..12 use the text of code 1. The
// name is cut at a zero byte, as the C formatter would.
std::string txl_compile_message(const txl_compile_error& error) {
  int code = error.code >= 1 && error.code <= 12 ? error.code : 1;
  std::string name = error.name.c_str();
  int size = std::snprintf(nullptr, 0, formats[code], error.line, name.c_str());
  std::string out(static_cast<std::size_t>(size), '\0');
  std::snprintf(out.data(), out.size() + 1, formats[code], error.line, name.c_str());
  return out;
}

}  // namespace quillet
