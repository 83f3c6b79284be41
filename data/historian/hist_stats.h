// Reading a channel's history as the channel functions need it: the sample valid at a time,
// and statistics over an interval from the hourly summaries of the whole hours inside it and
// the raw samples of its two ends, equal to what the raw samples alone give.
#pragma once

#include <cstdint>

#include "data/historian/hist_store.h"
#include "txl/stat_value.h"

namespace quillet {

// The last sample with not_before <= t <= at: from the raw samples, else (when they were
// pruned) the last sample of the summary of an earlier hour. found false when there is none.
bool hist_last_sample(hist_store& store, const hist_key& key, std::int64_t at, std::int64_t not_before,
                      hist_sample& out, bool& found);

// Statistics of the good samples in [from, to) (milliseconds): by count, each sample once;
// by time, each good sample weighted by the seconds it holds its value inside the interval
// (until the next sample), so count is the seconds covered and sum, sum2 the integrals.
// Extremes carry their float times; a value held from before the interval counts at `from`.
bool hist_statistics(hist_store& store, const hist_key& key, std::int64_t from, std::int64_t to, bool by_time,
                     txl_stat_record& out);

}  // namespace quillet
