// Memory for a writer's blocks: one region of two blocks, aligned to a huge page, which the
// kernel is asked to back with one. A page fault per 4 KiB page cost more than filling the
// page (about 1 ms for 2 MiB here); a huge page takes one fault. Where huge pages are
// unavailable the region is plain memory.
#pragma once

#include <cstddef>

namespace quillet::files {

class block_region {
public:
  static constexpr std::size_t size = std::size_t{2} << 20;

  block_region() = default;
  // Maps the region; throws std::bad_alloc when it cannot.
  static block_region map();
  ~block_region();
  block_region(block_region&& other) noexcept;
  block_region& operator=(block_region&& other) noexcept;

  char* data() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

private:
  explicit block_region(char* data) : data_(data) {}
  char* data_ = nullptr;
};

}  // namespace quillet::files
