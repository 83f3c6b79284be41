// Result codes and the base of every component interface: interface lookup by identifier and
// COM-style reference counting (a new object starts with one reference, its creator's).
// rc_ptr holds interfaces through AddRef and Release.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "platform/com/guid.h"
#include "platform/rc/rc_ptr.h"

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

}  // namespace quillet::com

namespace quillet {

// Handles hold interfaces by the interfaces' own count.
template <class T>
  requires std::is_base_of_v<com::IUnknown, T>
struct rc_traits<T> {
  static void retain(T* p) noexcept { p->AddRef(); }
  static void release(T* p) noexcept { p->Release(); }
};

}  // namespace quillet

namespace quillet::com {

// The slot of a handle as the untyped out parameter of QueryInterface and CoCreateInstance,
// which store an interface with a reference added.
template <class T>
void** put_void(rc_ptr<T>& handle) {
  return reinterpret_cast<void**>(handle.put());
}

// Asks `from` for an interface into `to`; false (and `to` empty) when it has none.
template <class T>
bool query(IUnknown* from, const IID& iid, rc_ptr<T>& to) {
  to.reset();
  if (!from)
    return false;
  return SUCCEEDED(from->QueryInterface(iid, put_void(to))) && to;
}

}  // namespace quillet::com
