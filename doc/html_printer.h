// The writer that turns a document tree back into HTML text. Node print operations gather
// bytes through write() or room() into one buffer that goes to the stream in big blocks;
// stream() hands out the stream itself (after flushing), so code that writes there directly
// keeps order.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace quillet {

class html_element;

// Copies n bytes to `to` and returns the end. Pieces of up to 64 bytes (tag names, short
// values, whole start tags) are moved with two overlapping fixed-size copies that the
// compiler does inline, so that the many small pieces of a report cost no library call each.
inline char* copy_bytes(char* to, const char* from, std::size_t n) {
  if (n > 32) {
    if (n > 64)
      std::memcpy(to, from, n);
    else {
      std::memcpy(to, from, 32);
      std::memcpy(to + n - 32, from + n - 32, 32);
    }
    return to + n;
  }
  if (n >= 16) {
    std::memcpy(to, from, 16);
    std::memcpy(to + n - 16, from + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else if (n > 0) {
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
  return to + n;
}

// Whether n bytes at `a` and `b` are the same, compared eight (or four) at a time with the
// last ones overlapping, inline: a call of memcmp costs more than comparing a short text.
inline bool same_bytes(const char* a, const char* b, std::size_t n) {
  if (n >= 8) {
    std::uint64_t x, y;
    for (std::size_t i = 0; i + 8 < n; i += 8) {
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y)
        return false;
    }
    std::memcpy(&x, a + n - 8, 8);
    std::memcpy(&y, b + n - 8, 8);
    return x == y;
  }
  if (n >= 4) {
    std::uint32_t x0, y0, x1, y1;
    std::memcpy(&x0, a, 4);
    std::memcpy(&y0, b, 4);
    std::memcpy(&x1, a + n - 4, 4);
    std::memcpy(&y1, b + n - 4, 4);
    return ((x0 ^ y0) | (x1 ^ y1)) == 0;
  }
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i])
      return false;
  return true;
}

class html_obj_printer final {
public:
  // Option bit: close every non-EMPTY element with an end tag and drop stray end tags.
  static constexpr std::uint32_t NORMALIZE_END_TAGS = 0x2;

  html_obj_printer(std::ostream& out, std::uint32_t flags);
  html_obj_printer(const html_obj_printer&) = delete;
  html_obj_printer& operator=(const html_obj_printer&) = delete;
  ~html_obj_printer();

  // The output stream, with everything written so far already in it.
  std::ostream& stream();
  std::uint32_t flags() const { return flags_; }
  // A number no other printer of the process has had: what a writer makes for one printer and
  // keeps (a report element's tags, which hold while the printer's options and the document
  // it writes stay the same) is known by it.
  std::uint64_t serial() const { return serial_; }

  // Appends bytes to the output.
  void write(std::string_view s) {
    if (pending_lt_)
      put_pending_lt(false);
    if (s.size() > capacity_ - used_) {
      write_long(s);
      return;
    }
    if (s.empty())
      return;
    std::memcpy(buf_.get() + used_, s.data(), s.size());
    used_ += s.size();
  }
  // Room for `n` more bytes at the end of the output, for a caller that assembles many small
  // pieces itself: it writes at most n bytes from the pointer and passes the end to commit().
  char* room(std::size_t n) {
    if (pending_lt_)
      put_pending_lt(false);
    if (n > capacity_ - used_)
      make_room(n);
    return buf_.get() + used_;
  }
  void commit(char* end) {
    used_ = static_cast<std::size_t>(end - buf_.get());
    if (used_ >= flush_at)
      flush();
  }
  // Appends the text of a text node. A '<' or "</" that ends a text is held back until the
  // next bytes are known: when another text follows that would turn it into markup, the '<'
  // is written "&lt;".
  void write_text(std::string_view s);
  // True for bytes an attribute value may consist of to be written without quotes.
  bool is_bare_value_char(unsigned char c) const { return value_class_[c] == 0; }
  // What a byte asks of an attribute value that holds it: value_needs_quotes for every byte
  // that is not bare, with value_has_double or value_has_single added for the quotes.
  static constexpr std::uint8_t value_needs_quotes = 1, value_has_double = 2, value_has_single = 4;
  std::uint8_t value_class(unsigned char c) const { return value_class_[c]; }
  // The classes of all bytes of a value, gathered in one pass four at a time.
  unsigned value_classes(std::string_view v) const {
    const auto* b = reinterpret_cast<const unsigned char*>(v.data());
    const std::size_t n = v.size();
    unsigned seen = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
      seen |= value_class_[b[i]] | value_class_[b[i + 1]] | value_class_[b[i + 2]] | value_class_[b[i + 3]];
    for (; i < n; ++i)
      seen |= value_class_[b[i]];
    return seen;
  }
  // The same for a value a report computed: one of memo_least to memo_most bytes is compared
  // with the last such value first, whose classes are kept with its bytes. A report writes
  // the same style or class on cell after cell, and comparing the bytes costs less than
  // looking each one up again.
  static constexpr std::size_t memo_least = 16, memo_most = 64;
  unsigned computed_value_classes(std::string_view v) {
    const std::size_t n = v.size();
    if (n < memo_least || n > memo_most)
      return value_classes(v);
    if (memo_.size == n && memo_holds(v.data(), n))
      return memo_.seen;
    return remember_value_classes(v);
  }
  // Hands the buffered bytes to the stream.
  void flush();

private:
  static constexpr std::size_t flush_at = 1 << 16;
  struct value_memo {
    std::size_t size = 0;  // 0: nothing kept
    std::uint8_t seen = 0;
    char bytes[memo_most];
  };
  // Whether sixteen bytes are the same, read as two words each: memcmp is not always
  // expanded in place, and a call costs more than the comparison.
  static bool same_16(const char* a, const char* b) {
    std::uint64_t x[2];
    std::uint64_t y[2];
    std::memcpy(x, a, 16);
    std::memcpy(y, b, 16);
    return ((x[0] ^ y[0]) | (x[1] ^ y[1])) == 0;
  }
  // Whether the n bytes (memo_least to memo_most) at `v` are the kept ones, compared sixteen
  // at a time with the last sixteen overlapping.
  bool memo_holds(const char* v, std::size_t n) const {
    for (std::size_t i = 0; i + 16 < n; i += 16) {
      if (!same_16(memo_.bytes + i, v + i))
        return false;
    }
    return same_16(memo_.bytes + n - 16, v + n - 16);
  }
  // The classes of a value of memo size that differs from the one kept: looked up, and kept
  // in its place. Out of line, so that the writers' common paths stay small.
  unsigned remember_value_classes(std::string_view v);
  void put_pending_lt(bool as_entity);
  void write_long(std::string_view s);
  void make_room(std::size_t n);

  std::ostream* out_;
  std::uint32_t flags_;
  bool pending_lt_ = false;
  bool pending_slash_ = false;  // the held-back '<' is followed by a held-back '/'
  static std::uint64_t next_serial() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
  }

  std::uint64_t serial_ = next_serial();
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
  std::size_t capacity_;
  std::array<std::uint8_t, 256> value_class_{};
  value_memo memo_;
};

// Prints a list of nodes in order. Plain tags nested in the list are walked with an explicit
// stack; only nodes of other classes are printed through their own print.
void print_list(html_obj_printer& p, html_element* list);

}  // namespace quillet
