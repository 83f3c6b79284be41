// The repeat-context stacks of a report run: one stack per kind of repeated element (0 for
// elements repeated by a count, read by IDX; 1 for table rows and list items, ROW; 2 for
// table cells, COL). The template processor owns one kov_context_stacks; repeating elements
// push an entry for the duration of their loop and advance its index; IDX, ROW and COL read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "txl/validity.h"

namespace quillet {

inline constexpr int kov_context_kinds = 3;

// One repeated element's place in a stack: its kind and current zero-based repetition.
struct kov_context_entry {
  int kind = -1;
  std::int32_t index = 0;
  // The stack's state number below this entry, and whether it still describes what lies
  // below (an outer entry changed while this one was on the stack clears it).
  std::uint32_t base_state = 0;
  bool base_known = false;
  // False for an empty position (an outer entry popped before the ones inside it).
  bool on_stack = false;
};

// Entries from the outermost (position 1) to the innermost (position depth()).
//
// The change counter is a state number that names the stack's whole content: it moves on
// every push, pop and change of index, and two moments with the same number have the same
// entries with the same indices. A cached IDX/ROW/COL result holds exactly while the number
// it was computed under is current. Popping an entry gives back the number of the content
// below it, and pushing an entry (or setting an index) that recreates a recently seen
// content gives back that content's number; so the cells of one table row, each of which
// pushes and pops the row's entry, all see the same number, and what they computed from
// ROW() is reused across the row.
class kov_context_stack {
public:
  // A new innermost entry at `index`, owned by the stack until pop(). The same as pushing at 0
  // and setting the index, without naming the content at index 0 on the way.
  // A slot's own memory of its last content makes pushing the content it held last (each
  // cell of a row pushing the row's entry) a short inline path.
  kov_context_entry* push(int kind, std::int32_t index = 0) {
    if (depth_ == slot_count_)
      return push_into_new_slot(kind, index);
    slot& s = slots_[depth_++];
    kov_context_entry* entry = s.entry.get();
    *entry = kov_context_entry{kind, index, state_, true, true};
    set_state(s.last.used && s.last.base == entry->base_state && s.last.index == index ? s.last.state
                                                                                       : state_in_slot(s, index));
    return entry;
  }
  void set_index(kov_context_entry& entry, std::int32_t index);
  // Removes the entry; one that is not innermost leaves an empty position behind until the
  // entries inside it are popped too. The entry is destroyed.
  void pop(kov_context_entry* entry) {
    if (depth_ == 0 || slots_[depth_ - 1].entry.get() != entry || !entry->base_known) {
      pop_other(entry);
      return;
    }
    slot& s = slots_[depth_ - 1];
    if (!s.last.used || s.last.base != entry->base_state || s.last.index != entry->index || s.last.state != state_)
      remember_in_slot(s, entry->index);
    set_state(entry->base_state);
    entry->on_stack = false;
    --depth_;
    if (depth_ > 0 && !slots_[depth_ - 1].entry->on_stack)
      drop_empty_positions();
  }
  void clear();

  std::size_t depth() const { return depth_; }
  // The entry at a position from 1 (outermost) to depth(); null when out of range or empty.
  const kov_context_entry* at(std::int64_t position) const;
  std::int32_t change_counter() const { return static_cast<std::int32_t>(state_); }
  // Makes the stack keep its state number in txl_validity.outside[i] (0 to 3), where kept
  // answers of is_current see it; a stack without one counts every change there instead.
  void keep_state_in(int i) { outside_ = i; }

private:
  // A content reached by putting an innermost entry with `index` on the content `base`.
  struct known_state {
    std::uint32_t base = 0;
    std::int32_t index = 0;
    std::uint32_t state = 0;
    bool used = false;
  };
  // A position's entry (in its own allocation, so it never moves while in use) and the last
  // content the position held.
  struct slot {
    std::unique_ptr<kov_context_entry> entry;
    known_state last;
  };
  // The number of the content `base` plus an innermost entry at `index`: a remembered one,
  // or a new number.
  std::uint32_t state_for(std::uint32_t base, std::int32_t index);
  // state_for for a push into `s`, which then remembers the content as its last.
  std::uint32_t state_in_slot(slot& s, std::int32_t index);
  // Makes the content being popped from `s` (its entry's base and `index`, numbered state_)
  // the slot's last, and a known content.
  void remember_in_slot(slot& s, std::int32_t index);
  void remember(std::uint32_t base, std::int32_t index, std::uint32_t state);
  static std::size_t known_row(std::uint32_t base, std::int32_t index);
  // pop() for an entry that is not innermost or whose base is no longer known.
  void pop_other(kov_context_entry* entry);
  // Shortens the stack past the empty positions that a pop uncovered.
  void drop_empty_positions();
  kov_context_entry* push_into_new_slot(int kind, std::int32_t index);
  // The position (0-based) of an entry on the stack, or depth_ when it is not there.
  std::size_t position_of(const kov_context_entry* entry) const;
  // Numbers are handed out to all stacks from one sequence, so that a number kept in
  // txl_validity names one content of one stack.
  static std::uint32_t fresh_state();
  void set_state(std::uint32_t state) {
    state_ = state;
    if (outside_ >= 0)
      txl_validity.outside[outside_] = state;
    else
      txl_validity_changed();
  }
  // A change below the innermost entry: the entries above position p no longer know their
  // base.
  void forget_bases_above(std::size_t p);

  // Positions 0 to depth_ - 1 are the stack; the slots above it are popped entries kept for
  // reuse.
  std::vector<slot> slots_;
  std::size_t slot_count_ = 0;  // slots_.size(), kept so that a push compares without a division
  std::size_t depth_ = 0;
  std::uint32_t state_ = 0;  // 0 is the empty stack; wraps around, only equality matters
  int outside_ = -1;         // where the state number is kept in txl_validity, if anywhere
  static constexpr std::size_t known_count = 16;
  known_state known_[known_count];
};

// The three stacks, and the processor's push/set/pop operations over them.
class kov_context_stacks {
public:
  kov_context_stacks();

  // An entry at `index` on the stack of its kind; a kind outside 0 to 2 gives an entry that is
  // on no stack (its index can be set, popping it does nothing).
  kov_context_entry* push_context(int kind, std::int32_t index = 0) {
    if (kind < 0 || kind >= kov_context_kinds)
      return push_detached(kind, index);
    return stacks_[kind].push(kind, index);
  }
  void set_index(kov_context_entry* entry, std::int32_t index);
  void pop_context(kov_context_entry* entry) {
    if (entry && entry->kind >= 0 && entry->kind < kov_context_kinds)
      stacks_[entry->kind].pop(entry);
  }
  // The same for an entry pushed with `kind` from 0 to 2, known to the caller.
  void pop_context(int kind, kov_context_entry* entry) { stacks_[kind].pop(entry); }
  // Empties all three stacks and sets their counters to 0.
  void clear();

  // The stack of a kind from 0 to 2; any other kind gives a stack that is always empty.
  const kov_context_stack& stack(int kind) const;

private:
  kov_context_entry* push_detached(int kind, std::int32_t index);

  kov_context_stack stacks_[kov_context_kinds];
  kov_context_entry detached_;
};

}  // namespace quillet
