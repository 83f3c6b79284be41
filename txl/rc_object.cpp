// Allocation and the live-object counter of the counted base.
#include "txl/rc_object.h"

namespace quillet {

namespace {
std::atomic<std::int64_t> live_objects{0};
}

void* static_malloc_allocator::allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p)
    throw std::bad_alloc();
  return p;
}

std::int64_t rc_live_objects() { return live_objects.load(std::memory_order_relaxed); }

rc_object_base::rc_object_base() { live_objects.fetch_add(1, std::memory_order_relaxed); }

rc_object_base::~rc_object_base() { live_objects.fetch_sub(1, std::memory_order_relaxed); }

}  // namespace quillet
