// Batched writing with summaries kept per touched hour.
#include "data/historian/hist_writer.h"

#include <algorithm>

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

// Samples of each channel go in time order. An hour the store held nothing of before is
// summarised from the batch; any other is summarised again from what the store holds after
// the batch, so rows imported twice or out of order give the same summaries.
bool hist_writer::write_batch() {
  for (auto& [k, list] : samples_) {
    const hist_key key{k.first, k.second};
    std::stable_sort(list.begin(), list.end(), [](const hist_sample& a, const hist_sample& b) { return a.t < b.t; });
    // Of two rows of one time, the later in the file wins, as it would in a later batch.
    auto last_of_each = std::unique(list.rbegin(), list.rend(), [](const hist_sample& a, const hist_sample& b) { return a.t == b.t; });
    list.erase(list.begin(), last_of_each.base());
    std::vector<std::pair<std::size_t, bool>> hours;  // first sample of each hour, and whether it was stored before
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (i > 0 && hist_hour_of(list[i].t) == hist_hour_of(list[i - 1].t))
        continue;
      const std::int64_t hour = hist_hour_of(list[i].t);
      hist_sample stored;
      bool found = false;
      if (!store_.sample_at(key, (hour + 1) * hist_hour_ms - 1, hour * hist_hour_ms, stored, found))
        return false;
      hours.emplace_back(i, found);
    }
    if (!store_.put_samples(key, list))
      return false;
    for (std::size_t h = 0; h < hours.size(); ++h) {
      const std::size_t begin = hours[h].first, end = h + 1 < hours.size() ? hours[h + 1].first : list.size();
      const std::int64_t hour = hist_hour_of(list[begin].t);
      const bool ok = hours[h].second ? resummarise(key, hour)
                                      : store_.put_summary(key, hist_summarise(hour, std::span(list).subspan(begin, end - begin)));
      if (!ok)
        return false;
    }
  }
  for (const hist_event& e : events_)
    if (!store_.put_event(e))
      return false;
  return true;
}

bool hist_writer::resummarise(const hist_key& key, std::int64_t hour) {
  std::vector<hist_sample> stored;
  bool more = false;
  const std::size_t most = static_cast<std::size_t>(hist_hour_ms);
  if (!store_.samples(key, hour * hist_hour_ms, (hour + 1) * hist_hour_ms, most, stored, more))
    return false;
  return store_.put_summary(key, hist_summarise(hour, stored));
}

}  // namespace quillet
