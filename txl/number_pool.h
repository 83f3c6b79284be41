// Memory for the integer, float and string value objects. A report makes and drops one for
// nearly every number it computes and every text it formats; each thread keeps the blocks of
// the ones it dropped in short free lists and hands them out again, so most of them cost
// neither malloc nor free. Under
// AddressSanitizer every block goes to malloc, so that use after free stays visible to it.
#pragma once

#include <cstddef>

namespace quillet::number_pool {

// Memory for an object of `size` bytes (a pool block up to 64 bytes, else from malloc);
// throws std::bad_alloc when exhausted.
void* allocate(std::size_t size);
// Gives back memory from allocate, on any thread; `size` must be the size allocated.
void release(void* p, std::size_t size) noexcept;

}  // namespace quillet::number_pool
