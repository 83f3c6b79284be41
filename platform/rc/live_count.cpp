// The live-object counter of the counted base.
//
// Every thread counts the objects it creates and destroys in a counter of its own, written
// without a locked instruction; the live count is the sum over all counters. An object made
// on one thread and freed on another leaves +1 and -1 in two counters, which still sum to
// zero. Counters are never freed (an object may be freed during thread or program exit, after
// any destructor of ours would have run), so one small record stays per thread ever started.
#include "platform/rc/live_count.h"

#include <mutex>
#include <vector>

namespace quillet {

namespace {

struct counter_registry {
  std::mutex lock;
  std::vector<const std::atomic<std::int64_t>*> counters;
};

counter_registry& registry() {
  static counter_registry* r = new counter_registry;  // outlives every static destructor
  return *r;
}

}  // namespace

namespace rc_detail {

constinit thread_local std::atomic<std::int64_t>* thread_live_count = nullptr;

std::atomic<std::int64_t>& register_thread_count() {
  if (thread_live_count)
    return *thread_live_count;
  thread_live_count = new std::atomic<std::int64_t>(0);
  counter_registry& r = registry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.counters.push_back(thread_live_count);
  return *thread_live_count;
}

}  // namespace rc_detail

std::int64_t rc_live_objects() {
  counter_registry& r = registry();
  std::lock_guard<std::mutex> hold(r.lock);
  std::int64_t sum = 0;
  for (const auto* c : r.counters)
    sum += c->load(std::memory_order_relaxed);
  return sum;
}

}  // namespace quillet
