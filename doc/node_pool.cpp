// Bump allocation from aligned blocks with a live count in each block's header. The thread
// carving a block holds a large bias on its count while it carves, so that taking an object
// needs no atomic operation; freeing (from any thread) is one atomic decrement. Under
// AddressSanitizer everything goes to malloc, so that use after free stays visible to it.
#include "doc/node_pool.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#include <sys/mman.h>

namespace quillet::node_pool {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool pooled = false;
#else
constexpr bool pooled = true;
#endif

constexpr std::size_t granule = 8;
constexpr std::size_t largest_pooled = 256;
constexpr std::size_t block_size = std::size_t(1) << 16;
constexpr std::int64_t carving_bias = std::int64_t(1) << 40;

struct alignas(64) block_header {
  std::atomic<std::int64_t> live;
};

struct thread_carver {
  block_header* block = nullptr;
  char* cur = nullptr;
  char* end = nullptr;
  std::int64_t carved = 0;
};

thread_local thread_carver carver;
thread_local thread_carver transient_carver;
thread_local thread_carver text_carver;

constexpr std::size_t text_granule = 2;

void* heap_allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p)
    throw std::bad_alloc();
  return p;
}

// Blocks come straight from the system, aligned to their size so that an object finds its
// block's header by masking its address. Up to 64 MiB of empty blocks are kept for the next
// read; the rest go back to the system.
class block_source {
public:
  static void* take() {
    {
      std::lock_guard<std::mutex> guard(lock());
      if (spare_count() > 0)
        return spares()[--spare_count()];
    }
    return map_aligned();
  }
  static void give_back(void* block) noexcept {
    {
      std::lock_guard<std::mutex> guard(lock());
      if (spare_count() < max_spares) {
        spares()[spare_count()++] = block;
        return;
      }
    }
    ::munmap(block, block_size);
  }
  static std::size_t release_spares() noexcept {
    std::lock_guard<std::mutex> guard(lock());
    std::size_t n = spare_count();
    for (std::size_t i = 0; i < n; ++i)
      ::munmap(spares()[i], block_size);
    spare_count() = 0;
    return n * block_size;
  }

private:
  static constexpr std::size_t max_spares = 1024;
  static std::mutex& lock() {
    static std::mutex m;
    return m;
  }
  static void** spares() {
    static void* s[max_spares];
    return s;
  }
  static std::size_t& spare_count() {
    static std::size_t n = 0;
    return n;
  }
  // Maps twice the block size and unmaps what lies outside the aligned block within it.
  static void* map_aligned() {
    void* raw = ::mmap(nullptr, 2 * block_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
      throw std::bad_alloc();
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    auto aligned = (start + block_size - 1) & ~(std::uintptr_t(block_size) - 1);
    if (aligned > start)
      ::munmap(raw, aligned - start);
    std::size_t tail = start + 2 * block_size - (aligned + block_size);
    if (tail > 0)
      ::munmap(reinterpret_cast<void*>(aligned + block_size), tail);
    return reinterpret_cast<void*>(aligned);
  }
};

block_header* block_of(void* p) noexcept {
  auto at = reinterpret_cast<std::uintptr_t>(p) & ~(std::uintptr_t(block_size) - 1);
  return reinterpret_cast<block_header*>(at);
}

// Drops `n` from a block's count; the block goes back when nothing in it is alive any more.
void drop_live(block_header* b, std::int64_t n) noexcept {
  if (b->live.fetch_sub(n, std::memory_order_acq_rel) == n) {
    b->~block_header();
    block_source::give_back(b);
  }
}

// Stops carving the current block: the bias becomes the true number of objects in it.
void retire_block(thread_carver& c) noexcept {
  if (c.block)
    drop_live(c.block, carving_bias - c.carved);
  c.block = nullptr;
}

void start_block(thread_carver& c) {
  void* mem = block_source::take();
  retire_block(c);
  c.block = new (mem) block_header{carving_bias};
  c.cur = static_cast<char*>(mem) + sizeof(block_header);
  c.end = static_cast<char*>(mem) + block_size;
  c.carved = 0;
}

// Gives up the thread's blocks when the thread ends, so that they can be freed with their objects.
struct carver_guard {
  ~carver_guard() {
    retire_block(carver);
    retire_block(transient_carver);
    retire_block(text_carver);
  }
};

void* carve(thread_carver& c, std::size_t size, std::size_t unit = granule) {
  if (!pooled || size > largest_pooled)
    return heap_allocate(size);
  std::size_t bytes = size ? (size + unit - 1) / unit * unit : unit;
  if (static_cast<std::size_t>(c.end - c.cur) < bytes) {
    thread_local carver_guard guard;
    start_block(c);
  }
  void* p = c.cur;
  c.cur += bytes;
  ++c.carved;
  return p;
}

}  // namespace

void* allocate(std::size_t size) { return carve(carver, size); }

void* allocate_transient(std::size_t size) { return carve(transient_carver, size); }

void* allocate_text(std::size_t size) { return carve(text_carver, size, text_granule); }

std::size_t release_spare_blocks() noexcept { return block_source::release_spares(); }

void release(void* p, std::size_t size, std::size_t holds) noexcept {
  if (!p)
    return;
  if (!pooled || size > largest_pooled) {
    std::free(p);
    return;
  }
  drop_live(block_of(p), static_cast<std::int64_t>(holds));
}

bool retain(void* p, std::size_t size, std::size_t holds) noexcept {
  if (!p || !pooled || size > largest_pooled)
    return false;
  block_of(p)->live.fetch_add(static_cast<std::int64_t>(holds), std::memory_order_relaxed);
  return true;
}

}  // namespace quillet::node_pool
