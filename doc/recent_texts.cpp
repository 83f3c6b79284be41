// Sharing equal short texts within one read: a direct-mapped table of the last text made per
// hash, each slot with a stock of holds on its block.
#include "doc/recent_texts.h"

#include <cstring>

#include "doc/node_pool.h"

namespace quillet {

recent_texts::~recent_texts() {
  for (slot& s : slots_)
    give_back_spares(s);
}

// A hash of the first and last eight bytes (four for a seven-byte text) and the length: two
// multiplications whatever the length; its top bits pick the slot. Texts that differ only in
// their middle collide, which costs a copy, never a wrong text.
std::uint64_t recent_texts::hash_of(std::string_view s) {
  std::size_t n = s.size();
  std::uint64_t head = 0, tail = 0;
  if (n >= 8) {
    std::memcpy(&head, s.data(), 8);
    std::memcpy(&tail, s.data() + n - 8, 8);
  } else {
    std::memcpy(&head, s.data(), 4);
    std::memcpy(&tail, s.data() + n - 4, 4);
  }
  return (head * 0x9E3779B97F4A7C15ull) ^ ((tail + n) * 0xC2B2AE3D27D4EB4Full);
}

// True when the slot's block holds exactly `s`; a shared text is short, so its length is the
// block's first byte.
bool recent_texts::holds(const slot& in, std::uint32_t hash, std::string_view s) {
  const char* block = in.block;
  return block && in.hash == hash && static_cast<unsigned char>(block[0]) == s.size() &&
         std::memcmp(block + 1, s.data(), s.size()) == 0;
}

// A text cut at a NUL or kept inside its object leaves the slot empty.
html_text recent_texts::make_shared(std::string_view s) {
  auto hash = static_cast<std::uint32_t>(hash_of(s) >> 32);
  slot& in = slots_[hash >> (32 - slot_bits)];
  if (holds(in, hash, s))
    return share(in);
  html_text made(s);
  give_back_spares(in);
  in.block = made.is_small() ? nullptr : made.heap_;
  in.hash = hash;
  return made;
}

// A string on the slot's block, paid for from the slot's stock of holds; a copy when the pool
// does not share the block.
html_text recent_texts::share(slot& from) {
  std::size_t size = static_cast<unsigned char>(from.block[0]) + std::size_t(2);
  if (from.spare_holds == 0) {
    if (!node_pool::retain(from.block, size, hold_batch))
      return html_text(std::string_view(from.block + 1, size - 2));
    from.spare_holds = hold_batch;
  }
  --from.spare_holds;
  html_text t;
  t.heap_ = from.block;
  return t;
}

void recent_texts::give_back_spares(slot& s) noexcept {
  if (s.spare_holds > 0)
    node_pool::release(s.block, static_cast<unsigned char>(s.block[0]) + std::size_t(2), s.spare_holds);
  s.spare_holds = 0;
}

}  // namespace quillet
