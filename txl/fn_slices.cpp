// REMOVE and EXTRACT: a new vector or string without, or made of, a stretch of the target.
#include <algorithm>
#include <cstdint>
#include <string>

#include "txl/builtin_args.h"
#include "txl/builtins.h"

namespace quillet {

namespace {

struct stretch {
  std::size_t begin;
  std::size_t end;
};

// The stretch [p, p + n) of a value of the given size: p is held to 0..size, a negative n
// reaches to the end, and the end never passes the size.
stretch clamp_stretch(std::int32_t p, std::int32_t n, std::size_t size) {
  const std::size_t begin = p < 0 ? 0 : std::min(static_cast<std::size_t>(p), size);
  const std::size_t end = n < 0 ? size : std::min(begin + static_cast<std::size_t>(n), size);
  return {begin, end};
}

// Stores the target without the stretch, or fails when it is neither vector nor string.
bool store_without(txl_call& call, const anyval& target, std::int32_t p, std::int32_t n) {
  if (const anyval_list* v = target.as_vector()) {
    const stretch s = clamp_stretch(p, n, v->size());
    anyval_list out(v->begin(), v->begin() + static_cast<std::ptrdiff_t>(s.begin));
    out.insert(out.end(), v->begin() + static_cast<std::ptrdiff_t>(s.end), v->end());
    call.result = anyval::from_vector(std::move(out));
    return true;
  }
  if (const std::string* t = target.as_string()) {
    const stretch s = clamp_stretch(p, n, t->size());
    call.result.set_string(t->substr(0, s.begin) + t->substr(s.end));
    return true;
  }
  return call.fail("#REMOVE:ARGS#");
}

// Stores the stretch of the target as a new value, or fails when it is neither string nor
// vector.
bool store_stretch(txl_call& call, const anyval& target, std::int32_t p, std::int32_t n) {
  if (const std::string* t = target.as_string()) {
    const stretch s = clamp_stretch(p, n, t->size());
    call.result.set_string(t->substr(s.begin, s.end - s.begin));
    return true;
  }
  if (const anyval_list* v = target.as_vector()) {
    const stretch s = clamp_stretch(p, n, v->size());
    call.result = anyval::from_vector(anyval_list(v->begin() + static_cast<std::ptrdiff_t>(s.begin),
                                                  v->begin() + static_cast<std::ptrdiff_t>(s.end)));
    return true;
  }
  return call.fail("#EXTRACT#");
}

}  // namespace

// REMOVE(target, position [, count]): the count defaults to one element or byte.
bool xfn_remove_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2 && call.arg_count() != 3)
    return call.fail("#REMOVE#");
  return store_without(call, call.arg(0), int_arg_or(call.arg(1), 0), int_arg_or(call.arg(2), 1));
}

// EXTRACT(target, position [, count]): the count defaults to the rest of the target.
bool xfn_extract_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2 && call.arg_count() != 3)
    return call.fail("#EXTRACT#");
  return store_stretch(call, call.arg(0), int_arg_or(call.arg(1), 0), int_arg_or(call.arg(2), -1));
}

}  // namespace quillet
