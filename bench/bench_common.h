// Timing, memory and reporting helpers shared by the benchmark programs, so that both
// programs measure and print their runs the same way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillet::bench {

// Milliseconds of processor time used by this process.
double now_ms();
// Peak resident set size of this process in bytes.
std::size_t peak_rss_bytes();
// Resident set size of this process now, in bytes. Its growth across the first parse tells
// the memory a tree takes, whichever allocator the parser uses.
std::size_t resident_bytes();
// The whole file; false with a message on stderr when it cannot be read.
bool read_whole_file(const std::string& path, std::string& out);
bool write_whole_file(const std::string& path, const std::string& data);

// The read and write times of one repetition and the memory the parsed tree took.
struct rep_times {
  double read_ms;
  double write_ms;
  std::size_t tree_bytes;
};

// Prints one line per repetition and a closing summary line that bench/run.sh reads:
// "summary NAME bytes B reps N read_ms R write_ms W mb_s M best_mb_s X tree_ratio T
// rss_ratio Q", times the medians over the repetitions, ratios to the input size.
void print_summary(const char* name, std::size_t input_bytes, const std::vector<rep_times>& reps);

}  // namespace quillet::bench
