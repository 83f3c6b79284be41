// The summary cache of report reads.
#include "data/historian/hist_read_cache.h"

#include <algorithm>

namespace quillet {

namespace {

constexpr std::int64_t cached_hours = 31 * 24;
constexpr std::size_t cached_channels = 256;

}  // namespace

// A request outside what is kept fetches from its first hour at least a month on.
bool hist_read_cache::summaries(const hist_key& key, std::int64_t from, std::int64_t to,
                                std::vector<hist_summary>& out) {
  if (from >= to)
    return true;
  auto it = kept_.find({key.node, key.channel});
  if (it == kept_.end() || from < it->second.from || to > it->second.to) {
    if (kept_.size() >= cached_channels)
      kept_.clear();
    kept fresh;
    fresh.from = from;
    fresh.to = std::max(to, from + cached_hours);
    if (!keep(inner_->summaries(key, fresh.from, fresh.to, fresh.list)))
      return false;
    it = kept_.insert_or_assign({key.node, key.channel}, std::move(fresh)).first;
  }
  const std::vector<hist_summary>& list = it->second.list;
  auto first = std::lower_bound(list.begin(), list.end(), from,
                                [](const hist_summary& s, std::int64_t hour) { return s.hour < hour; });
  for (; first != list.end() && first->hour < to; ++first)
    out.push_back(*first);
  return true;
}

}  // namespace quillet
