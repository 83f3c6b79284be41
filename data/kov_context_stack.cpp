// Pushing, advancing and popping repeat-context entries, with the change counters that
// IDX, ROW and COL compare against their cached results.
#include "data/kov_context_stack.h"

namespace quillet {

kov_context_entry* kov_context_stack::push(int kind) {
  std::unique_ptr<kov_context_entry> entry;
  if (spare_.empty()) {
    entry = std::make_unique<kov_context_entry>();
  } else {
    entry = std::move(spare_.back());
    spare_.pop_back();
  }
  *entry = kov_context_entry{kind, 0, state_, true};
  state_ = state_for(entry->base_state, 0);
  entries_.push_back(std::move(entry));
  return entries_.back().get();
}

void kov_context_stack::set_index(kov_context_entry& entry, std::int32_t index) {
  entry.index = index;
  if (entries_.empty() || entries_.back().get() != &entry) {
    state_ = fresh_state();
    forget_bases_above(&entry);
    return;
  }
  state_ = entry.base_known ? state_for(entry.base_state, index) : fresh_state();
}

// Popping the innermost entry shortens the stack, together with any empty positions that
// it uncovers, and gives back the number of what lies below; popping an outer one empties
// its position so the inner ones keep theirs.
void kov_context_stack::pop(kov_context_entry* entry) {
  for (auto& slot : entries_) {
    if (slot.get() != entry)
      continue;
    const bool innermost = &slot == &entries_.back();
    if (innermost && entry->base_known) {
      remember(entry->base_state, entry->index, state_);
      state_ = entry->base_state;
    } else {
      state_ = fresh_state();
      forget_bases_above(entry);
    }
    spare_.push_back(std::move(slot));
    while (!entries_.empty() && !entries_.back())
      entries_.pop_back();
    return;
  }
}

void kov_context_stack::clear() {
  for (auto& slot : entries_) {
    if (slot)
      spare_.push_back(std::move(slot));
  }
  entries_.clear();
  state_ = 0;
  for (auto& k : known_)
    k = known_state{};
}

std::uint32_t kov_context_stack::state_for(std::uint32_t base, std::int32_t index) {
  for (const auto& k : known_) {
    if (k.used && k.base == base && k.index == index)
      return k.state;
  }
  const std::uint32_t state = fresh_state();
  remember(base, index, state);
  return state;
}

void kov_context_stack::remember(std::uint32_t base, std::int32_t index, std::uint32_t state) {
  for (auto& k : known_) {
    if (k.used && k.base == base && k.index == index) {
      k.state = state;
      return;
    }
  }
  known_[known_next_] = known_state{base, index, state, true};
  known_next_ = (known_next_ + 1) % known_count;
}

void kov_context_stack::forget_bases_above(const kov_context_entry* entry) {
  bool above = false;
  for (auto& slot : entries_) {
    if (above && slot)
      slot->base_known = false;
    if (slot.get() == entry)
      above = true;
  }
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
