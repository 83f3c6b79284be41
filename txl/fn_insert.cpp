// INSERT: a new vector or string with an item put in at a position; the target is left as
// it was. Results longer than the limits of value_limits.h fail instead of allocating.
#include <cstdint>
#include <string>

#include "txl/builtin_args.h"
#include "txl/builtins.h"
#include "txl/expr_store.h"
#include "txl/value_limits.h"

namespace quillet {

namespace {

// The insertion point: the given position, or the end when it is negative or past the end.
std::size_t insertion_point(std::int32_t p, std::size_t size) {
  if (p < 0 || static_cast<std::size_t>(p) > size)
    return size;
  return static_cast<std::size_t>(p);
}

// A new vector of the target's elements with the item's elements (a vector item) or the item
// itself put in at p; the elements are shared, not copied.
bool insert_into_vector(txl_call& call, const anyval_list& target, const anyval& item, std::int32_t p) {
  const anyval_list single{item};
  const anyval_list& added = item.as_vector() ? *item.as_vector() : single;
  if (target.size() + added.size() > txl_max_vector_elements)
    return call.fail("#INSERT:ARGS#");
  const auto at = target.begin() + static_cast<std::ptrdiff_t>(insertion_point(p, target.size()));
  anyval_list out;
  out.reserve(target.size() + added.size());
  out.insert(out.end(), target.begin(), at);
  out.insert(out.end(), added.begin(), added.end());
  out.insert(out.end(), at, target.end());
  call.result = anyval::from_vector(std::move(out));
  return true;
}

// The bytes a non-string item adds to a string: one byte of its integer conversion, or none
// when that is zero or fails.
std::string item_as_byte(const anyval& item) {
  const std::int32_t code = int_arg_or(item, 0);
  if (code == 0)
    return std::string();
  return std::string(1, static_cast<char>(code & 0xFF));
}

// A copy of the target string with the item's bytes put in at byte offset p.
bool insert_into_string(txl_call& call, const std::string& target, const anyval& item, std::int32_t p) {
  const std::string byte = item.as_string() ? std::string() : item_as_byte(item);
  const std::string& added = item.as_string() ? *item.as_string() : byte;
  if (target.size() + added.size() > txl_max_string_bytes)
    return call.fail("#INSERT:ARGS#");
  std::string out = target;
  out.insert(insertion_point(p, target.size()), added);
  call.result.set_string(out);
  return true;
}

// Puts the item into the target's own vector or string and returns that very object, when
// the caller says nobody else holds it: a loop of `a = INSERT(a, SIZE(a), x)` then takes
// amortised linear time instead of copying a at every step. False when it cannot (a value of
// another class, the item being the target, a result past the limits), leaving the copy.
bool insert_in_place(txl_call& call, const anyval& target, const anyval& item, std::int32_t p) {
  if (item.get() == target.get())
    return false;
  if (auto* v = exactly<anyval_imp_vector>(target)) {
    anyval_list& list = v->elements;
    const anyval_list* added = item.as_vector();
    if (list.size() + (added ? added->size() : 1) > txl_max_vector_elements)
      return false;
    const auto at = list.begin() + static_cast<std::ptrdiff_t>(insertion_point(p, list.size()));
    if (added)
      list.insert(at, added->begin(), added->end());
    else
      list.insert(at, item);
    call.result = target;
    return true;
  }
  auto* s = exactly<anyval_imp_string>(target);
  if (!s)
    return false;
  const std::string byte = item.as_string() ? std::string() : item_as_byte(item);
  const std::string& added = item.as_string() ? *item.as_string() : byte;
  if (s->text.size() + added.size() > txl_max_string_bytes)
    return false;
  s->text.insert(insertion_point(p, s->text.size()), added);
  call.result = target;
  return true;
}

}  // namespace

// INSERT(target, item [, position]): a new value; the position defaults to the end.
bool xfn_insert_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2 && call.arg_count() != 3)
    return call.fail("#INSERT#");
  const anyval& target = call.arg(0);
  const anyval& item = call.arg(1);
  const std::int32_t p = int_arg_or(call.arg(2), -1);
  if (item.empty())
    return call.fail("#INSERT:ARGS#");
  if (call.may_change_first && insert_in_place(call, target, item, p))
    return true;
  if (const anyval_list* v = target.as_vector())
    return insert_into_vector(call, *v, item, p);
  if (const std::string* s = target.as_string())
    return insert_into_string(call, *s, item, p);
  return call.fail("#INSERT:ARGS#");
}

}  // namespace quillet
