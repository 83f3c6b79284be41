// The one counted handle of the system, rc_ptr<T>, for every counted object: the counted
// objects of the expression language and the document (count operations add_ref and release)
// and the component interfaces (AddRef and Release). rc_traits<T> names the two operations;
// a handle owns exactly one reference to what it holds.
#pragma once

#include <cstddef>
#include <utility>

namespace quillet {

// How a handle retains and releases a T. The default calls the counted base's add_ref and
// release; component interfaces get AddRef and Release (platform/com/unknown.h).
template <class T>
struct rc_traits {
  static void retain(T* p) noexcept { p->add_ref(); }
  static void release(T* p) noexcept { p->release(); }
};

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
  ~rc_ptr() { if (p_) rc_traits<T>::release(p_); }

  rc_ptr& operator=(rc_ptr o) noexcept { std::swap(p_, o.p_); return *this; }

  void reset() noexcept { rc_ptr().swap(*this); }
  void reset(T* p) noexcept { rc_ptr(p).swap(*this); }
  void swap(rc_ptr& o) noexcept { std::swap(p_, o.p_); }
  // Hands the reference to the caller; the handle becomes empty.
  [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }
  // For an out parameter that hands over a reference: releases what is held and gives the
  // empty slot to be filled.
  T** put() noexcept { reset(); return &p_; }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  friend bool operator==(const rc_ptr& a, const rc_ptr& b) noexcept { return a.p_ == b.p_; }
  friend bool operator==(const rc_ptr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
  void retain() const noexcept { if (p_) rc_traits<T>::retain(p_); }
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
