// Evaluator-private helpers: storing a scalar result without a new allocation when the node
// is the only holder of its previous value, and the two control-flow signals of loops and
// "return", which never leave the evaluator.
#pragma once

#include <cstdint>
#include <typeinfo>

#include "txl/anyval.h"

namespace quillet {

// Thrown by "continue" (kind 1) and "break" (kind 2), caught by the nearest loop.
struct txl_loop_break {
  std::int32_t kind;
};
inline constexpr std::int32_t txl_continue_kind = 1;
inline constexpr std::int32_t txl_break_kind = 2;

// Thrown by "return", caught by the root of the body being evaluated.
struct txl_return_value {
  anyval value;
};

// The text of a string literal in a tree. Indexed assignment changes strings in place, so a
// variable that received a literal's object gets its own copy before the first change; the
// literal keeps its text for every later evaluation.
class txl_literal_string : public anyval_imp_string {
public:
  using anyval_imp_string::anyval_imp_string;
};

// The value object behind `v` when it is exactly of class T (not a derived class), else
// null. Compares type identities by address: a class's type information exists once in the
// program, and a miss only sends the caller down the general path.
template <class T>
inline T* exactly(const anyval& v) {
  anyval_imp* p = v.get();
  return p && &typeid(*p) == &typeid(T) ? static_cast<T*>(p) : nullptr;
}

// The plain integer or float behind `v` (see anyval_imp::plain_kind), else null: one load
// of the mark instead of asking the object its class.
inline anyval_imp_int* plain_int(const anyval& v) {
  anyval_imp* p = v.get();
  return p && p->plain_kind == type_int ? static_cast<anyval_imp_int*>(p) : nullptr;
}

inline anyval_imp_float* plain_float(const anyval& v) {
  anyval_imp* p = v.get();
  return p && p->plain_kind == type_float ? static_cast<anyval_imp_float*>(p) : nullptr;
}

// The value object behind `slot` when it is a plain integer that no one else holds, so it
// may be overwritten; null otherwise.
inline anyval_imp_int* sole_int(const anyval& slot) {
  anyval_imp_int* p = plain_int(slot);
  return p && p->ref_count() == 1 ? p : nullptr;
}

inline anyval_imp_float* sole_float(const anyval& slot) {
  anyval_imp_float* p = plain_float(slot);
  return p && p->ref_count() == 1 ? p : nullptr;
}

// A plain integer or float read without a virtual call; false for anything else.
inline bool plain_number(const anyval& v, double& out) {
  anyval_imp* p = v.get();
  if (!p)
    return false;
  if (p->plain_kind == type_float) {
    out = static_cast<anyval_imp_float*>(p)->value;
    return true;
  }
  if (p->plain_kind == type_int) {
    out = static_cast<anyval_imp_int*>(p)->value;
    return true;
  }
  return false;
}

// Makes `slot` an integer v, reusing its value object when that is safe. Values are shared,
// so an object is only rewritten while `slot` is its one holder.
inline void store_int(anyval& slot, std::int32_t v) {
  if (anyval_imp_int* p = sole_int(slot)) {
    p->value = v;
    return;
  }
  slot = anyval::from_int(v);
}

inline void store_float(anyval& slot, double v) {
  if (anyval_imp_float* p = sole_float(slot)) {
    p->value = v;
    return;
  }
  slot = anyval::from_float(v);
}

// Integer conversion where a failed one counts as 0.
inline std::int32_t int_or_zero(const anyval& v) {
  if (anyval_imp_int* i = plain_int(v))
    return i->value;
  std::int32_t out;
  return v.to_int(out) ? out : 0;
}

// Number conversion keeping whatever the conversion stored (the numeric prefix of a string).
inline double number_stored(const anyval& v) {
  double out = 0.0;
  if (plain_number(v, out))
    return out;
  v.to_double(out);
  return out;
}

// Truth of a condition: a plain integer is read directly, anything else as is_true says.
inline bool truth(const anyval& v) {
  if (anyval_imp_int* i = plain_int(v))
    return i->value != 0;
  return is_true(v);
}

}  // namespace quillet
