// Variable references and assignments, including the indexed assignment that changes a
// shared vector or string in place.
#include <typeinfo>
#include <utility>
#include <vector>

#include "txl/expr_fncall.h"
#include "txl/expr_nodes.h"
#include "txl/expr_store.h"
#include "txl/value_limits.h"

namespace quillet {

txl_expr_var_ref::txl_expr_var_ref(rc_ptr<txl_expr_localvar> storage, bool is_declaration)
    : declaration(is_declaration), link_(this, std::move(storage)) {
  read_value_from(&link_.storage->value);
  plain_read_ = !declaration;
}

// The variable's current value (the node reads it straight from the storage). A declaration
// first sets the variable to the integer 0.
bool txl_expr_var_ref::evaluate(std::string& error) {
  txl_expr_localvar& var = *link_.storage;
  if (declaration) {
    store_int(var.value, 0);
    variable_changed(var);
  }
  if (var.value.empty()) {
    error = "#NVAL#";
    return false;
  }
  valid = true;
  return true;
}

txl_expr_var_assign::txl_expr_var_assign(rc_ptr<txl_expr_localvar> storage, rc_ptr<txl_expr> value,
                                         rc_ptr<txl_expr> index)
    : link_(this, std::move(storage)) {
  never_valid_kind_ = true;
  read_value_from(&link_.storage->value);
  set_child(0, std::move(value));
  if (index) {
    set_child(1, std::move(index));
    return;
  }
  // `s = s + e`: the sum may extend s's string in place.
  auto* sum = dynamic_cast<txl_expr_binary_add*>(child(0));
  auto* read = sum ? dynamic_cast<txl_expr_var_ref*>(sum->child(0)) : nullptr;
  if (read && !read->declaration && &read->storage() == link_.storage.get())
    sum->extends_left = true;
  // `a = INSERT(a, ...)`: the built-in may extend a's vector or string in place.
  auto* call = dynamic_cast<txl_expr_fncall*>(child(0));
  read = call && !call->user_function ? dynamic_cast<txl_expr_var_ref*>(call->child(0)) : nullptr;
  if (read && !read->declaration && &read->storage() == link_.storage.get())
    call->replaces_first_arg = true;
}

namespace {

// Makes the variable hold `value`. An integer or float is copied into the variable's own
// number object when the variable is its only holder (numbers never change in place, so
// nobody can tell); anything else is shared.
void store_value(anyval& target, const anyval& value) {
  if (value.get() == target.get())
    return;
  if (anyval_imp_float* dst = sole_float(target)) {
    if (anyval_imp_float* src = plain_float(value)) {
      dst->value = src->value;
      return;
    }
  }
  if (anyval_imp_int* dst = sole_int(target)) {
    if (anyval_imp_int* src = plain_int(value)) {
      dst->value = src->value;
      return;
    }
  }
  target = value;
}

// True when `value` is the vector `target` or holds it at any depth: storing it into the
// vector would make the vector contain itself, a value no one could ever print or free.
bool holds_vector(const anyval& value, const anyval_imp* target) {
  std::vector<const anyval_imp*> pending{value.get()};
  std::size_t visited = 0;
  while (!pending.empty()) {
    const anyval_imp* v = pending.back();
    pending.pop_back();
    if (v == target)
      return true;
    const anyval_list* list = v ? v->as_vector() : nullptr;
    if (!list)
      continue;
    if (++visited > txl_max_vector_elements)
      return true;
    for (const anyval& e : *list)
      if (e.as_vector())
        pending.push_back(e.get());
  }
  return false;
}

// Sets element p of a vector, lengthening it with integer 0 elements as needed.
bool assign_element(anyval_list& list, const anyval_imp* owner, std::size_t p, const anyval& value) {
  if (p >= txl_max_vector_elements || (value.as_vector() && holds_vector(value, owner)))
    return false;
  if (p >= list.size())
    list.resize(p + 1, anyval::from_int(0));
  list[p] = value;
  return true;
}

// The byte an assignment into a string stores: the low byte of a number, the first byte of
// a non-empty string, a question mark for anything else.
char byte_for(const anyval& value) {
  int type = value.type();
  if (type == type_int || type == type_float) {
    std::int32_t n;
    return value.to_int(n) ? static_cast<char>(n & 0xFF) : '?';
  }
  const std::string* s = value.as_string();
  return s && !s->empty() ? (*s)[0] : '?';
}

}  // namespace

// `x[i] = value`: changes the very vector or string the variable holds, so every holder of
// that object sees the change.
bool txl_expr_var_assign::assign_indexed(const anyval& value, std::string& error) {
  txl_expr* index = child(1);
  if (!evaluate_child(*index, error))
    return false;
  std::int32_t p;
  if (!index->value().to_int(p))
    p = -1;
  anyval& target = link_.storage->value;
  if (target.empty() || p < 0) {
    error = "#INDEX#";
    return false;
  }
  auto pos = static_cast<std::size_t>(p);
  if (anyval_list* list = target->mutable_vector()) {
    if (assign_element(*list, target.get(), pos, value))
      return true;
    error = "#INDEX#";
    return false;
  }
  if (dynamic_cast<const txl_literal_string*>(target.get()))
    target = anyval::from_string(*target.as_string());
  std::string* text = target->mutable_string();
  if (!text || pos >= txl_max_string_bytes) {
    error = "#INDEX#";
    return false;
  }
  if (pos >= text->size())
    text->resize(pos + 1, '\0');
  (*text)[pos] = byte_for(value);
  return true;
}

// Evaluates the value (and the index), changes the variable and invalidates everything that
// read it. The result is the variable's new value; an assignment is never reused.
bool txl_expr_var_assign::evaluate(std::string& error) {
  txl_expr* value = child(0);
  if (!value) {
    error = "#BADFN#";
    return false;
  }
  if (!evaluate_child(*value, error))
    return false;
  if (child(1)) {
    if (!assign_indexed(value->value(), error))
      return false;
  } else {
    store_value(link_.storage->value, value->value());
  }
  variable_changed(*link_.storage);
  valid = false;
  return true;
}

}  // namespace quillet
