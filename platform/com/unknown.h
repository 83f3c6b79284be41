// Result codes and the base of every component interface: interface lookup by identifier and
// COM-style reference counting (a new object starts with one reference, its creator's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/com/guid.h"

namespace quillet::com {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

inline const IID IID_IUnknown = guid_of("{00000000-0000-0000-C000-000000000046}");

// Memory that crosses an interface and is freed by the receiver.
inline void* CoTaskMemAlloc(std::size_t size) { return std::malloc(size ? size : 1); }
inline void CoTaskMemFree(void* p) { std::free(p); }

class IUnknown {
public:
  // Stores the interface with an added reference, or null and E_NOINTERFACE.
  virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

protected:
  ~IUnknown() = default;
};

// Holds one counted interface pointer and releases it.
template <class T>
class com_ptr {
public:
  com_ptr() = default;
  // Adopts a reference the caller already owns.
  explicit com_ptr(T* p) : p_(p) {}
  com_ptr(const com_ptr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  com_ptr(com_ptr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  com_ptr& operator=(com_ptr o) noexcept { T* t = p_; p_ = o.p_; o.p_ = t; return *this; }
  ~com_ptr() { reset(); }

  void reset() { if (p_) p_->Release(); p_ = nullptr; }
  // For out parameters: releases what is held and gives the slot.
  T** put() { reset(); return &p_; }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  T* p_ = nullptr;
};

// Asks `from` for an interface into `to`; false (and `to` empty) when it has none.
template <class T>
bool query(IUnknown* from, const IID& iid, com_ptr<T>& to) {
  to.reset();
  if (!from)
    return false;
  return SUCCEEDED(from->QueryInterface(iid, to.put_void())) && to;
}

}  // namespace quillet::com
