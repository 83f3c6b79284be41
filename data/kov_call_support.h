// Small helpers shared by the channel-function implementations: argument presence, the
// class of a process-data argument, and handing a data source's answer to the caller.
#pragma once

#include <span>
#include <type_traits>
#include <typeinfo>

#include "data/kov_data_source.h"
#include "data/kov_values.h"
#include "txl/function_entry.h"

namespace quillet {

// True when any argument slot holds no value.
inline bool kov_any_absent(std::span<const anyval> args) {
  for (const anyval& a : args)
    if (a.empty())
      return true;
  return false;
}

// The value as a process-data class, or null when it is of another class. Each such class
// keeps the base kind it derives from, and the exact class, final nearly everywhere, is
// compared first: reports ask for events and data values cell by cell, and a full
// dynamic_cast, a miss above all, cost a few hundred instructions each time.
template <class T>
const T* kov_value_as(const anyval& value) {
  const anyval_imp* p = value.get();
  if (!p || p->plain_kind != 0)
    return nullptr;
  if constexpr (std::is_base_of_v<anyval_imp_float, T>) {
    if (p->type() != type_float)
      return nullptr;
  } else if constexpr (std::is_base_of_v<anyval_imp_string, T>) {
    if (p->type() != type_string)
      return nullptr;
  } else if constexpr (std::is_base_of_v<anyval_imp_int, T>) {
    if (p->type() != type_int)
      return nullptr;
  }
  const std::type_info& type = typeid(*p);
  if (&type == &typeid(T) || type == typeid(T))
    return static_cast<const T*>(p);
  if constexpr (std::is_final_v<T>)
    return nullptr;
  else
    return dynamic_cast<const T*>(p);
}

// Hands a source's answer to the caller. A refused read (false), an answer without a value
// and a vector longer than kov_max_read_values all fail with the marker.
bool kov_deliver(txl_call& call, bool answered, anyval& answer, std::string_view marker);

}  // namespace quillet
