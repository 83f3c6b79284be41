// Timing, memory and reporting helpers shared by the benchmark programs.
#include "bench/bench_common.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quillet::bench {

// Processor time rather than wall time: on a machine shared with other jobs the wall clock
// would mostly measure the neighbours, while both programs pay equally for the processor.
double now_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::size_t peak_rss_bytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // Linux reports kilobytes
}

std::size_t resident_bytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t total_pages = 0, resident_pages = 0;
  statm >> total_pages >> resident_pages;
  return resident_pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

bool read_whole_file(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return false;
  }
  std::ostringstream s;
  s << f.rdbuf();
  out = std::move(s).str();
  return true;
}

bool write_whole_file(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (f)
    return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

namespace {

// The middle value, or the mean of the two middle values; 0 for no values.
double median(std::vector<double> v) {
  if (v.empty())
    return 0;
  std::sort(v.begin(), v.end());
  std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

}  // namespace

// Throughput is input megabytes (10^6 bytes) per second of read plus write, so a faster
// writer and a faster reader count alike.
void print_summary(const char* name, std::size_t input_bytes, const std::vector<rep_times>& reps) {
  std::vector<double> reads, writes, totals;
  for (std::size_t i = 0; i < reps.size(); ++i) {
    std::printf("rep %zu read_ms %.3f write_ms %.3f tree_bytes %zu\n", i, reps[i].read_ms,
                reps[i].write_ms, reps[i].tree_bytes);
    reads.push_back(reps[i].read_ms);
    writes.push_back(reps[i].write_ms);
    totals.push_back(reps[i].read_ms + reps[i].write_ms);
  }
  double mb = static_cast<double>(input_bytes) / 1e6;
  double total = median(totals);
  double best = totals.empty() ? 0 : *std::min_element(totals.begin(), totals.end());
  double input = input_bytes ? static_cast<double>(input_bytes) : 1;
  // Later repetitions may reuse memory the first one kept, so only the first one tells.
  double tree = reps.empty() ? 0 : static_cast<double>(reps.front().tree_bytes);
  std::printf("summary %s bytes %zu reps %zu read_ms %.3f write_ms %.3f mb_s %.2f best_mb_s %.2f "
              "tree_ratio %.2f rss_ratio %.2f\n",
              name, input_bytes, reps.size(), median(reads), median(writes),
              total > 0 ? mb / total * 1000 : 0, best > 0 ? mb / best * 1000 : 0, tree / input,
              static_cast<double>(peak_rss_bytes()) / input);
}

}  // namespace quillet::bench
