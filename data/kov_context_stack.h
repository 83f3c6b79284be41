// The repeat-context stacks of a report run: one stack per kind of repeated element (0 for
// elements repeated by a count, read by IDX; 1 for table rows and list items, ROW; 2 for
// table cells, COL). The template processor owns one kov_context_stacks; repeating elements
// push an entry for the duration of their loop and advance its index; IDX, ROW and COL read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillet {

inline constexpr int kov_context_kinds = 3;

// One repeated element's place in a stack: its kind and current zero-based repetition.
struct kov_context_entry {
  int kind = -1;
  std::int32_t index = 0;
};

// Entries from the outermost (position 1) to the innermost (position depth()). The change
// counter moves on every push, pop and index change, so a cached IDX/ROW/COL result can tell
// whether it still holds.
class kov_context_stack {
public:
  // A new innermost entry with index 0, owned by the stack until pop().
  kov_context_entry* push(int kind);
  void set_index(kov_context_entry& entry, std::int32_t index);
  // Removes the entry; one that is not innermost leaves an empty position behind until the
  // entries inside it are popped too. The entry is destroyed.
  void pop(kov_context_entry* entry);
  void clear();

  std::size_t depth() const { return entries_.size(); }
  // The entry at a position from 1 (outermost) to depth(); null when out of range or empty.
  const kov_context_entry* at(std::int64_t position) const;
  std::int32_t change_counter() const { return static_cast<std::int32_t>(counter_); }

private:
  void changed() { ++counter_; }
  std::vector<std::unique_ptr<kov_context_entry>> entries_;
  std::uint32_t counter_ = 0;  // wraps around; only equality matters
};

// The three stacks, and the processor's push/set/pop operations over them.
class kov_context_stacks {
public:
  // An entry on the stack of its kind; a kind outside 0 to 2 gives an entry that is on no
  // stack (its index can be set, popping it does nothing).
  kov_context_entry* push_context(int kind);
  void set_index(kov_context_entry* entry, std::int32_t index);
  void pop_context(kov_context_entry* entry);
  // Empties all three stacks and sets their counters to 0.
  void clear();

  // The stack of a kind from 0 to 2; any other kind gives a stack that is always empty.
  const kov_context_stack& stack(int kind) const;

private:
  kov_context_stack stacks_[kov_context_kinds];
  kov_context_entry detached_;
};

}  // namespace quillet
