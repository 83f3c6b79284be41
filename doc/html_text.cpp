// Storage of node texts: small texts inside the object, the rest in one malloc block.
#include "doc/html_text.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace quillet {

html_text& html_text::operator=(html_text&& o) noexcept {
  if (this != &o) {
    reset();
    heap_ = std::exchange(o.heap_, nullptr);
  }
  return *this;
}

std::string_view html_text::view() const noexcept {
  const char* p = c_str();
  return p ? std::string_view(p) : std::string_view();
}

void html_text::assign(std::string_view s) {
  std::size_t n = s.size();
  if (const void* nul = std::memchr(s.data(), 0, n))
    n = static_cast<std::size_t>(static_cast<const char*>(nul) - s.data());
  if (n <= small_capacity) {
    char bytes[8] = {1};
    std::memcpy(bytes + 1, s.data(), n);
    reset();
    std::memcpy(small_, bytes, sizeof bytes);
    return;
  }
  char* p = static_cast<char*>(std::malloc(n + 1));
  if (!p)
    throw std::bad_alloc();
  std::memcpy(p, s.data(), n);
  p[n] = '\0';
  reset();
  heap_ = p;
}

void html_text::reset() noexcept {
  if (!is_small())
    std::free(heap_);
  heap_ = nullptr;
}

}  // namespace quillet
