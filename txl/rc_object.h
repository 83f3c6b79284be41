// The reference-counting base shared by every long-lived object of the system (values,
// expression and parse nodes, user functions, document nodes, data nodes); the counted
// handle rc_ptr<T> (platform/rc/rc_ptr.h) holds any of them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/rc/live_count.h"
#include "platform/rc/rc_ptr.h"

namespace quillet {

// Counted objects are allocated with malloc and released with free.
struct static_malloc_allocator {
  static void* allocate(std::size_t size);
  static void release(void* p) noexcept { std::free(p); }
};

// Holds only the virtual table; allocation goes through static_malloc_allocator.
class virtual_object_base {
public:
  virtual ~virtual_object_base() = default;
  static void* operator new(std::size_t size) { return static_malloc_allocator::allocate(size); }
  static void operator delete(void* p) noexcept { static_malloc_allocator::release(p); }
};

// Adds the reference count. A new object starts at 1, owned by the code that built it.
class rc_object_base : public virtual_object_base {
public:
  rc_object_base() noexcept { rc_detail::count_live(1); }
  rc_object_base(const rc_object_base&) = delete;
  rc_object_base& operator=(const rc_object_base&) = delete;
  ~rc_object_base() override { rc_detail::count_live(-1); }

  void add_ref() const noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference; the last one destroys the object.
  void release() const noexcept {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
      delete this;
  }
  std::int32_t ref_count() const noexcept { return refs_.load(std::memory_order_relaxed); }

private:
  mutable std::atomic<std::int32_t> refs_{1};
};

// Base of every heap object shared by counted references.
class dynamic_object : public rc_object_base {};

}  // namespace quillet
