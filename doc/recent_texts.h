// The texts one read has met lately, so that a short text met again (a cell's style or class, a
// long attribute name, a word repeated from row to row) shares the node pool block of its first
// copy instead of taking its own. The reader keeps one for the length of a read; every string
// it makes must outlive it unchanged (the nodes of the tree being read do), since it looks back
// at their bytes without a hold of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "doc/html_text.h"

namespace quillet {

class recent_texts {
public:
  recent_texts() = default;
  recent_texts(const recent_texts&) = delete;
  recent_texts& operator=(const recent_texts&) = delete;
  ~recent_texts();

  // A string holding `s` (up to a NUL, as html_text keeps it), sharing a recent text's block
  // when that holds the same bytes.
  html_text make(std::string_view s) {
    if (s.size() <= html_text::small_capacity || s.size() > largest_shared)
      return html_text(s);
    return make_shared(s);
  }

private:
  // Texts longer than this are rarely met twice and cost more to compare than to copy.
  static constexpr std::size_t largest_shared = 32;
  static_assert(largest_shared < 0xFF, "a shared text has a one-byte length");
  static constexpr unsigned slot_bits = 10;
  // Holds on a block are taken this many at a time, so that sharing costs one atomic
  // operation per batch rather than one per text.
  static constexpr std::size_t hold_batch = 64;

  struct slot {
    char* block = nullptr;        // of the last text made with this hash; no hold of its own
    std::uint32_t hash = 0;         // of that text, so that most misses never touch its block
    std::uint32_t spare_holds = 0;  // holds on it taken and not yet handed out
  };

  html_text make_shared(std::string_view s);
  static std::uint64_t hash_of(std::string_view s);
  static bool holds(const slot& in, std::uint32_t hash, std::string_view s);
  static html_text share(slot& from);
  static void give_back_spares(slot& s) noexcept;

  std::array<slot, std::size_t(1) << slot_bits> slots_;
};

}  // namespace quillet
