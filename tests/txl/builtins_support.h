// Helpers for the built-in function tests: value builders, a call through the built-in
// libraries by name, and a typed description of the outcome to compare with a table row.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "txl/anyval.h"

namespace quillet::test {

anyval iv(std::int32_t v);
anyval fv(double v);
anyval sv(std::string_view text);
anyval vec(std::initializer_list<anyval> elements);
// An absent value (an empty handle).
anyval none();

// "i:3", "f:2.5" (ten significant digits; "f:nan", "f:inf", "f:-inf"), "s:abc",
// "v(i:1,s:a)" with "-" for an empty element, "(empty)" for no value.
std::string describe(const anyval& v);

// Calls the named built-in (general library first, then conditions and bitwise) and
// describes the outcome: the result on success; on failure the marker written, or "(silent)"
// when the error text was left as it was. "(unknown)" when no library has the name.
std::string call_builtin(std::string_view name, const anyval_list& args);

// The same, also handing back the result value itself.
std::string call_builtin(std::string_view name, const anyval_list& args, anyval& result);

struct builtin_case {
  const char* name;
  anyval_list args;
  std::string_view expect;
};

// Runs every row and checks its outcome, naming the row in a failure.
void run_cases(const std::vector<builtin_case>& cases);

}  // namespace quillet::test
