// The owned, NUL-terminated 8-bit string that document nodes keep their text, attribute names
// and attribute values in. Eight bytes: texts of up to six bytes live inside the object, longer
// ones in the node pool's text blocks, where equal bytes may be shared by several strings (the
// bytes never change while a string holds them); an absent string (an attribute written
// without '=') is null.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillet {

static_assert(std::endian::native == std::endian::little, "html_text tags the low pointer byte");

class html_text {
public:
  html_text() noexcept { heap_ = nullptr; }
  explicit html_text(std::string_view s) { heap_ = nullptr; assign(s); }
  html_text(const html_text&) = delete;
  html_text& operator=(const html_text&) = delete;
  html_text(html_text&& o) noexcept { heap_ = o.heap_; o.heap_ = nullptr; }
  html_text& operator=(html_text&& o) noexcept;
  ~html_text() { reset(); }

  // The bytes, NUL-terminated; null when absent.
  const char* c_str() const noexcept {
    if (is_small())
      return small_ + 1;
    return heap_ ? heap_ + prefix_size(heap_) : nullptr;
  }
  // The bytes without the terminator; empty when absent.
  std::string_view view() const noexcept;
  bool has_value() const noexcept { return c_str() != nullptr; }
  bool empty() const noexcept { const char* p = c_str(); return !p || !*p; }

  // Replaces the bytes; a NUL inside s ends the stored text there.
  void assign(std::string_view s);
  // Makes the string absent.
  void reset() noexcept {
    if (!is_small() && heap_)
      release_block();
    heap_ = nullptr;
  }

  // Texts longer than this are kept outside the object.
  static constexpr std::size_t small_capacity = 6;

private:
  // Lengths up to 254 take one byte before the text; longer ones the marker byte and 4 bytes.
  static constexpr unsigned char long_length = 0xFF;
  static std::size_t prefix_size(const char* block) noexcept {
    return static_cast<unsigned char>(block[0]) == long_length ? 5 : 1;
  }
  bool is_small() const noexcept { return (small_[0] & 1) != 0; }
  std::size_t block_size() const noexcept;
  void release_block() noexcept;

  friend class recent_texts;  // shares heap blocks between equal texts of one read

  // Heap mode: a pointer aligned to 2 (so its low byte is even) to the length prefix followed
  // by the text and its terminator. Small mode: byte 0 is odd, twice the length plus one, and
  // the text with its terminator follows in bytes 1 to 7.
  union {
    char* heap_;
    char small_[8];
  };
};

// Inline: the writer asks for the names and values of every attribute it writes.
inline std::string_view html_text::view() const noexcept {
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

}  // namespace quillet
