// The archive interface of a store node: records for trend controls, read from the store.
#include <algorithm>

#include "data/arc_record_order.h"
#include "data/historian/hist_data_node.h"
#include "data/historian/hist_stats.h"

namespace quillet {

namespace {

arc_record make_record(const hist_sample& s, std::int16_t channel) {
  arc_record r;
  r.time = static_cast<std::uint32_t>(s.t / 1000);
  r.millis = static_cast<std::uint16_t>(s.t % 1000);
  r.channel = channel;
  r.set_value(static_cast<float>(s.value));
  return r;
}

}  // namespace

com::HRESULT hist_data_node::QueryInterface(const com::IID& iid, void** out) {
  if (!out)
    return com::E_POINTER;
  *out = nullptr;
  if (iid != com::IID_IUnknown && iid != com::IID_INvRegArchive)
    return com::E_NOINTERFACE;
  *out = static_cast<INvRegArchive*>(this);
  return com::S_OK;
}

// From the beginning of time to just after the report time.
com::HRESULT hist_data_node::time_range(arc_record* first, arc_record* last, std::int32_t* status) {
  if (first)
    *first = arc_record{};
  if (last) {
    *last = arc_record{};
    last->time = now_ + 1;
  }
  if (status)
    *status = 0;
  return com::S_OK;
}

// The node's channel numbers from `first` on, as the project lists them.
com::HRESULT hist_data_node::channel_list(std::int32_t first, std::int32_t max_count, std::int32_t* written,
                                          std::int16_t* channels, std::int32_t* last) {
  std::int32_t n = 0, count = 0;
  if (project_node_ && !com::SUCCEEDED(project_node_->GetChannelCount(0, &count)))
    count = 0;
  for (std::int32_t pos = 0; channels && pos < count && n < max_count; ++pos) {
    std::int32_t channel = -1;
    if (com::SUCCEEDED(project_node_->GetChannelAt(0, pos, &channel)) && channel >= first)
      channels[n++] = static_cast<std::int16_t>(channel);
  }
  if (written)
    *written = n;
  if (last)
    *last = 0;
  return com::S_OK;
}

// Records from the start position on, below the time of `next` and the report time, in
// archive order, at most `max`; a record read before (at or before the start position) is
// not given again.
com::HRESULT hist_data_node::read_records(const arc_record* start, arc_record* next, std::int32_t,
                                          const arc_channel_set* subset, const arc_selector* selector,
                                          std::int32_t max, std::int32_t* count, arc_record* records,
                                          std::int32_t* status) {
  if (count)
    *count = 0;
  if (status)
    *status = 0;
  if (!subset || subset->count <= 0 || !subset->channels || !records || max <= 0 || !start)
    return com::S_OK;
  if (selector && selector->present && selector->byte && *selector->byte)
    return com::S_OK;  // limits and other attributes are not kept in the store
  const std::int64_t from = static_cast<std::int64_t>(start->time) * 1000 + arc_millis(*start);
  const std::int64_t to = std::min<std::int64_t>(next ? next->time : 0, now_ + 1) * 1000;
  std::vector<arc_record> found;
  for (std::int32_t c = 0; c < subset->count && from < to; ++c) {
    std::vector<hist_sample> list;
    bool more = false;
    if (!store_.samples({node_index_, subset->channels[c]}, from, to, static_cast<std::size_t>(max) + 1, list, more)) {
      if (status)
        *status = 2;
      return com::E_FAIL;
    }
    for (const hist_sample& s : list)
      if (s.good && !arc_record_less(make_record(s, subset->channels[c]), *start))
        found.push_back(make_record(s, subset->channels[c]));
  }
  std::sort(found.begin(), found.end(), arc_record_less);
  const std::int32_t n = std::min<std::int32_t>(max, static_cast<std::int32_t>(found.size()));
  std::copy(found.begin(), found.begin() + n, records);
  if (count)
    *count = n;
  return com::S_OK;
}

// The value at the report time of each channel; a channel without one reads 0.
com::HRESULT hist_data_node::read_values(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t count,
                                         const std::int16_t* channels, const arc_selector*, std::int32_t,
                                         arc_record* records, std::int32_t* status) {
  for (std::int32_t i = 0; channels && records && i < count; ++i) {
    hist_sample s;
    bool found = false;
    if (!hist_last_sample(store_, {node_index_, channels[i]}, static_cast<std::int64_t>(now_) * 1000, INT64_MIN, s,
                          found) || !found || !s.good)
      s = hist_sample{static_cast<std::int64_t>(now_) * 1000, 0.0, true};
    records[i] = make_record(s, channels[i]);
  }
  if (status)
    *status = 0;
  return com::S_OK;
}

com::HRESULT hist_data_node::query_pair(std::int32_t* out1, std::int32_t* out2) {
  if (out1)
    *out1 = 0;
  if (out2)
    *out2 = 0;
  return com::S_OK;
}

com::HRESULT hist_data_node::query_word(std::int32_t* out) {
  if (out)
    *out = 2;
  return com::E_NOTIMPL;
}

}  // namespace quillet
