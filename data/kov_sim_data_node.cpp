// Simulated node: deterministic values from the channel number and the time, histories of
// at most 256 seconds, statistics over at most 1024 seconds, ten events a minute apart, and
// archive records for trend controls.
#include "data/kov_sim_data_node.h"

#include <algorithm>
#include <cstdio>

namespace quillet {

namespace {

// The first whole second an interval bound covers: a bound with milliseconds starts at the
// next second.
std::int64_t first_second(const kov_time_record& t) { return static_cast<std::int64_t>(t.seconds) + (t.millis != 0); }
std::int64_t first_second(const arc_record& t) { return static_cast<std::int64_t>(t.time) + ((t.millis & 0x3FF) != 0); }

constexpr std::int64_t history_seconds = 256;
constexpr std::int64_t statistics_seconds = 1024;

// The attribute byte a selector carries, or 0.
std::uint8_t selector_byte(const arc_selector* selector) {
  if (!selector || selector->present == 0 || !selector->byte)
    return 0;
  return *selector->byte;
}

arc_record make_record(std::uint32_t t, std::int16_t channel, std::uint8_t selector) {
  arc_record r;
  r.time = t;
  r.channel = channel;
  kov_chan_ident ident;
  ident.channel = channel;
  ident.attribute = selector;
  r.set_value(static_cast<float>(kov_sim_value(ident, t)));
  r.data[5] = selector;
  return r;
}

}  // namespace

double kov_sim_value(const kov_chan_ident& ident, std::uint32_t t) {
  if (ident.attribute != 0)
    return ident.attribute;
  const std::uint32_t channel = static_cast<std::uint16_t>(ident.channel);
  return static_cast<double>((channel * 7u + t * 3u) % 100u);
}

void kov_sim_data_node::attach(int node_index, kov_project_node* project_node, const char*) {
  node_index_ = node_index;
  com::query(project_node, com::IID_IvxPrjNode, project_node_);
}

anyval kov_sim_data_node::sample(const kov_chan_ident& ident, std::uint32_t t) const {
  return anyval(make_rc<kov_data_value_imp>(kov_sim_value(ident, t), kov_time_record{t, 0}, ident));
}

// The limit is ignored: a simulated channel has a value at every second.
bool kov_sim_data_node::values_at(std::span<const kov_chan_ref* const> refs, const kov_time_record& time,
                                  const kov_time_record&, anyval& result) {
  anyval_list values;
  values.reserve(refs.size());
  for (const kov_chan_ref* ref : refs)
    values.push_back(sample(ref->ident, time.seconds));
  result = anyval::from_vector(std::move(values));
  return true;
}

// Time first, then reference; a longer interval is cut at 256 seconds, and an answer larger
// than a read may return fails instead of being built.
bool kov_sim_data_node::values_between(std::span<const kov_chan_ref* const> refs, const kov_time_record& from,
                                       const kov_time_record& to, anyval& result) {
  const std::int64_t begin = first_second(from);
  const std::int64_t n = std::min(first_second(to) - begin, history_seconds);
  anyval_list values;
  if (n > 0 && static_cast<std::uint64_t>(n) * refs.size() > kov_max_read_values)
    return false;
  for (std::int64_t i = 0; i < n; ++i)
    for (const kov_chan_ref* ref : refs)
      values.push_back(sample(ref->ident, static_cast<std::uint32_t>(begin + i)));
  result = anyval::from_vector(std::move(values));
  return true;
}

bool kov_sim_data_node::current(const kov_chan_ref& ref, anyval& result) {
  result = sample(ref.ident, sim_time_);
  return true;
}

// Counted samples, one a second; the by-time flag makes no difference here.
bool kov_sim_data_node::statistics(const kov_chan_ref& ref, const kov_time_record& from, const kov_time_record& to,
                                   int, txl_stat_record& record) {
  const std::int64_t begin = first_second(from);
  const std::int64_t n = std::min(first_second(to) - begin, statistics_seconds);
  for (std::int64_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(begin + i);
    const double v = kov_sim_value(ref.ident, static_cast<std::uint32_t>(begin + i));
    record.sum += v;
    record.sum2 += v * v;
    if (record.count == 0 || v > record.max) {
      record.max = v;
      record.max_time = s;
    }
    if (record.count == 0 || v < record.min) {
      record.min = v;
      record.min_time = s;
    }
    record.count += 1;
  }
  return true;
}

kov_chan_ident kov_sim_data_node::channel_at(int object, int pos) const {
  kov_chan_ident ident;
  ident.node = static_cast<std::int16_t>(node_index_);
  ident.object = static_cast<std::int16_t>(object);
  std::int32_t channel = -1;
  if (!com::SUCCEEDED(project_node_->GetChannelAt(object, pos, &channel)))
    channel = -1;
  std::int32_t info = 0;
  if (!com::SUCCEEDED(project_node_->GetChannelInfo(object, channel, &info)))
    info = 0;
  ident.channel = static_cast<std::int16_t>(channel);
  ident.kind = static_cast<std::uint8_t>(info);
  return ident;
}

// Condition 0 selects every channel of the object, any other at most three per unit.
bool kov_sim_data_node::select_channels(int object, int condition, anyval_list& result) {
  if (!project_node_)
    return false;
  std::int32_t count = 0;
  if (!com::SUCCEEDED(project_node_->GetChannelCount(object, &count)) || count < 0)
    count = 0;
  const std::int64_t selected = condition == 0 ? count : std::min<std::int64_t>(count, 3LL * condition);
  for (std::int64_t e = 0; e < selected; ++e)
    result.push_back(kov_make_chan_ref(channel_at(object, static_cast<int>(e))));
  return true;
}

// Ten alarms, one a minute going back from the simulation time, on the node's channels in
// turn; the filter is not applied.
bool kov_sim_data_node::events(const anyval&, anyval& result) {
  if (!project_node_)
    return false;
  std::int32_t count = 0;
  if (!com::SUCCEEDED(project_node_->GetChannelCount(0, &count)) || count < 0)
    count = 0;
  anyval_list list;
  for (int i = 1; count > 0 && i <= 10; ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "Alarm message %d", i);
    const double time = static_cast<double>(sim_time_) - 60.0 * i;
    list.push_back(anyval(make_rc<kov_event_ref>(text, channel_at(0, (i - 1) % count), 64 + i, i, time)));
  }
  result = anyval::from_vector(std::move(list));
  return true;
}

// The archive answers for itself. A channel-browser request is refused: the node does not
// implement that interface, and handing it out would let a caller call what is not there.
com::HRESULT kov_sim_data_node::QueryInterface(const com::IID& iid, void** out) {
  if (!out)
    return com::E_POINTER;
  *out = nullptr;
  if (iid != com::IID_IUnknown && iid != com::IID_INvRegArchive)
    return com::E_NOINTERFACE;
  *out = static_cast<INvRegArchive*>(this);
  return com::S_OK;
}

com::HRESULT kov_sim_data_node::time_range(arc_record* first, arc_record* last, std::int32_t* status) {
  if (first) {
    first->time = 0;
    first->millis = 0;
  }
  if (last) {
    last->time = sim_time_ + 1;
    last->millis = 0;
  }
  if (status)
    *status = 0;
  return com::S_OK;
}

// Every second channel number from `first`, up to the count or until the number reaches -1.
com::HRESULT kov_sim_data_node::channel_list(std::int32_t first, std::int32_t max_count, std::int32_t* written,
                                             std::int16_t* channels, std::int32_t* last) {
  std::int32_t n = 0;
  for (std::int32_t i = 0; channels && i < max_count; ++i) {
    const auto number = static_cast<std::int16_t>(first + 2 * i);
    if (number == -1)
      break;
    channels[n++] = number;
  }
  if (written)
    *written = n;
  if (last)
    *last = 0;
  return com::S_OK;
}

// Records second by second, each second for every channel of the subset, below both the
// time of `next` and the simulation time, until `max` records are written.
com::HRESULT kov_sim_data_node::read_records(const arc_record* start, arc_record* next, std::int32_t,
                                             const arc_channel_set* subset, const arc_selector* selector,
                                             std::int32_t max, std::int32_t* count, arc_record* records,
                                             std::int32_t* status) {
  if (count)
    *count = 0;
  if (status)
    *status = 0;
  if (!subset || subset->count <= 0 || !subset->channels || !records || max <= 0)
    return com::S_OK;
  std::fill(records, records + max, arc_record{});
  const std::uint8_t byte = selector_byte(selector);
  const std::int64_t upper = next ? next->time : 0;
  std::int32_t n = 0;
  for (std::int64_t s = start ? first_second(*start) : 0; s < upper && s < sim_time_ && n < max; ++s)
    for (std::int32_t c = 0; c < subset->count && n < max; ++c)
      records[n++] = make_record(static_cast<std::uint32_t>(s), subset->channels[c], byte);
  if (count)
    *count = n;
  return com::S_OK;
}

com::HRESULT kov_sim_data_node::read_values(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t count,
                                            const std::int16_t* channels, const arc_selector* selector, std::int32_t,
                                            arc_record* records, std::int32_t* status) {
  const std::uint8_t byte = selector_byte(selector);
  for (std::int32_t i = 0; channels && records && i < count; ++i)
    records[i] = make_record(sim_time_, channels[i], byte);
  if (status)
    *status = 0;
  return com::S_OK;
}

com::HRESULT kov_sim_data_node::query_pair(std::int32_t* first, std::int32_t* second) {
  if (first)
    *first = 0;
  if (second)
    *second = 0;
  return com::S_OK;
}

com::HRESULT kov_sim_data_node::query_word(std::int32_t* word) {
  if (word)
    *word = 2;
  return com::E_NOTIMPL;
}

}  // namespace quillet
