// IF(left, condition, right, then, else): picks one of two values by comparing two others.
#include <cstdint>
#include <string>

#include "txl/builtin_args.h"
#include "txl/builtins.h"
#include "txl/expr_store.h"

namespace quillet {

namespace {

// Comparison codes a condition selects; a numeric condition above 5 is kept and never holds.
enum : std::int32_t { cond_eq = 0, cond_ne = 1, cond_lt = 2, cond_gt = 3, cond_le = 4, cond_ge = 5, cond_bad = -1 };

// Outcome of comparing two operands: -1, 0, 1, or unordered when they cannot be ordered.
constexpr int unordered = 2;

// The code a string condition selects from its first one or two characters: "=" whatever
// follows, "<=", "<>", "<", ">=", ">", and "!" whatever follows; anything else is unusable.
std::int32_t code_of_text(const std::string& text) {
  const char first = text.empty() ? '\0' : text[0];
  const char second = text.size() > 1 ? text[1] : '\0';
  switch (first) {
  case '=': return cond_eq;
  case '!': return cond_ne;
  case '<': return second == '=' ? cond_le : second == '>' ? cond_ne : cond_lt;
  case '>': return second == '=' ? cond_ge : cond_gt;
  default: return cond_bad;
  }
}

// The code a condition value selects: a string by its text, anything else by its integer
// conversion, which must succeed and not be negative.
std::int32_t condition_code(const anyval& cond) {
  if (const std::string* text = cond.as_string())
    return code_of_text(*text);
  std::int32_t code = 0;
  if (!cond.to_int(code) || code < 0)
    return cond_bad;
  return code;
}

// The order of two numbers; a NaN on either side cannot be ordered.
int compare_numbers(double x, double y) {
  if (x < y)
    return -1;
  if (x > y)
    return 1;
  return x == y ? 0 : unordered;
}

// Compares two strings byte-wise, anything else by number; a pair where either side has no
// number reading, or is not a number (NaN), cannot be ordered. Two plain numbers, as a
// report's conditions mostly compare, are read in place.
int compare_operands(const anyval& left, const anyval& right) {
  double x = 0.0;
  double y = 0.0;
  if (plain_number(left, x) && plain_number(right, y))
    return compare_numbers(x, y);
  const std::string* a = left.as_string();
  const std::string* b = right.as_string();
  if (a && b)
    return compare_bytes(*a, *b);
  if (!left.to_double(x) || !right.to_double(y))
    return unordered;
  return compare_numbers(x, y);
}

// Whether the test of the code holds for the comparison outcome c. An unordered pair counts
// as different and, its outcome ranking above 1, as "greater or equal" too.
bool test_holds(std::int32_t code, int c) {
  switch (code) {
  case cond_eq: return c == 0;
  case cond_ne: return c != 0;
  case cond_lt: return c == -1;
  case cond_gt: return c == 1;
  case cond_le: return c == -1 || c == 0;
  case cond_ge: return c >= 0;
  default: return false;
  }
}

}  // namespace

// IF: the then-value or the else-value itself, shared. Absent operands, or an absent chosen
// value, fail without a marker.
bool xfn_if_call(txl_cookie, txl_call& call) {
  const anyval_list& args = call.arg_list();
  if (args.size() != 5)
    return call.fail("#IF():ARGS#");
  const anyval& left = args[0];
  const anyval& cond = args[1];
  const anyval& right = args[2];
  if (left.empty() || cond.empty() || right.empty())
    return false;
  const std::int32_t code = condition_code(cond);
  if (code == cond_bad)
    return call.fail("#IF():COND#");
  const anyval& chosen = test_holds(code, compare_operands(left, right)) ? args[3] : args[4];
  if (chosen.empty())
    return false;
  call.result = chosen;
  return true;
}

}  // namespace quillet
