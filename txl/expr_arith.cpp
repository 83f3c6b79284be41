// Arithmetic, bitwise and logical operators, and reading `v[i]`.
#include <cstdint>
#include <utility>

#include "txl/expr_nodes.h"
#include "txl/expr_store.h"
#include "txl/value_limits.h"

namespace quillet {

txl_expr_unary::txl_expr_unary(rc_ptr<txl_expr> operand) { add_child(std::move(operand)); }

// Evaluates the operand, then the operator; valid while the operand is.
bool txl_expr_unary::evaluate(std::string& error) {
  txl_expr* operand = child(0);
  if (!operand) {
    error = "#BADFN#";
    return false;
  }
  if (!evaluate_child(*operand, error) || !compute(operand->value(), error))
    return false;
  valid = operand->valid;
  return true;
}

txl_expr_binary::txl_expr_binary(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right, int op_code) : op(op_code) {
  add_child(std::move(left));
  add_child(std::move(right));
}

namespace {

double plain_value(const anyval_imp& v) {
  if (v.plain_kind == type_float)
    return static_cast<const anyval_imp_float&>(v).value;
  return static_cast<const anyval_imp_int&>(v).value;
}

// A comparison of two numbers, where a NaN makes ==, <= and < true and !=, > and >= false.
bool compare_plain(int op, double a, double b) {
  switch (op) {
    case txl_op_eq: return !(a < b) && !(a > b);
    case txl_op_ne: return a < b || a > b;
    case txl_op_gt: return a > b;
    case txl_op_ge: return a >= b;
    case txl_op_lt: return !(a >= b);
    default: return !(a > b);  // txl_op_le
  }
}

}  // namespace

// The built-in operators on two plain numbers (both known to be exactly an integer or a
// float), giving what their compute gives; false, leaving the work to compute, for the
// other operators and for integer operators over a float.
inline bool txl_expr_binary::compute_plain(const anyval_imp& left, const anyval_imp& right) {
  switch (op) {
    case txl_op_add: store_float(result, plain_value(left) + plain_value(right)); return true;
    case txl_op_sub: store_float(result, plain_value(left) - plain_value(right)); return true;
    case txl_op_mul: store_float(result, plain_value(left) * plain_value(right)); return true;
    case txl_op_div: store_float(result, plain_value(left) / plain_value(right)); return true;
    case txl_op_eq: case txl_op_ne: case txl_op_gt: case txl_op_ge: case txl_op_lt: case txl_op_le:
      store_int(result, compare_plain(op, plain_value(left), plain_value(right)) ? 1 : 0);
      return true;
    default: return false;
  }
}

// Evaluates both operands left to right, then the operator; valid while both are. Two
// plain numbers under a built-in operator are worked out directly; everything else goes to
// the class's compute.
bool txl_expr_binary::evaluate(std::string& error) {
  txl_expr* left = child(0);
  txl_expr* right = child(1);
  if (!left || !right) {
    error = "#BADFN#";
    return false;
  }
  if (!evaluate_child(*left, error) || !evaluate_child(*right, error))
    return false;
  const anyval_imp* a = left->value().get();
  const anyval_imp* b = right->value().get();
  if (!(plain_number_kind(*a) && plain_number_kind(*b) && compute_plain(*a, *b)) &&
      !compute(left->value(), right->value(), error))
    return false;
  valid = left->valid && right->valid;
  return true;
}

// A float negates as a float; anything else by its integer conversion (0 when that fails),
// wrapping at the 32-bit boundary.
bool txl_expr_unary_neg::compute(const anyval& operand, std::string&) {
  if (operand.type() == type_float) {
    store_float(result, -number_stored(operand));
    return true;
  }
  auto v = static_cast<std::uint32_t>(int_or_zero(operand));
  store_int(result, static_cast<std::int32_t>(0u - v));
  return true;
}

bool txl_expr_unary_inv::compute(const anyval& operand, std::string&) {
  store_int(result, ~int_or_zero(operand));
  return true;
}

bool txl_expr_unary_lnot::compute(const anyval& operand, std::string&) {
  store_int(result, truth(operand) ? 0 : 1);
  return true;
}

// Concatenates the text forms when either side is a string, else adds as floats (a failed
// conversion counts as 0). A concatenation longer than a string may grow fails with
// "#TOOLONG#" instead of exhausting memory.
bool txl_expr_binary_add::compute(const anyval& left, const anyval& right, std::string& error) {
  double x, y;
  if (plain_number(left, x) && plain_number(right, y)) {
    store_float(result, x + y);
    return true;
  }
  if (extends_left && append_in_place(left, right))
    return true;
  if (concatenate_in_place(left, right))
    return true;
  if (left.as_string() || right.as_string()) {
    std::string text, tail;
    left.to_text(text);
    right.to_text(tail);
    if (text.size() + tail.size() > txl_max_string_bytes) {
      error = "#TOOLONG#";
      return false;
    }
    text += tail;
    anyval_imp_string* own = exactly<anyval_imp_string>(result);
    if (own && own->ref_count() == 1)
      own->text = std::move(text);
    else
      result = anyval::from_string(text);
    return true;
  }
  double a, b;
  if (!left.to_double(a))
    a = 0.0;
  if (!right.to_double(b))
    b = 0.0;
  store_float(result, a + b);
  return true;
}

namespace {

// The text of a plain string value, literal or made; null for any other object, whose text
// form its class decides.
const std::string* plain_text(const anyval& v) {
  if (auto* s = exactly<anyval_imp_string>(v))
    return &s->text;
  if (auto* s = exactly<txl_literal_string>(v))
    return &s->text;
  return nullptr;
}

}  // namespace

// A text followed by a text or an integer (`"CH" + ROW() % 6`), written into the string this
// node made last time while nobody else holds it: the same bytes as the general way, which
// builds both text forms in temporaries and copies them, without the temporaries. False when
// it does not apply.
bool txl_expr_binary_add::concatenate_in_place(const anyval& left, const anyval& right) {
  anyval_imp_string* own = exactly<anyval_imp_string>(result);
  if (!own || own->ref_count() != 1)
    return false;  // nobody else holds it, so neither operand is it
  const std::string* head = plain_text(left);
  if (!head)
    return false;
  const anyval_imp_int* number = plain_int(right);
  const std::string* tail = number ? nullptr : plain_text(right);
  constexpr std::size_t longest_integer = 11;  // "-2147483648"
  if ((!number && !tail) || head->size() + (tail ? tail->size() : longest_integer) > txl_max_string_bytes)
    return false;
  own->text.assign(*head);
  if (number)
    append_decimal(number->value, own->text);
  else
    own->text.append(*tail);
  return true;
}

// `s = s + e` where s holds the string this node made last time and nobody else does: the
// text is appended where it lies, so a loop that grows a string takes amortised linear time
// instead of copying it at every step. The assignment stores the same string right after.
bool txl_expr_binary_add::append_in_place(const anyval& left, const anyval& right) {
  if (left.get() != result.get())
    return false;
  anyval_imp_string* own = exactly<anyval_imp_string>(result);
  if (!own || own->ref_count() != 2)
    return false;
  std::string tail;
  right.to_text(tail);
  if (own->text.size() + tail.size() > txl_max_string_bytes)
    return false;
  own->text += tail;
  return true;
}

bool txl_expr_binary_sub::compute(const anyval& left, const anyval& right, std::string&) {
  store_float(result, number_stored(left) - number_stored(right));
  return true;
}

bool txl_expr_binary_mul::compute(const anyval& left, const anyval& right, std::string&) {
  store_float(result, number_stored(left) * number_stored(right));
  return true;
}

// Division by zero gives an infinity or not-a-number, never a failure.
bool txl_expr_binary_div::compute(const anyval& left, const anyval& right, std::string&) {
  store_float(result, number_stored(left) / number_stored(right));
  return true;
}

// Unsigned 32-bit remainder; a divisor of 0 leaves the left operand unchanged.
bool txl_expr_binary_rem::compute(const anyval& left, const anyval& right, std::string&) {
  auto a = static_cast<std::uint32_t>(int_or_zero(left));
  auto b = static_cast<std::uint32_t>(int_or_zero(right));
  store_int(result, static_cast<std::int32_t>(b ? a % b : a));
  return true;
}

bool txl_expr_binary_and::compute(const anyval& left, const anyval& right, std::string&) {
  store_int(result, int_or_zero(left) & int_or_zero(right));
  return true;
}

bool txl_expr_binary_or::compute(const anyval& left, const anyval& right, std::string&) {
  store_int(result, int_or_zero(left) | int_or_zero(right));
  return true;
}

bool txl_expr_binary_xor::compute(const anyval& left, const anyval& right, std::string&) {
  store_int(result, int_or_zero(left) ^ int_or_zero(right));
  return true;
}

// Only the low five bits of the count are used; bits shifted past bit 31 are lost.
bool txl_expr_binary_shl::compute(const anyval& left, const anyval& right, std::string&) {
  auto v = static_cast<std::uint32_t>(int_or_zero(left));
  store_int(result, static_cast<std::int32_t>(v << (int_or_zero(right) & 31)));
  return true;
}

// Arithmetic shift: the sign bit is copied in from the left.
bool txl_expr_binary_shr::compute(const anyval& left, const anyval& right, std::string&) {
  store_int(result, int_or_zero(left) >> (int_or_zero(right) & 31));
  return true;
}

// Element i of a vector (shared; an empty element reads as the integer 0) or the value
// 0 to 255 of byte i of a string; "#INDEX#" out of range or for any other value.
bool txl_expr_index::compute(const anyval& left, const anyval& right, std::string& error) {
  std::int32_t i = int_or_zero(right);
  if (const anyval_list* list = left.as_vector(); list && i >= 0 && static_cast<std::size_t>(i) < list->size()) {
    const anyval& element = (*list)[static_cast<std::size_t>(i)];
    if (element.empty())
      store_int(result, 0);
    else if (result.get() != element.get())
      result = element;
    return true;
  }
  if (const std::string* text = left.as_string(); text && i >= 0 && static_cast<std::size_t>(i) < text->size()) {
    store_int(result, static_cast<unsigned char>((*text)[static_cast<std::size_t>(i)]));
    return true;
  }
  error = "#INDEX#";
  return false;
}

txl_expr_binary_land::txl_expr_binary_land(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right) {
  may_outlive_children = true;
  add_child(std::move(left));
  add_child(std::move(right));
}

namespace {

// Shared by "and" and "or": the left operand decides alone when its truth equals
// `deciding`; otherwise the right operand's truth is the result.
bool evaluate_logical(txl_expr& node, bool deciding, std::string& error) {
  txl_expr* left = node.child(0);
  txl_expr* right = node.child(1);
  if (!left || !right) {
    error = "#BADFN#";
    return false;
  }
  if (!txl_expr::evaluate_child(*left, error))
    return false;
  if (truth(left->value()) == deciding) {
    store_int(node.result, deciding ? 1 : 0);
    node.valid = left->valid;
    return true;
  }
  if (!txl_expr::evaluate_child(*right, error))
    return false;
  store_int(node.result, truth(right->value()) ? 1 : 0);
  node.valid = left->valid && right->valid;
  return true;
}

}  // namespace

bool txl_expr_binary_land::evaluate(std::string& error) { return evaluate_logical(*this, false, error); }

txl_expr_binary_lor::txl_expr_binary_lor(rc_ptr<txl_expr> left, rc_ptr<txl_expr> right) {
  may_outlive_children = true;
  add_child(std::move(left));
  add_child(std::move(right));
}

bool txl_expr_binary_lor::evaluate(std::string& error) { return evaluate_logical(*this, true, error); }

}  // namespace quillet
