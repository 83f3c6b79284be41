// The stream buffer a report is written through: it passes bytes on to the file's buffer and
// counts them, refusing everything once the run's bound would be passed or the file failed,
// so that the repeating elements can see the run has to stop.
#pragma once

#include <cstdint>
#include <streambuf>

namespace quillet {

class output_counter final : public std::streambuf {
public:
  // `limit` 0 means no bound.
  output_counter(std::streambuf& target, std::uint64_t limit) : target_(&target), limit_(limit) {}

  std::uint64_t written() const { return written_; }
  // True once a write was refused because of the bound.
  bool limit_reached() const { return limit_reached_; }
  // True once any write was refused (bound or file failure): nothing more goes out.
  bool stopped() const { return stopped_; }

  // Counts bytes written to another file of the run (a picture) against the same bound;
  // false, stopping the output, once they pass it.
  bool charge(std::uint64_t bytes);

protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int_type overflow(int_type c) override;
  int sync() override { return target_->pubsync(); }

private:
  std::streambuf* target_;
  std::uint64_t limit_;
  std::uint64_t written_ = 0;
  bool limit_reached_ = false;
  bool stopped_ = false;
};

}  // namespace quillet
