// The raw samples of one channel and UTC hour as the store keeps them: one packed block of
// 12 bytes a sample in time order, the milliseconds into the hour with the quality in the top
// bit (4 bytes) and the value (an 8-byte double), both little-endian. A month of one-second
// history is then a few thousand rows rather than millions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/historian/hist_store.h"

namespace quillet {

inline constexpr std::size_t hist_block_sample_size = 12;

// The block of an hour's samples (sorted by time, all within the hour).
std::string hist_pack_block(std::int64_t hour, std::span<const hist_sample> samples);

// Appends the samples of a block to `out`; false, leaving `out` as it was, for a block that
// is not one this program wrote (a size that is no multiple of a sample, a time outside the
// hour or out of order).
bool hist_unpack_block(std::int64_t hour, std::string_view block, std::vector<hist_sample>& out);

// `stored` and `fresh` merged in time order, where a fresh sample replaces a stored one of
// the same time; both sorted, without repeated times.
std::vector<hist_sample> hist_merge_samples(std::span<const hist_sample> stored, std::span<const hist_sample> fresh);

// The UTC hour of a time, for any time (the hours of the extremes are clamped, not wrapped).
std::int64_t hist_hour_of_any(std::int64_t t);

}  // namespace quillet

namespace quillet {

// Gathers the samples with from <= t < to from blocks read in time order, at most `limit`
// (one more sets `more`, and add() takes no further block).
class hist_block_range {
public:
  hist_block_range(std::int64_t from, std::int64_t to, std::size_t limit, std::vector<hist_sample>& out, bool& more)
      : from_(from), to_(to), limit_(limit), out_(out), more_(more) {
    more_ = false;
  }
  // False for a damaged block.
  bool add(std::int64_t hour, std::string_view block);
  bool full() const { return more_; }

private:
  std::int64_t from_, to_;
  std::size_t limit_, taken_ = 0;
  std::vector<hist_sample>& out_;
  bool& more_;
  std::vector<hist_sample> scratch_;
};

// The last sample of a block with t <= at (found false when every sample is later); false
// for a damaged block.
bool hist_block_last(std::int64_t hour, std::string_view block, std::int64_t at, hist_sample& out, bool& found);

// The messages for a damaged block and a damaged summary.
std::string hist_damaged_block(const hist_key& key, std::int64_t hour);
std::string hist_damaged_summary(const hist_key& key);

}  // namespace quillet

namespace quillet {

// A summary as one value beside its columns, which reports read in one piece: its 17 fields
// (hour, count, sum, sum2, min, min_t, max, max_t, the first and the last sample as time,
// value and quality, weight, integral, integral2) as 8-byte little-endian words.
inline constexpr std::size_t hist_packed_summary_size = 17 * 8;
std::string hist_pack_summary(const hist_summary& s);
// False for a value of another size.
bool hist_unpack_summary(std::string_view packed, hist_summary& s);

}  // namespace quillet
