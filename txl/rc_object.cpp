// Allocation of the counted base.
#include "txl/rc_object.h"

namespace quillet {

void* static_malloc_allocator::allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p)
    throw std::bad_alloc();
  return p;
}

}  // namespace quillet
