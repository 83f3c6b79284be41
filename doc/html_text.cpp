// Storage of node texts: small texts inside the object, the rest in the node pool's text blocks.
#include "doc/html_text.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "doc/node_pool.h"

namespace quillet {

html_text& html_text::operator=(html_text&& o) noexcept {
  if (this != &o) {
    reset();
    heap_ = std::exchange(o.heap_, nullptr);
  }
  return *this;
}

// The bytes the block of a heap string takes: prefix, text and terminator.
std::size_t html_text::block_size() const noexcept {
  std::string_view v = view();
  return static_cast<std::size_t>(v.data() - heap_) + v.size() + 1;
}

// The up to six bytes of a short text as one word, the first byte lowest; loaded in two
// overlapping halves (or three single bytes), so that no loop runs per byte.
static std::uint64_t small_word(const char* s, std::size_t n) {
  if (n >= 4) {
    std::uint32_t head, tail;
    std::memcpy(&head, s, 4);
    std::memcpy(&tail, s + n - 4, 4);
    return head | std::uint64_t{tail} << (8 * (n - 4));
  }
  if (n == 0)
    return 0;
  auto at = [s](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(s[i])}; };
  return at(0) | at(n / 2) << (8 * (n / 2)) | at(n - 1) << (8 * (n - 1));
}

// How many of the n (at most seven) low bytes of w come before the first NUL.
static std::size_t bytes_before_nul(std::uint64_t w, std::size_t n) {
  constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
  std::uint64_t t = w | ~std::uint64_t{0} << (8 * n);
  std::uint64_t zero = (t - ones) & ~t & highs;
  return zero ? static_cast<std::size_t>(std::countr_zero(zero)) / 8 : n;
}

// Short texts (most names and values) are gathered into one word and stored at once, cut at
// a NUL; longer ones are measured up to a NUL first.
void html_text::assign(std::string_view s) {
  std::size_t n = s.size();
  if (n <= small_capacity) {
    std::uint64_t w = small_word(s.data(), n);
    std::size_t k = bytes_before_nul(w, n);
    w &= k ? ~std::uint64_t{0} >> (64 - 8 * k) : 0;
    w = w << 8 | (k << 1 | 1);
    reset();
    std::memcpy(small_, &w, sizeof w);
    return;
  }
  if (const void* nul = std::memchr(s.data(), 0, n))
    return assign(s.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - s.data())));
  if (n > 0xFFFFFFF0u)
    throw std::bad_alloc();
  std::size_t prefix = n < long_length ? 1 : 5;
  char* p = static_cast<char*>(node_pool::allocate_text(prefix + n + 1));
  if (prefix == 1) {
    p[0] = static_cast<char>(n);
  } else {
    auto len = static_cast<std::uint32_t>(n);
    p[0] = static_cast<char>(long_length);
    std::memcpy(p + 1, &len, sizeof len);
  }
  std::memcpy(p + prefix, s.data(), n);
  p[prefix + n] = '\0';
  reset();
  heap_ = p;
}

void html_text::release_block() noexcept { node_pool::release(heap_, block_size()); }

}  // namespace quillet
