// Counting and bounding the bytes of a report.
#include "report/output_counter.h"

namespace quillet {

// Passes the block on whole or not at all: a block that would pass the bound is refused,
// which fails the stream and stops the run.
std::streamsize output_counter::xsputn(const char* s, std::streamsize n) {
  if (stopped_ || n <= 0)
    return stopped_ ? 0 : n;
  auto size = static_cast<std::uint64_t>(n);
  if (limit_ && (size > limit_ || written_ > limit_ - size)) {
    limit_reached_ = true;
    stopped_ = true;
    return 0;
  }
  std::streamsize put = target_->sputn(s, n);
  written_ += static_cast<std::uint64_t>(put > 0 ? put : 0);
  if (put != n)
    stopped_ = true;
  return put;
}

bool output_counter::charge(std::uint64_t bytes) {
  written_ += bytes;
  if (limit_ && written_ > limit_) {
    limit_reached_ = true;
    stopped_ = true;
  }
  return !stopped_;
}

std::streambuf::int_type output_counter::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

}  // namespace quillet
