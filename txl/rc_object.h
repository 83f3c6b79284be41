// The reference-counting base shared by every long-lived object of the system (values,
// expression and parse nodes, user functions, document nodes, data nodes), and the one
// counted handle, rc_ptr<T>, that holds any of them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

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

// Number of counted objects alive in this process; tests check it drops back to zero.
std::int64_t rc_live_objects();

namespace rc_detail {
// This thread's count of objects made minus objects destroyed (see rc_object.cpp); null
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

struct adopt_ref_t {};
inline constexpr adopt_ref_t adopt_ref{};

// Counted handle: one pointer, possibly empty. Copies take a reference, destruction
// and reset release it. The adopting constructor takes over the creator's reference.
template <class T>
class rc_ptr {
public:
  rc_ptr() noexcept = default;
  rc_ptr(std::nullptr_t) noexcept {}
  rc_ptr(T* p, adopt_ref_t) noexcept : p_(p) {}
  // Retains: the caller keeps its own reference.
  explicit rc_ptr(T* p) noexcept : p_(p) { retain(); }
  rc_ptr(const rc_ptr& o) noexcept : p_(o.p_) { retain(); }
  rc_ptr(rc_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  rc_ptr(const rc_ptr<U>& o) noexcept : p_(o.get()) { retain(); }
  template <class U>
  rc_ptr(rc_ptr<U>&& o) noexcept : p_(o.detach()) {}
  ~rc_ptr() { if (p_) p_->release(); }

  rc_ptr& operator=(rc_ptr o) noexcept { std::swap(p_, o.p_); return *this; }

  void reset() noexcept { rc_ptr().swap(*this); }
  void reset(T* p) noexcept { rc_ptr(p).swap(*this); }
  void swap(rc_ptr& o) noexcept { std::swap(p_, o.p_); }
  // Hands the reference to the caller; the handle becomes empty.
  [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  friend bool operator==(const rc_ptr& a, const rc_ptr& b) noexcept { return a.p_ == b.p_; }
  friend bool operator==(const rc_ptr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
  void retain() const noexcept { if (p_) p_->add_ref(); }
  T* p_ = nullptr;
};

// Builds a counted object; the handle adopts the creator's reference.
template <class T, class... Args>
rc_ptr<T> make_rc(Args&&... args) {
  return rc_ptr<T>(new T(std::forward<Args>(args)...), adopt_ref);
}

// Casts a handle down the class tree; empty when the object is not a U.
template <class U, class T>
rc_ptr<U> rc_dynamic_cast(const rc_ptr<T>& p) {
  return rc_ptr<U>(dynamic_cast<U*>(p.get()));
}

}  // namespace quillet
