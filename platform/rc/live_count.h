// The count of counted objects alive in this process: the counted base adds one when an
// object is made and takes one away when it is destroyed; tests check it drops back to zero.
#pragma once

#include <atomic>
#include <cstdint>

namespace quillet {

// Number of counted objects alive in this process.
std::int64_t rc_live_objects();

namespace rc_detail {
// This thread's count of objects made minus objects destroyed (see live_count.cpp); null
// until the thread's first object.
extern constinit thread_local std::atomic<std::int64_t>* thread_live_count;
std::atomic<std::int64_t>& register_thread_count();

// Only the owning thread writes its count, so a plain add suffices; the atomic type lets
// other threads read it meanwhile.
inline void count_live(std::int64_t delta) noexcept {
  std::atomic<std::int64_t>* c = thread_live_count;
  if (!c)
    c = &register_thread_count();
  c->store(c->load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
}
}  // namespace rc_detail

}  // namespace quillet
