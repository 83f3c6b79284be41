// Per-thread free lists of number blocks, bounded so that a thread that once dropped many
// numbers does not hold their memory for ever.
#include "txl/number_pool.h"

#include <cstdlib>
#include <new>

namespace quillet::number_pool {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool pooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool pooled = false;
#else
constexpr bool pooled = true;
#endif
#else
constexpr bool pooled = true;
#endif

constexpr std::size_t block_bytes = 32;
// The most blocks one thread keeps (128 KiB).
constexpr std::size_t max_kept = 4096;

struct free_block {
  free_block* next;
};

constinit thread_local free_block* kept = nullptr;
constinit thread_local std::size_t kept_count = 0;

}  // namespace

void* allocate(std::size_t size) {
  if (size > block_bytes) {
    void* p = std::malloc(size);
    if (!p)
      throw std::bad_alloc();
    return p;
  }
  if (pooled && kept) {
    free_block* b = kept;
    kept = b->next;
    --kept_count;
    return b;
  }
  void* p = std::malloc(block_bytes);
  if (!p)
    throw std::bad_alloc();
  return p;
}

void release(void* p, std::size_t size) noexcept {
  if (!p)
    return;
  if (pooled && size <= block_bytes && kept_count < max_kept) {
    kept = new (p) free_block{kept};
    ++kept_count;
    return;
  }
  std::free(p);
}

}  // namespace quillet::number_pool
