// INSERT: a new vector or string with an item put in at a position; the target is left as
// it was. Results longer than the limits of value_limits.h fail instead of allocating.
#include <cstdint>
#include <string>

#include "txl/builtin_args.h"
#include "txl/builtins.h"
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
  if (const anyval_list* v = target.as_vector())
    return insert_into_vector(call, *v, item, p);
  if (const std::string* s = target.as_string())
    return insert_into_string(call, *s, item, p);
  return call.fail("#INSERT:ARGS#");
}

}  // namespace quillet
