// Storage of node texts: small texts inside the object, the rest in one pool block.
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
  std::uint32_t n;
  std::memcpy(&n, heap_, sizeof n);
  return std::string_view(heap_ + length_prefix, n);
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
  char* p = static_cast<char*>(node_pool::allocate(length_prefix + n + 1));
  auto len = static_cast<std::uint32_t>(n);
  std::memcpy(p, &len, sizeof len);
  std::memcpy(p + length_prefix, s.data(), n);
  p[length_prefix + n] = '\0';
  reset();
  heap_ = p;
}

void html_text::reset() noexcept {
  if (!is_small() && heap_)
    node_pool::release(heap_, length_prefix + view().size() + 1);
  heap_ = nullptr;
}

}  // namespace quillet
