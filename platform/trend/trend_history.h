// Reading the history a trend shows: the samples of each curve's channel inside the window
// [start, start + span) taken from an archive, block by block. The samples belong to the
// caller; the archive is only borrowed for the read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com/nv_reg_archive.h"
#include "platform/trend/trend_interfaces.h"

namespace quillet::trend {

// Records asked for in one archive call.
inline constexpr std::int32_t history_block_records = 1024;
// The most samples kept for one window over all curves (8 bytes each); reading stops there,
// so a huge window over a dense archive cannot take unbounded memory.
inline constexpr std::size_t max_history_samples = 2u * 1024u * 1024u;
// The most archive calls for one window (64M records), a guard against an archive that never
// runs dry; a month of one-second records of 24 channels fits.
inline constexpr int max_history_blocks = 65536;
// Each curve's window is cut into this many slices; of the samples of one slice only the
// first, the lowest, the highest and the last are kept, in the order they came. Slices are
// far narrower than a pixel column of any picture, so the drawing still shows every spike,
// while a month of one-second records keeps at most 64K samples per curve.
inline constexpr int history_slices = 16384;

// The window shown: its start in whole seconds since 1970 and milliseconds, its length in seconds.
struct trend_window {
  std::uint32_t seconds = 0;
  std::uint16_t millis = 0;
  std::int32_t span = 60;
};

// One sample: seconds after the window start, and the value.
struct trend_sample {
  float t = 0;
  float v = 0;
};

struct trend_history {
  // One list per curve, in the curves' order, each in the order the archive gave.
  std::vector<std::vector<trend_sample>> curves;
  // Archive calls made, and whether reading stopped on a failure or a non-zero status.
  int blocks = 0;
  bool failed = false;
};

// The window's end as the exclusive upper time bound of a read, in whole seconds: start + span,
// one more when the start has milliseconds (records past the exact end are dropped on
// reading), held at the largest time when that passes the end of the 32-bit clock.
std::uint32_t window_end(const trend_window& window);

// Reads the samples of the curves' channels inside the window. Without an archive or curves
// the history is empty. A failure result or a non-zero status ends the read with what came
// before it.
trend_history read_trend_history(INvRegArchive* archive, const std::vector<trend_curve>& curves,
                                 const trend_window& window);

}  // namespace quillet::trend
