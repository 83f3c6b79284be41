// Pushing, advancing and popping repeat-context entries, with the change counters that
// IDX, ROW and COL compare against their cached results.
#include "data/kov_context_stack.h"

#include <atomic>

namespace quillet {

// Grows the stack by a slot, then pushes into it. Kept out of line, so that pushing into a
// slot that is already there (every push but the first few of a run) stays a short path.
[[gnu::noinline]] kov_context_entry* kov_context_stack::push_into_new_slot(int kind, std::int32_t index) {
  slots_.push_back(slot{std::make_unique<kov_context_entry>(), known_state{}});
  slot_count_ = slots_.size();
  return push(kind, index);
}

std::uint32_t kov_context_stack::state_in_slot(slot& s, std::int32_t index) {
  const std::uint32_t base = s.entry->base_state;
  const std::uint32_t state = state_for(base, index);
  s.last = known_state{base, index, state, true};
  return state;
}

void kov_context_stack::remember_in_slot(slot& s, std::int32_t index) {
  const std::uint32_t base = s.entry->base_state;
  remember(base, index, state_);
  s.last = known_state{base, index, state_, true};
}

void kov_context_stack::set_index(kov_context_entry& entry, std::int32_t index) {
  entry.index = index;
  if (depth_ > 0 && slots_[depth_ - 1].entry.get() == &entry) {
    slot& s = slots_[depth_ - 1];
    if (!entry.base_known) {
      set_state(fresh_state());
      return;
    }
    const bool last = s.last.used && s.last.base == entry.base_state && s.last.index == index;
    set_state(last ? s.last.state : state_in_slot(s, index));
    return;
  }
  set_state(fresh_state());
  forget_bases_above(position_of(&entry));
}

// Popping the innermost entry (inline in pop) shortens the stack, together with any empty
// positions that it uncovers, and gives back the number of what lies below; an innermost
// entry whose base is no longer known leaves a new number; popping an outer one empties its
// position so the inner ones keep theirs.
void kov_context_stack::pop_other(kov_context_entry* entry) {
  if (depth_ > 0 && slots_[depth_ - 1].entry.get() == entry) {
    set_state(fresh_state());
    entry->on_stack = false;
    --depth_;
    drop_empty_positions();
    return;
  }
  const std::size_t p = position_of(entry);
  if (p == depth_ || !entry->on_stack)
    return;
  entry->on_stack = false;
  set_state(fresh_state());
  forget_bases_above(p);
}

void kov_context_stack::drop_empty_positions() {
  while (depth_ > 0 && !slots_[depth_ - 1].entry->on_stack)
    --depth_;
}

void kov_context_stack::clear() {
  for (std::size_t p = 0; p < depth_; ++p)
    slots_[p].entry->on_stack = false;
  depth_ = 0;
  set_state(0);
  for (auto& k : known_)
    k = known_state{};
  for (auto& s : slots_)
    s.last = known_state{};
}

std::size_t kov_context_stack::position_of(const kov_context_entry* entry) const {
  for (std::size_t p = 0; p < depth_; ++p)
    if (slots_[p].entry.get() == entry)
      return p;
  return depth_;
}

const kov_context_entry* kov_context_stack::at(std::int64_t position) const {
  if (position < 1 || position > static_cast<std::int64_t>(depth_))
    return nullptr;
  const kov_context_entry* entry = slots_[static_cast<std::size_t>(position - 1)].entry.get();
  return entry->on_stack ? entry : nullptr;
}

// Known contents sit in a small table indexed by a hash of (base, index); a newer content
// that lands on the same row replaces the older one, which then gets a new number when it
// comes back.
std::size_t kov_context_stack::known_row(std::uint32_t base, std::int32_t index) {
  const std::uint32_t h = (base * 0x9E3779B1u) ^ (static_cast<std::uint32_t>(index) * 0x85EBCA77u);
  return (h >> 16) % known_count;
}

std::uint32_t kov_context_stack::state_for(std::uint32_t base, std::int32_t index) {
  known_state& k = known_[known_row(base, index)];
  if (k.used && k.base == base && k.index == index)
    return k.state;
  k = known_state{base, index, fresh_state(), true};
  return k.state;
}

void kov_context_stack::remember(std::uint32_t base, std::int32_t index, std::uint32_t state) {
  known_[known_row(base, index)] = known_state{base, index, state, true};
}

void kov_context_stack::forget_bases_above(std::size_t p) {
  for (std::size_t q = p + 1; q < depth_; ++q)
    slots_[q].entry->base_known = false;
}

std::uint32_t kov_context_stack::fresh_state() {
  static std::atomic<std::uint32_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

kov_context_stacks::kov_context_stacks() {
  for (int kind = 0; kind < kov_context_kinds; ++kind)
    stacks_[kind].keep_state_in(kind);
}

kov_context_entry* kov_context_stacks::push_detached(int kind, std::int32_t index) {
  detached_ = kov_context_entry{kind, index};
  return &detached_;
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
