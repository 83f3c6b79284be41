// Pushing a repeat-context entry straight at an index: the same content, and so the same
// change counter, as pushing at 0 and setting the index.
#include <gtest/gtest.h>

#include "data/kov_context_stack.h"

namespace quillet::test {
namespace {

TEST(ContextPush, AtAnIndexNamesTheSameContent) {
  const std::int32_t indices[] = {0, 1, 5, -3, 1000000};
  for (std::int32_t index : indices) {
    SCOPED_TRACE(index);
    kov_context_stacks stacks;
    const kov_context_stack& rows = stacks.stack(1);
    kov_context_entry* outer = stacks.push_context(1, 2);
    const std::int32_t below = rows.change_counter();
    kov_context_entry* direct = stacks.push_context(1, index);
    EXPECT_EQ(direct->index, index);
    EXPECT_EQ(rows.at(2), direct);
    const std::int32_t named = rows.change_counter();
    EXPECT_NE(named, below);
    stacks.pop_context(direct);
    EXPECT_EQ(rows.change_counter(), below);
    kov_context_entry* stepwise = stacks.push_context(1);
    stacks.set_index(stepwise, index);
    EXPECT_EQ(rows.change_counter(), named);
    stacks.pop_context(stepwise);
    EXPECT_EQ(rows.change_counter(), below);
    EXPECT_EQ(rows.at(1)->index, 2);
    stacks.pop_context(outer);
    EXPECT_EQ(rows.depth(), 0u);
  }
}

// Contents that differ get different numbers, however they were reached.
TEST(ContextPush, DifferentIndicesDiffer) {
  kov_context_stacks stacks;
  const kov_context_stack& cells = stacks.stack(2);
  kov_context_entry* a = stacks.push_context(2, 4);
  const std::int32_t at_four = cells.change_counter();
  stacks.pop_context(a);
  kov_context_entry* b = stacks.push_context(2, 5);
  EXPECT_NE(cells.change_counter(), at_four);
  stacks.set_index(b, 4);
  EXPECT_EQ(cells.change_counter(), at_four);
  stacks.pop_context(b);
}

// Entries of a kind without a stack keep the index they were pushed at.
TEST(ContextPush, DetachedEntriesKeepTheirIndex) {
  kov_context_stacks stacks;
  const int kinds[] = {-1, 3, 7};
  for (int kind : kinds) {
    SCOPED_TRACE(kind);
    kov_context_entry* e = stacks.push_context(kind, 9);
    EXPECT_EQ(e->index, 9);
    stacks.pop_context(e);
    EXPECT_EQ(stacks.stack(kind).depth(), 0u);
  }
}

// Pushing deeper than the stack has slots grows it; every entry keeps its place.
TEST(ContextPush, GrowsPastItsSlots) {
  kov_context_stacks stacks;
  std::vector<kov_context_entry*> entries;
  for (std::int32_t i = 0; i < 40; ++i)
    entries.push_back(stacks.push_context(0, i));
  const kov_context_stack& s = stacks.stack(0);
  ASSERT_EQ(s.depth(), 40u);
  for (std::int32_t i = 0; i < 40; ++i)
    EXPECT_EQ(s.at(i + 1)->index, i);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    stacks.pop_context(*it);
  EXPECT_EQ(s.depth(), 0u);
}

}  // namespace
}  // namespace quillet::test
