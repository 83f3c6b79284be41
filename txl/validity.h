// What the answers of is_current rest on, so that a user function can keep an answer that
// its call sites are current from one question to the next instead of asking its callees
// again: the answer holds while nothing it rests on has changed.
//
// A current result can go stale only through a change counted here: a user function's
// change count rising, a call site losing its result or being bound anew, a function's call
// sites being replaced, a context function taking a new token, or a state number of the
// repeat contexts moving. The contexts keep their state numbers here rather than counting
// changes, because a table row's cells push and pop the same content again and again: an
// answer found for one cell then holds for the next. An is_current whose answer rests on
// anything else (the report time) says so through txl_validity_untracked(), and answers
// that include it are not kept.
#pragma once

#include <cstdint>
#include <cstring>

namespace quillet {

inline constexpr int txl_outside_states = 4;

struct txl_validity_state {
  std::uint64_t changes = 1;
  // State numbers kept by owners outside the trees; each owner numbers its states so that a
  // number is never given to a second state, whoever wrote it.
  std::uint32_t outside[txl_outside_states] = {};
  std::uint64_t untracked = 0;  // answers found that rest on something not counted here
};

inline thread_local txl_validity_state txl_validity;

inline void txl_validity_changed() { ++txl_validity.changes; }
inline void txl_validity_untracked() { ++txl_validity.untracked; }

// A moment of txl_validity that a kept answer remembers; equal moments rest on the same.
struct txl_validity_mark {
  std::uint64_t changes = 0;  // 0: nothing remembered (the counter starts at 1)
  std::uint32_t outside[txl_outside_states] = {};

  // Compared state by state rather than through memcmp, which a compiler may leave as a call
  // where an answer is asked for every property of every cell.
  bool is_now() const {
    if (changes != txl_validity.changes)
      return false;
    for (int i = 0; i < txl_outside_states; ++i)
      if (outside[i] != txl_validity.outside[i])
        return false;
    return true;
  }
  void take_now() {
    changes = txl_validity.changes;
    std::memcpy(outside, txl_validity.outside, sizeof outside);
  }
};

}  // namespace quillet
