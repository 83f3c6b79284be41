// Batched writing with summaries kept per touched hour.
#include "data/historian/hist_writer.h"

#include <algorithm>

#include "data/historian/hist_block.h"

namespace quillet {

bool hist_writer::add(const hist_key& key, const hist_sample& sample) {
  samples_[{key.node, key.channel}].push_back(sample);
  return ++pending_ < batch_size_ || flush();
}

bool hist_writer::add(const hist_event& event) {
  events_.push_back(event);
  return ++pending_ < batch_size_ || flush();
}

bool hist_writer::flush() {
  if (pending_ == 0)
    return true;
  if (!store_.begin())
    return false;
  if (!write_batch()) {
    store_.rollback();
    return false;
  }
  if (!store_.commit()) {
    store_.rollback();
    return false;
  }
  committed_ += pending_;
  pending_ = 0;
  samples_.clear();
  events_.clear();
  return true;
}

// Samples of each channel go in time order, an hour at a time.
bool hist_writer::write_batch() {
  for (auto& [k, list] : samples_) {
    const hist_key key{k.first, k.second};
    std::stable_sort(list.begin(), list.end(), [](const hist_sample& a, const hist_sample& b) { return a.t < b.t; });
    // Of two rows of one time, the later in the file wins, as it would in a later batch.
    auto last_of_each = std::unique(list.rbegin(), list.rend(), [](const hist_sample& a, const hist_sample& b) { return a.t == b.t; });
    list.erase(list.begin(), last_of_each.base());
    for (std::size_t begin = 0, end = 0; begin < list.size(); begin = end) {
      const std::int64_t hour = hist_hour_of(list[begin].t);
      while (end < list.size() && hist_hour_of(list[end].t) == hour)
        ++end;
      if (!write_hour(key, hour, std::span(list).subspan(begin, end - begin)))
        return false;
      const std::int64_t day = hist_day_of_hour(hour);
      if ((end == list.size() || hist_day_of_hour(hist_hour_of(list[end].t)) != day) && !write_day(key, day))
        return false;
    }
  }
  for (const hist_event& e : events_)
    if (!store_.put_event(e))
      return false;
  return true;
}

// The batch's samples of an hour joined to what the store holds of it, written back with the
// hour's summary; so rows imported twice or out of order give the same samples and summaries.
bool hist_writer::write_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> fresh) {
  std::vector<hist_sample> stored, merged;
  bool more = false;
  const std::size_t most = static_cast<std::size_t>(hist_hour_ms);
  if (!store_.samples(key, hour * hist_hour_ms, (hour + 1) * hist_hour_ms, most, stored, more))
    return false;
  if (!stored.empty()) {
    merged = hist_merge_samples(stored, fresh);
    fresh = merged;
  }
  return store_.put_hour(key, hour, fresh) && store_.put_summary(key, hist_summarise(hour, fresh));
}

// The day's hour summaries, the batch's among them, folded into the day's summary.
bool hist_writer::write_day(const hist_key& key, std::int64_t day) {
  std::vector<hist_summary> hours;
  if (!store_.summaries(key, day * 24, day * 24 + 24, hours))
    return false;
  if (hours.empty())
    return true;
  hist_summary folded = hours.front();
  for (std::size_t i = 1; i < hours.size(); ++i)
    hist_fold_summary(folded, hours[i]);
  return store_.put_day_summary(key, day, folded);
}

}  // namespace quillet
