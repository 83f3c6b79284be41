// Storage of node texts: small texts inside the object, the rest in the node pool's text blocks.
#include "doc/html_text.h"

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

std::string_view html_text::view() const noexcept {
  if (is_small())
    return std::string_view(small_ + 1, static_cast<unsigned char>(small_[0]) >> 1);
  if (!heap_)
    return std::string_view();
  auto first = static_cast<unsigned char>(heap_[0]);
  if (first != long_length)
    return std::string_view(heap_ + 1, first);
  std::uint32_t n;
  std::memcpy(&n, heap_ + 1, sizeof n);
  return std::string_view(heap_ + 5, n);
}

// The bytes the block of a heap string takes: prefix, text and terminator.
std::size_t html_text::block_size() const noexcept {
  std::string_view v = view();
  return static_cast<std::size_t>(v.data() - heap_) + v.size() + 1;
}

// Short texts (most names and values) are copied byte by byte, stopping at a NUL, without a
// library call; longer ones are measured up to a NUL first.
void html_text::assign(std::string_view s) {
  std::size_t n = s.size();
  if (n <= small_capacity) {
    char bytes[8] = {};
    std::size_t k = 0;
    for (; k < n && s[k] != '\0'; ++k)
      bytes[k + 1] = s[k];
    bytes[0] = static_cast<char>(k << 1 | 1);
    reset();
    std::memcpy(small_, bytes, sizeof bytes);
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
