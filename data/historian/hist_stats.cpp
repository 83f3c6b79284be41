// Statistics over raw samples at the ends of an interval and summaries in its middle.
#include "data/historian/hist_stats.h"

#include <algorithm>

namespace quillet {

namespace {

// Accumulates in milliseconds; by-time weights become seconds at the end.
class stat_accumulator {
public:
  stat_accumulator(std::int64_t from, bool by_time, txl_stat_record& r) : from_(from), pos_(from), by_time_(by_time), r_(r) {}

  void sample(const hist_sample& s) {
    if (!by_time_) {
      if (s.good)
        count_one(s);
      return;
    }
    close(s.t);
    carry_ = s;
    have_carry_ = true;
    counted_ = false;
  }

  // A whole hour inside the interval; its extremes were those of its own good samples.
  void summary(const hist_summary& h) {
    if (by_time_) {
      close(h.first.t);
      r_.count += h.weight;
      r_.sum += h.integral;
      r_.sum2 += h.integral2;
      carry_ = h.last;
      have_carry_ = true;
      counted_ = true;
      pos_ = (h.hour + 1) * hist_hour_ms;
    } else {
      r_.count += h.count;
      r_.sum += h.sum;
      r_.sum2 += h.sum2;
    }
    if (h.count > 0) {
      extreme_max(h.max, h.max_t);
      extreme_min(h.min, h.min_t);
    }
  }

  // The value held at the interval's start.
  void start_with(const hist_sample& s) {
    carry_ = s;
    have_carry_ = true;
  }

  void finish(std::int64_t to) {
    if (!by_time_)
      return;
    close(to);
    r_.count *= 0.001;
    r_.sum *= 0.001;
    r_.sum2 *= 0.001;
  }

private:
  void count_one(const hist_sample& s) {
    r_.count += 1;
    r_.sum += s.value;
    r_.sum2 += s.value * s.value;
    extreme_max(s.value, s.t);
    extreme_min(s.value, s.t);
  }

  // Ends the hold of the carried sample at `until`: a good value adds its weight and, the
  // first time it holds inside the interval, its extremes.
  void close(std::int64_t until) {
    if (until <= pos_)
      return;
    if (have_carry_ && carry_.good) {
      const double held = static_cast<double>(until - pos_);
      r_.count += held;
      r_.sum += carry_.value * held;
      r_.sum2 += carry_.value * carry_.value * held;
      if (!counted_) {
        extreme_max(carry_.value, std::max(carry_.t, from_));
        extreme_min(carry_.value, std::max(carry_.t, from_));
      }
      counted_ = true;
    }
    pos_ = until;
  }

  void extreme_max(double v, std::int64_t t) {
    if (!any_max_ || v > r_.max) {
      r_.max = v;
      r_.max_time = static_cast<double>(t) * 0.001;
    }
    any_max_ = true;
  }
  void extreme_min(double v, std::int64_t t) {
    if (!any_min_ || v < r_.min) {
      r_.min = v;
      r_.min_time = static_cast<double>(t) * 0.001;
    }
    any_min_ = true;
  }

  std::int64_t from_, pos_;
  bool by_time_;
  txl_stat_record& r_;
  hist_sample carry_;
  bool have_carry_ = false, counted_ = false, any_max_ = false, any_min_ = false;
};

// Feeds the raw samples of [from, to), which lies within two hours.
bool feed_raw(hist_store& store, const hist_key& key, std::int64_t from, std::int64_t to, stat_accumulator& acc) {
  if (from >= to)
    return true;
  std::vector<hist_sample> list;
  bool more = false;
  if (!store.samples(key, from, to, static_cast<std::size_t>(to - from), list, more))
    return false;
  for (const hist_sample& s : list)
    acc.sample(s);
  return true;
}

std::int64_t ceil_hour(std::int64_t t) { return hist_hour_of(t + hist_hour_ms - 1); }

// Whole days read from day summaries once there are this many: a year is then 365 rows.
constexpr std::int64_t days_worth_a_query = 2;

// Feeds the summaries of the whole hours [h1, h2): whole UTC days inside them from day
// summaries, the hours around those days from hour summaries.
bool feed_summaries(hist_store& store, const hist_key& key, std::int64_t h1, std::int64_t h2, stat_accumulator& acc) {
  const std::int64_t d1 = hist_day_of_hour(h1 + 23), d2 = hist_day_of_hour(h2);
  std::vector<hist_summary> list;
  const bool days = d2 - d1 >= days_worth_a_query;
  const bool ok = days ? store.summaries(key, h1, d1 * 24, list) && store.day_summaries(key, d1, d2, list) &&
                             store.summaries(key, d2 * 24, h2, list)
                       : store.summaries(key, h1, h2, list);
  if (!ok)
    return false;
  for (const hist_summary& h : list)
    acc.summary(h);
  return true;
}

}  // namespace

namespace {

// The last sample of a whole hour up to its last millisecond `at` is its summary's last, which
// the report's store keeps a month at a time, so a table of hourly statistics reads no raw
// block for the value at each window's start. Found false when the summary is missing or the
// hour had no sample; the caller then reads the raw samples.
bool last_of_hour(hist_store& store, const hist_key& key, std::int64_t at, std::int64_t not_before,
                  hist_sample& out, bool& found) {
  found = false;
  const std::int64_t hour = hist_hour_of(at);
  if (at != (hour + 1) * hist_hour_ms - 1)
    return true;
  std::vector<hist_summary> list;
  if (!store.summaries(key, hour, hour + 1, list))
    return false;
  if (list.size() != 1 || list[0].hour != hour)
    return true;
  const hist_sample& last = list[0].last;
  found = last.t >= hour * hist_hour_ms && last.t <= at && last.t >= not_before;
  if (found)
    out = last;
  return true;
}

}  // namespace

bool hist_last_sample(hist_store& store, const hist_key& key, std::int64_t at, std::int64_t not_before,
                      hist_sample& out, bool& found) {
  if (!last_of_hour(store, key, at, not_before, out, found))
    return false;
  if (found)
    return true;
  if (!store.sample_at(key, at, not_before, out, found))
    return false;
  if (found)
    return true;
  hist_summary h;
  if (!store.summary_before(key, hist_hour_of(at), h, found))
    return false;
  found = found && h.last.t >= not_before;
  if (found)
    out = h.last;
  return true;
}

// The whole hours [h1, h2) come from summaries (whole days from day summaries) when there is
// at least one; the two ends, and an interval without a whole hour, from raw samples.
bool hist_statistics(hist_store& store, const hist_key& key, std::int64_t from, std::int64_t to, bool by_time,
                     txl_stat_record& out) {
  out = txl_stat_record{};
  if (from >= to)
    return true;
  stat_accumulator acc(from, by_time, out);
  if (by_time) {
    hist_sample before;
    bool found = false;
    if (!hist_last_sample(store, key, from - 1, INT64_MIN, before, found))
      return false;
    if (found)
      acc.start_with(before);
  }
  const std::int64_t h1 = ceil_hour(from), h2 = hist_hour_of(to);
  if (h1 >= h2) {
    if (!feed_raw(store, key, from, to, acc))
      return false;
    acc.finish(to);
    return true;
  }
  if (!feed_raw(store, key, from, h1 * hist_hour_ms, acc) || !feed_summaries(store, key, h1, h2, acc))
    return false;
  if (!feed_raw(store, key, h2 * hist_hour_ms, to, acc))
    return false;
  acc.finish(to);
  return true;
}

}  // namespace quillet
