// Pushing, advancing and popping repeat-context entries, with the change counters that
// IDX, ROW and COL compare against their cached results.
#include "data/kov_context_stack.h"

namespace quillet {

kov_context_entry* kov_context_stack::push(int kind) {
  entries_.push_back(std::make_unique<kov_context_entry>(kov_context_entry{kind, 0}));
  changed();
  return entries_.back().get();
}

void kov_context_stack::set_index(kov_context_entry& entry, std::int32_t index) {
  entry.index = index;
  changed();
}

// Popping the innermost entry shortens the stack, together with any empty positions that
// it uncovers; popping an outer one empties its position so the inner ones keep theirs.
void kov_context_stack::pop(kov_context_entry* entry) {
  for (auto& slot : entries_) {
    if (slot.get() != entry)
      continue;
    slot.reset();
    while (!entries_.empty() && !entries_.back())
      entries_.pop_back();
    changed();
    return;
  }
}

void kov_context_stack::clear() {
  entries_.clear();
  counter_ = 0;
}

const kov_context_entry* kov_context_stack::at(std::int64_t position) const {
  if (position < 1 || position > static_cast<std::int64_t>(entries_.size()))
    return nullptr;
  return entries_[static_cast<std::size_t>(position - 1)].get();
}

kov_context_entry* kov_context_stacks::push_context(int kind) {
  if (kind < 0 || kind >= kov_context_kinds) {
    detached_ = kov_context_entry{kind, 0};
    return &detached_;
  }
  return stacks_[kind].push(kind);
}

void kov_context_stacks::set_index(kov_context_entry* entry, std::int32_t index) {
  if (!entry)
    return;
  if (entry->kind < 0 || entry->kind >= kov_context_kinds) {
    entry->index = index;
    return;
  }
  stacks_[entry->kind].set_index(*entry, index);
}

void kov_context_stacks::pop_context(kov_context_entry* entry) {
  if (entry && entry->kind >= 0 && entry->kind < kov_context_kinds)
    stacks_[entry->kind].pop(entry);
}

void kov_context_stacks::clear() {
  for (auto& s : stacks_)
    s.clear();
}

const kov_context_stack& kov_context_stacks::stack(int kind) const {
  static const kov_context_stack empty;
  if (kind < 0 || kind >= kov_context_kinds)
    return empty;
  return stacks_[kind];
}

}  // namespace quillet
