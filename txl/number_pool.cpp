// Per-thread free lists of value blocks, bounded so that a thread that once dropped many
// values does not hold their memory for ever.
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

// Two sizes of block: numbers fit the small one, strings (their object with the text's
// inline room) the large one. Each size keeps at most its own count (128 KiB each).
struct block_class {
  std::size_t bytes;
  std::size_t max_kept;
};
constexpr block_class classes[] = {{32, 4096}, {64, 2048}};
constexpr std::size_t class_count = sizeof(classes) / sizeof(classes[0]);

struct free_block {
  free_block* next;
};

constinit thread_local free_block* kept[class_count] = {};
constinit thread_local std::size_t kept_count[class_count] = {};

// The class of blocks an object of `size` bytes takes, or class_count for malloc's own.
std::size_t class_of(std::size_t size) {
  static_assert(class_count == 2);
  return size <= classes[0].bytes ? 0 : size <= classes[1].bytes ? 1 : class_count;
}

void* from_malloc(std::size_t size) {
  void* p = std::malloc(size);
  if (!p)
    throw std::bad_alloc();
  return p;
}

}  // namespace

void* allocate(std::size_t size) {
  std::size_t c = class_of(size);
  if (c == class_count)
    return from_malloc(size);
  if (pooled && kept[c]) {
    free_block* b = kept[c];
    kept[c] = b->next;
    --kept_count[c];
    return b;
  }
  return from_malloc(classes[c].bytes);
}

void release(void* p, std::size_t size) noexcept {
  if (!p)
    return;
  std::size_t c = class_of(size);
  if (pooled && c < class_count && kept_count[c] < classes[c].max_kept) {
    kept[c] = new (p) free_block{kept[c]};
    ++kept_count[c];
    return;
  }
  std::free(p);
}

}  // namespace quillet::number_pool
