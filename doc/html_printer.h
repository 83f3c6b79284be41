// The writer that turns a document tree back into HTML text. Node print operations gather
// bytes through write() or room() into one buffer that goes to the stream in big blocks;
// stream() hands out the stream itself (after flushing), so code that writes there directly
// keeps order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace quillet {

class html_element;

class html_obj_printer {
public:
  // Option bit: close every non-EMPTY element with an end tag and drop stray end tags.
  static constexpr std::uint32_t NORMALIZE_END_TAGS = 0x2;

  html_obj_printer(std::ostream& out, std::uint32_t flags);
  html_obj_printer(const html_obj_printer&) = delete;
  html_obj_printer& operator=(const html_obj_printer&) = delete;
  virtual ~html_obj_printer();

  // The output stream, with everything written so far already in it.
  virtual std::ostream& stream();
  virtual std::uint32_t flags() const { return flags_; }

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
  bool is_bare_value_char(unsigned char c) const { return bare_[c]; }
  // Hands the buffered bytes to the stream.
  void flush();

private:
  static constexpr std::size_t flush_at = 1 << 16;
  void put_pending_lt(bool as_entity);
  void write_long(std::string_view s);
  void make_room(std::size_t n);

  std::ostream* out_;
  std::uint32_t flags_;
  bool pending_lt_ = false;
  bool pending_slash_ = false;  // the held-back '<' is followed by a held-back '/'
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
  std::size_t capacity_;
  std::array<bool, 256> bare_{};
};

// Prints a list of nodes in order. Plain tags nested in the list are walked with an explicit
// stack; only nodes of other classes are printed through their own print.
void print_list(html_obj_printer& p, html_element* list);

}  // namespace quillet
