// The comparison operators. Two strings compare as byte strings up to the first zero byte;
// anything else as numbers, where a not-a-number operand makes ==, <= and < true and !=, >
// and >= false.
#include <cstring>

#include "txl/expr_nodes.h"
#include "txl/expr_store.h"

namespace quillet {

bool txl_expr_compare::compute(const anyval& left, const anyval& right, std::string&) {
  double x, y;
  if (plain_number(left, x) && plain_number(right, y)) {
    store_int(result, compare_numbers(x, y) ? 1 : 0);
    return true;
  }
  const std::string* a = left.as_string();
  const std::string* b = right.as_string();
  bool holds;
  if (a && b)
    holds = compare_order(std::strcmp(a->c_str(), b->c_str()));
  else
    holds = compare_numbers(number_stored(left), number_stored(right));
  store_int(result, holds ? 1 : 0);
  return true;
}

// Each test is written so that an unordered pair (a NaN) falls on the documented side.
bool txl_expr_compare_eq::compare_numbers(double a, double b) { return !(a < b) && !(a > b); }
bool txl_expr_compare_eq::compare_order(int c) { return c == 0; }
bool txl_expr_compare_ne::compare_numbers(double a, double b) { return a < b || a > b; }
bool txl_expr_compare_ne::compare_order(int c) { return c != 0; }
bool txl_expr_compare_gt::compare_numbers(double a, double b) { return a > b; }
bool txl_expr_compare_gt::compare_order(int c) { return c > 0; }
bool txl_expr_compare_ge::compare_numbers(double a, double b) { return a >= b; }
bool txl_expr_compare_ge::compare_order(int c) { return c >= 0; }
bool txl_expr_compare_lt::compare_numbers(double a, double b) { return !(a >= b); }
bool txl_expr_compare_lt::compare_order(int c) { return c < 0; }
bool txl_expr_compare_le::compare_numbers(double a, double b) { return !(a > b); }
bool txl_expr_compare_le::compare_order(int c) { return c <= 0; }

}  // namespace quillet
