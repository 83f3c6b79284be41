// Store node: each channel function answered from the samples, summaries and events of a
// history store.
#include "data/historian/hist_data_node.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "data/historian/hist_stats.h"

namespace quillet {

namespace {

std::int64_t millis_of(const kov_time_record& t) { return static_cast<std::int64_t>(t.seconds) * 1000 + t.millis; }

hist_key key_of(const kov_chan_ident& ident) { return {ident.node, ident.channel}; }

anyval make_value(const hist_sample& s, const kov_chan_ident& ident) {
  const kov_time_record stamp{static_cast<std::uint32_t>(s.t / 1000), static_cast<std::int16_t>(s.t % 1000)};
  return anyval(make_rc<kov_data_value_imp>(s.value, stamp, ident));
}

// An event filter's time bound in milliseconds; -1 is no bound.
std::int64_t bound_millis(double seconds, std::int64_t none) {
  if (seconds == -1.0 || std::isnan(seconds))
    return none;
  return static_cast<std::int64_t>(std::llround(std::clamp(seconds, -1e12, 1e12) * 1000.0));
}

}  // namespace

// Matches a pattern in which ? stands for one character and * for any run, ignoring the
// case of ASCII letters; the empty pattern matches everything.
bool hist_mask_match(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
  auto same = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); };
  if (pattern.empty())
    return true;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], text[t]))) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

void hist_data_node::attach(int node_index, kov_project_node* project_node, const char*) {
  node_index_ = node_index;
  com::query(project_node, com::IID_IvxPrjNode, project_node_);
}

bool hist_data_node::value_at(const kov_chan_ident& ident, std::int64_t at, std::int64_t not_before, anyval& out) {
  out = anyval();
  if (ident.attribute != 0 || ident.channel < 0)
    return true;
  hist_sample s;
  bool found = false;
  if (!hist_last_sample(store_, key_of(ident), at, not_before, s, found))
    return false;
  if (found && s.good)
    out = make_value(s, ident);
  return true;
}

// One element per reference; a value not in the store is an empty element, which a single
// read turns into its ERROR marker.
bool hist_data_node::values_at(std::span<const kov_chan_ref* const> refs, const kov_time_record& time,
                               const kov_time_record& limit, anyval& result) {
  const std::int64_t not_before = limit.seconds == 0 ? INT64_MIN : millis_of(limit);
  anyval_list values(refs.size());
  for (std::size_t i = 0; i < refs.size(); ++i)
    if (!value_at(refs[i]->ident, millis_of(time), not_before, values[i]))
      return false;
  result = anyval::from_vector(std::move(values));
  return true;
}

// The good samples of [from, to), in time order and, at one time, in reference order.
bool hist_data_node::values_between(std::span<const kov_chan_ref* const> refs, const kov_time_record& from,
                                    const kov_time_record& to, anyval& result) {
  struct item {
    hist_sample s;
    std::size_t ref;
  };
  std::vector<item> items;
  for (std::size_t i = 0; i < refs.size(); ++i) {
    if (refs[i]->ident.attribute != 0 || refs[i]->ident.channel < 0)
      continue;
    std::vector<hist_sample> list;
    bool more = false;
    if (!store_.samples(key_of(refs[i]->ident), millis_of(from), millis_of(to), kov_max_read_values, list, more) || more)
      return false;
    for (const hist_sample& s : list)
      if (s.good)
        items.push_back({s, i});
    if (items.size() > kov_max_read_values)
      return false;
  }
  std::stable_sort(items.begin(), items.end(), [](const item& a, const item& b) { return a.s.t < b.s.t; });
  anyval_list values;
  values.reserve(items.size());
  for (const item& x : items)
    values.push_back(make_value(x.s, refs[x.ref]->ident));
  result = anyval::from_vector(std::move(values));
  return true;
}

bool hist_data_node::current(const kov_chan_ref& ref, anyval& result) {
  return value_at(ref.ident, static_cast<std::int64_t>(now_) * 1000, INT64_MIN, result);
}

bool hist_data_node::statistics(const kov_chan_ref& ref, const kov_time_record& from, const kov_time_record& to,
                                int by_time, txl_stat_record& record) {
  if (ref.ident.attribute != 0 || ref.ident.channel < 0)
    return false;
  return hist_statistics(store_, key_of(ref.ident), millis_of(from), millis_of(to), by_time != 0, record);
}

kov_chan_ident hist_data_node::channel_ident(int object, int channel) const {
  kov_chan_ident ident;
  ident.node = static_cast<std::int16_t>(node_index_);
  ident.object = static_cast<std::int16_t>(object);
  ident.channel = static_cast<std::int16_t>(channel);
  std::int32_t info = 0;
  if (project_node_ && !com::SUCCEEDED(project_node_->GetChannelInfo(object, channel, &info)))
    info = 0;
  ident.kind = static_cast<std::uint8_t>(info);
  return ident;
}

// Conditions by the value at the report time: 1 good, 2 bad or missing, 3 on (good and not
// 0), 4 off (good and 0), 5 in the normal range (every good value: the store keeps no limits),
// 6 to 8 beyond a limit (none).
bool hist_data_node::meets(const kov_chan_ident& ident, int condition, bool& yes) {
  anyval value;
  if (!current(kov_chan_ref(ident), value))
    return false;
  double v = 0.0;
  const bool good = !value.empty() && value.to_double(v);
  switch (condition) {
  case 0: yes = true; break;
  case 1: case 5: yes = good; break;
  case 2: yes = !good; break;
  case 3: yes = good && v != 0.0; break;
  case 4: yes = good && v == 0.0; break;
  default: yes = false; break;
  }
  return true;
}

bool hist_data_node::select_channels(int object, int condition, anyval_list& result) {
  if (!project_node_)
    return false;
  std::int32_t count = 0;
  if (!com::SUCCEEDED(project_node_->GetChannelCount(object, &count)) || count < 0)
    count = 0;
  for (std::int32_t e = 0; e < count; ++e) {
    std::int32_t channel = -1;
    if (!com::SUCCEEDED(project_node_->GetChannelAt(object, e, &channel)))
      continue;
    const kov_chan_ident ident = channel_ident(object, channel);
    bool yes = false;
    if (!meets(ident, condition, yes))
      return false;
    if (yes)
      result.push_back(kov_make_chan_ref(ident));
  }
  return true;
}

// Whether the channel's name and code match the filter's patterns; a pattern left empty
// matches anything, and its text is not even looked up (two trips through the project for
// each event of a long list).
bool hist_data_node::channel_matches(const kov_filter_ref& f, const kov_chan_ident& ident) const {
  std::string text;
  if (!f.channel_mask.empty()) {
    map_.channel_name(ident, text);
    if (!hist_mask_match(f.channel_mask, text))
      return false;
  }
  if (f.code_mask.empty())
    return true;
  map_.channel_coding(ident, text);
  return hist_mask_match(f.code_mask, text);
}

// The node's events up to the report time, newest first, through the filter's time and
// severity bounds and its channel-name, channel-code and text patterns.
bool hist_data_node::events(const anyval& filter_value, anyval& result) {
  const kov_filter_ref none;
  const auto* given = dynamic_cast<const kov_filter_ref*>(filter_value.get());
  if (!filter_value.empty() && !given)
    return false;
  const kov_filter_ref& f = given ? *given : none;
  const std::int64_t now = static_cast<std::int64_t>(now_) * 1000;
  std::vector<hist_event> found;
  bool more = false;
  if (!store_.events(node_index_, bound_millis(f.time_from, INT64_MIN), std::min(now, bound_millis(f.time_to, now)),
                     kov_max_read_values, found, more) || more)
    return false;
  anyval_list list;
  for (const hist_event& e : found) {
    if ((f.severity_min != -1 && e.severity < f.severity_min) || (f.severity_max != -1 && e.severity > f.severity_max))
      continue;
    const kov_chan_ident ident = channel_ident(0, e.channel);
    if (!channel_matches(f, ident) || !hist_mask_match(f.text, e.text))
      continue;
    list.push_back(anyval(make_rc<kov_event_ref>(e.text, ident, e.code, e.severity, static_cast<double>(e.t) * 0.001)));
  }
  result = anyval::from_vector(std::move(list));
  return true;
}

}  // namespace quillet
