// The reader/writer benchmark: reads a template into an html_document and writes it back with
// normalised end tags (printer flags 2), REPS times, timing each half. The input is read from
// memory without a copy and the output goes to memory, as in the peer program.
// Usage: html_rw_bench FILE REPS [OUT]
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "doc/html_document.h"

namespace {

using quillet::bench::rep_times;

constexpr std::uint32_t k_normalize_end_tags = 2;

// An input stream buffer over bytes that stay owned by the caller.
class memory_buffer : public std::streambuf {
public:
  explicit memory_buffer(const std::string& bytes) {
    char* p = const_cast<char*>(bytes.data());
    setg(p, p, p + bytes.size());
  }
};

// One repetition: false when the reader rejects the input.
bool run_once(const std::string& src, rep_times& times, std::string* keep_output) {
  memory_buffer buffer(src);
  std::istream in(&buffer);
  std::ostringstream out;
  auto doc = quillet::make_rc<quillet::html_document>();
  std::size_t rss_before = quillet::bench::resident_bytes();
  double t0 = quillet::bench::now_ms();
  if (!doc->read(in))
    return false;
  double t1 = quillet::bench::now_ms();
  std::size_t rss_after = quillet::bench::resident_bytes();
  std::size_t tree_bytes = rss_after > rss_before ? rss_after - rss_before : 0;
  double t2 = quillet::bench::now_ms();
  doc->write(out, k_normalize_end_tags);
  double t3 = quillet::bench::now_ms();
  times = {t1 - t0, t3 - t2, tree_bytes};
  if (keep_output)
    *keep_output = std::move(out).str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: html_rw_bench FILE REPS [OUT]\n");
    return 2;
  }
  std::string src;
  if (!quillet::bench::read_whole_file(argv[1], src))
    return 1;
  int count = std::atoi(argv[2]);
  std::vector<rep_times> reps;
  for (int rep = 0; rep < count; ++rep) {
    std::string html;
    rep_times times{};
    if (!run_once(src, times, rep == 0 && argc > 3 ? &html : nullptr)) {
      std::fprintf(stderr, "html_rw_bench: %s is not an HTML document\n", argv[1]);
      return 1;
    }
    reps.push_back(times);
    if (rep == 0 && argc > 3 && !quillet::bench::write_whole_file(argv[3], html))
      return 1;
  }
  quillet::bench::print_summary("quillet", src.size(), reps);
  return 0;
}
