// Reading a trend window from an archive: one call per block of records, continuing from the
// position after the last record until a short block, a failure or the window's end.
#include "platform/trend/trend_history.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>
#include <utility>

namespace quillet::trend {

namespace {

// Channel numbers of the archive paired with the curve that shows them, sorted by channel.
using channel_index = std::vector<std::pair<std::uint16_t, std::size_t>>;

// Archive channel numbers are 16-bit; a curve naming a larger number has no records.
bool channel_fits(const trend_curve& curve) { return curve.channel <= 0xFFFFu; }

channel_index index_channels(const std::vector<trend_curve>& curves) {
  channel_index index;
  for (std::size_t i = 0; i < curves.size(); ++i)
    if (channel_fits(curves[i]))
      index.emplace_back(static_cast<std::uint16_t>(curves[i].channel), i);
  std::sort(index.begin(), index.end());
  return index;
}

// The distinct channels to ask the archive for, as the archive's signed numbers.
std::vector<std::int16_t> subset_of(const channel_index& index) {
  std::vector<std::int16_t> channels;
  for (const auto& [channel, curve] : index)
    if (channels.empty() || static_cast<std::uint16_t>(channels.back()) != channel)
      channels.push_back(static_cast<std::int16_t>(channel));
  return channels;
}

std::uint8_t sequence_of(const arc_record& r) { return r.data[5] & 0x3F; }

// Whether position a comes after position b in the archive's record order: time,
// milliseconds, channel taken unsigned (so -1 sorts last), sequence.
bool comes_after(const arc_record& a, const arc_record& b) {
  auto key = [](const arc_record& r) {
    return std::make_tuple(r.time, r.millis & 0x3FF, static_cast<std::uint16_t>(r.channel), sequence_of(r));
  };
  return key(a) > key(b);
}

// The position right after a record, for archives that do not say where to continue: the next
// sequence number, then the next channel, then the next millisecond.
arc_record position_after(const arc_record& last) {
  arc_record next;
  next.time = last.time;
  next.millis = last.millis & 0x3FF;
  next.channel = last.channel;
  const std::uint8_t sequence = sequence_of(last);
  if (sequence < 63) {
    next.data[5] = static_cast<std::uint8_t>(sequence + 1);
    return next;
  }
  if (next.channel != -1) {
    ++next.channel;
    return next;
  }
  next.channel = 0;
  if (++next.millis < 1000)
    return next;
  next.millis = 0;
  if (next.time < std::numeric_limits<std::uint32_t>::max())
    ++next.time;
  return next;
}

// Seconds from the window start to a record, with the milliseconds of both.
double offset_of(const arc_record& r, const trend_window& window) {
  const double seconds = static_cast<double>(r.time) - static_cast<double>(window.seconds);
  return seconds + ((r.millis & 0x3FF) - static_cast<double>(window.millis)) / 1000.0;
}

// The samples of one curve's current slice: first, lowest, highest and last, with the order
// in which the extremes came.
struct slice {
  long index = -1;
  double from = 0, to = -1;  // the slice's times, seconds after the window start
  trend_sample first, low, high, last;
  int count = 0, low_at = 0, high_at = 0;

  void start(long at, const trend_sample& s) {
    index = at;
    first = low = high = last = s;
    count = 1;
    low_at = high_at = 0;
  }
  void add(const trend_sample& s) {
    if (s.v < low.v) {
      low = s;
      low_at = count;
    }
    if (s.v > high.v) {
      high = s;
      high_at = count;
    }
    last = s;
    ++count;
  }
};

void push_new(std::vector<trend_sample>& out, const trend_sample& s, std::size_t& kept) {
  if (!out.empty() && out.back().t == s.t && out.back().v == s.v)
    return;
  out.push_back(s);
  ++kept;
}

// Keeps the slice's samples in time order; a slice of up to two samples keeps them all.
void flush(slice& c, std::vector<trend_sample>& out, std::size_t& kept) {
  if (c.index < 0)
    return;
  push_new(out, c.first, kept);
  if (c.count > 2) {
    const bool low_first = c.low_at <= c.high_at;
    push_new(out, low_first ? c.low : c.high, kept);
    push_new(out, low_first ? c.high : c.low, kept);
  }
  push_new(out, c.last, kept);
  c.index = -1;
  c.to = -1;
}

// Each curve's samples as they are reduced slice by slice.
struct curve_reader {
  std::vector<slice> slices;
  double slices_per_second = 0;
  std::size_t kept = 0;

  curve_reader(std::size_t curves, const trend_window& window)
      : slices(curves), slices_per_second(history_slices / static_cast<double>(std::max(window.span, 1))) {}

  // A sample without a value ends the slice and stands for itself, so the line breaks there.
  void add(trend_history& history, std::size_t curve, const trend_sample& s) {
    slice& c = slices[curve];
    std::vector<trend_sample>& out = history.curves[curve];
    if (std::isnan(s.v)) {
      flush(c, out, kept);
      push_new(out, s, kept);
      return;
    }
    if (s.t >= c.from && s.t < c.to) {
      c.add(s);
      return;
    }
    const long at = static_cast<long>(s.t * slices_per_second);
    if (at != c.index) {
      flush(c, out, kept);
      c.start(at, s);
      c.from = at / slices_per_second;
      c.to = (at + 1) / slices_per_second;
      return;
    }
    c.add(s);
  }
  void finish(trend_history& history) {
    for (std::size_t i = 0; i < slices.size(); ++i)
      flush(slices[i], history.curves[i], kept);
  }
};

// Files the block's records under every curve of their channel; false once the sample bound
// is reached.
bool take_records(const arc_record* records, std::int32_t count, const channel_index& index,
                  const trend_window& window, trend_history& history, curve_reader& reader) {
  for (std::int32_t i = 0; i < count; ++i) {
    const double t = offset_of(records[i], window);
    if (!(t >= 0 && t < window.span))
      continue;
    const auto channel = static_cast<std::uint16_t>(records[i].channel);
    auto at = index.size() <= 8 ? std::find_if(index.begin(), index.end(), [&](const auto& e) { return e.first >= channel; })
                                : std::lower_bound(index.begin(), index.end(), std::make_pair(channel, std::size_t{0}));
    for (; at != index.end() && at->first == channel; ++at) {
      if (reader.kept >= max_history_samples)
        return false;
      reader.add(history, at->second, {static_cast<float>(t), records[i].value()});
    }
  }
  return true;
}

// What one archive call gave: whether it succeeded, how many records, and where to go on.
struct block_read {
  bool ok = false;
  std::int32_t count = 0;
  arc_record next;
};

// Reads one block from `start` up to the window's end. The position to go on from is the one
// the archive wrote into `next`, or, when it left `next` as it was, the one after the block's
// last record.
block_read read_block(INvRegArchive& archive, const arc_record& start, std::uint32_t end,
                      const arc_channel_set& subset, arc_record* records) {
  block_read read;
  read.next.time = end;
  const arc_record preset = read.next;
  std::int32_t status = 0;
  const com::HRESULT hr = archive.read_records(&start, &read.next, 0, &subset, nullptr, history_block_records,
                                               &read.count, records, &status);
  read.ok = com::SUCCEEDED(hr) && status == 0;
  read.count = read.ok ? std::clamp(read.count, 0, history_block_records) : 0;
  if (read.count > 0 && std::memcmp(&read.next, &preset, sizeof preset) == 0)
    read.next = position_after(records[read.count - 1]);
  return read;
}

}  // namespace

std::uint32_t window_end(const trend_window& window) {
  const std::int64_t end =
      static_cast<std::int64_t>(window.seconds) + std::max<std::int32_t>(window.span, 0) + (window.millis > 0 ? 1 : 0);
  return static_cast<std::uint32_t>(std::min<std::int64_t>(end, std::numeric_limits<std::uint32_t>::max()));
}

trend_history read_trend_history(INvRegArchive* archive, const std::vector<trend_curve>& curves,
                                 const trend_window& window) {
  trend_history history;
  history.curves.resize(curves.size());
  const channel_index index = index_channels(curves);
  if (!archive || index.empty() || window.span <= 0)
    return history;
  const std::vector<std::int16_t> channels = subset_of(index);
  const arc_channel_set subset{static_cast<std::int32_t>(channels.size()), channels.data()};
  const std::uint32_t end = window_end(window);
  std::vector<arc_record> block(history_block_records);
  arc_record start;
  start.time = window.seconds;
  start.millis = window.millis;
  curve_reader reader(curves.size(), window);
  while (history.blocks < max_history_blocks) {
    ++history.blocks;
    const block_read read = read_block(*archive, start, end, subset, block.data());
    history.failed = !read.ok;
    if (!read.ok || !take_records(block.data(), read.count, index, window, history, reader) ||
        read.count < history_block_records)
      break;
    if (!comes_after(read.next, start) || read.next.time >= end)
      break;
    start = read.next;
  }
  reader.finish(history);
  return history;
}

}  // namespace quillet::trend
