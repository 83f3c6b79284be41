// Mapping the aligned region: twice its size is mapped, and what lies outside the aligned
// part is unmapped again.
#include "platform/files/block_region.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <utility>

namespace quillet::files {

block_region block_region::map() {
  void* mapped = ::mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED)
    throw std::bad_alloc();
  auto* start = static_cast<char*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  char* aligned = start + ((size - address % size) % size);
  if (aligned > start)
    ::munmap(start, static_cast<std::size_t>(aligned - start));
  if (aligned + size < start + 2 * size)
    ::munmap(aligned + size, static_cast<std::size_t>(start + 2 * size - (aligned + size)));
  ::madvise(aligned, size, MADV_HUGEPAGE);
  return block_region(aligned);
}

block_region::~block_region() {
  if (data_)
    ::munmap(data_, size);
}

block_region::block_region(block_region&& other) noexcept : data_(std::exchange(other.data_, nullptr)) {}

block_region& block_region::operator=(block_region&& other) noexcept {
  if (this != &other) {
    if (data_)
      ::munmap(data_, size);
    data_ = std::exchange(other.data_, nullptr);
  }
  return *this;
}

}  // namespace quillet::files
