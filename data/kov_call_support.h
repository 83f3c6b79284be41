// Small helpers shared by the channel-function implementations: argument presence, the
// class of a process-data argument, and handing a data source's answer to the caller.
#pragma once

#include <span>

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

// The value as a process-data class, or null when it is of another class.
template <class T>
const T* kov_value_as(const anyval& value) {
  return dynamic_cast<const T*>(value.get());
}

// Hands a source's answer to the caller. A refused read (false), an answer without a value
// and a vector longer than kov_max_read_values all fail with the marker.
bool kov_deliver(txl_call& call, bool answered, anyval& answer, std::string_view marker);

}  // namespace quillet
