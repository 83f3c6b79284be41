// The answer to a mistyped name: the nearest of a list of known names, for "did you mean"
// hints of the command line and the template checker.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

// The number of single-byte edits (insert, delete, replace) that turn `a` into `b`.
std::size_t edit_distance(std::string_view a, std::string_view b);

// The first of `known` nearest to `name` within two edits; empty when none is that near.
template <class List>
std::string_view nearest_name(std::string_view name, const List& known) {
  std::string_view best;
  std::size_t best_distance = 3;
  for (std::string_view k : known) {
    std::size_t d = edit_distance(name, k);
    if (d < best_distance) {
      best_distance = d;
      best = k;
    }
  }
  return best;
}

}  // namespace quillet
