// The owned, NUL-terminated 8-bit string that document nodes keep their text, attribute names
// and attribute values in. Eight bytes: texts of up to six bytes live inside the object, longer
// ones in one block of the node pool; an absent string (an attribute written without '=') is null.
#pragma once

#include <bit>
#include <cstddef>
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
    return heap_ ? heap_ + length_prefix : nullptr;
  }
  // The bytes without the terminator; empty when absent.
  std::string_view view() const noexcept;
  bool has_value() const noexcept { return c_str() != nullptr; }
  bool empty() const noexcept { const char* p = c_str(); return !p || !*p; }

  // Replaces the bytes; a NUL inside s ends the stored text there.
  void assign(std::string_view s);
  // Makes the string absent.
  void reset() noexcept;

private:
  static constexpr std::size_t small_capacity = 6;
  static constexpr std::size_t length_prefix = 4;
  bool is_small() const noexcept { return (small_[0] & 1) != 0; }

  // Heap mode: an aligned pointer (so its low byte is even) to a 4-byte length followed by the
  // text and its terminator. Small mode: byte 0 is odd, twice the length plus one, and the text
  // with its terminator follows in bytes 1 to 7.
  union {
    char* heap_;
    char small_[8];
  };
};

}  // namespace quillet
