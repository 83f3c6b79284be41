// The node pool: sizes keep their bytes apart, memory freed out of order or on another thread
// than the one that took it comes back intact, and held memory outlives its block's other
// objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "doc/node_pool.h"

namespace quillet {
namespace {

struct slot {
  unsigned char* p;
  std::size_t size;
  unsigned char fill;
};

// Takes `count` objects of mixed sizes, each filled with its own byte.
std::vector<slot> take_many(std::size_t count, unsigned seed, bool transient) {
  std::mt19937 rng(seed);
  const std::size_t sizes[] = {1, 7, 8, 9, 24, 40, 56, 255, 256, 257, 1000, 70000};
  std::vector<slot> out;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t size = sizes[rng() % std::size(sizes)];
    void* p = transient ? node_pool::allocate_transient(size) : node_pool::allocate(size);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u) << size;
    auto fill = static_cast<unsigned char>(i);
    std::memset(p, fill, size);
    out.push_back({static_cast<unsigned char*>(p), size, fill});
  }
  return out;
}

// Checks every object still holds its own bytes, then gives them all back.
void check_and_release(std::vector<slot>& slots) {
  for (const slot& s : slots) {
    ASSERT_EQ(s.p[0], s.fill);
    ASSERT_EQ(s.p[s.size - 1], s.fill);
    node_pool::release(s.p, s.size);
  }
  slots.clear();
}

TEST(NodePool, MixedSizesInAnyOrder) {
  struct row {
    const char* name;
    bool transient, shuffle;
  };
  const row rows[] = {
      {"in order", false, false}, {"shuffled", false, true}, {"short-lived", true, true}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    std::vector<slot> slots = take_many(50000, 7, r.transient);
    if (r.shuffle)
      std::shuffle(slots.begin(), slots.end(), std::mt19937(3));
    check_and_release(slots);
  }
}

TEST(NodePool, ReleasedOnAnotherThread) {
  std::vector<slot> slots = take_many(20000, 11, false);
  std::thread other([&] { check_and_release(slots); });
  other.join();
  EXPECT_TRUE(slots.empty());
  std::vector<slot> made_there;
  std::thread maker([&] { made_there = take_many(20000, 13, false); });
  maker.join();
  check_and_release(made_there);
}

// A text with extra holds keeps its bytes after everything else in its blocks is gone and the
// freed blocks are carved again, until the last hold goes.
TEST(NodePool, HeldTextOutlivesItsBlock) {
  std::vector<slot> before;
  for (int i = 0; i < 5000; ++i) {
    auto* p = static_cast<unsigned char*>(node_pool::allocate_text(11));
    std::memset(p, 0x11, 11);
    before.push_back({p, 11, 0x11});
  }
  auto* held = static_cast<unsigned char*>(node_pool::allocate_text(17));
  std::memset(held, 0x5A, 17);
  ASSERT_EQ(reinterpret_cast<std::uintptr_t>(held) % 2, 0u);
  if (!node_pool::retain(held, 17, 3)) {
    node_pool::release(held, 17);
    check_and_release(before);
    GTEST_SKIP() << "the pool hands memory to malloc in this build";
  }
  node_pool::release(held, 17);
  check_and_release(before);
  std::vector<slot> after;
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 20000; ++i) {
      auto* p = static_cast<unsigned char*>(node_pool::allocate_text(40));
      std::memset(p, 0x22, 40);
      if (round == 0)
        node_pool::release(p, 40);
      else
        after.push_back({p, 40, 0x22});
    }
  for (int i = 0; i < 17; ++i)
    EXPECT_EQ(held[i], 0x5A) << i;
  node_pool::release(held, 17, 3);
  check_and_release(after);
}

}  // namespace
}  // namespace quillet
