// Upper bounds on values whose size a template controls, so that no expression can make the
// report generator allocate without bound. A function that would build a longer vector or
// string fails with its own marker instead.
#pragma once

#include <cstddef>

namespace quillet {

// Most elements a vector built by an expression may hold (16M).
inline constexpr std::size_t txl_max_vector_elements = std::size_t{16} << 20;
// Most bytes a string built by an expression may hold (256 MiB).
inline constexpr std::size_t txl_max_string_bytes = std::size_t{256} << 20;

}  // namespace quillet
