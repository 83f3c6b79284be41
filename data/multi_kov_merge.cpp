// Reading archived records through the bridge: every node is read in blocks into its own
// buffer and the blocks are merged in archive order; reading current values asks each node
// for its own channels and puts the answers back in the caller's order.
#include <algorithm>

#include "data/arc_record_order.h"
#include "data/multi_kov_archive.h"

namespace quillet {

// Without a subset every bridge channel is asked for; bridge numbers the bridge does not
// hold belong to no node.
void multi_kov_archive::node_channels(std::int32_t node, const arc_channel_set* subset,
                                      std::vector<std::int16_t>& out) const {
  out.clear();
  if (!subset) {
    for (const channel_entry& entry : channels_)
      if (entry.node == node)
        out.push_back(entry.channel);
    return;
  }
  for (std::int32_t i = 0; i < subset->count; ++i) {
    const channel_entry* entry = find_channel(static_cast<std::uint16_t>(subset->channels[i]));
    if (entry && entry->node == node)
      out.push_back(entry->channel);
  }
}

// The node's next read starts just after the last record it gave, in its own channel
// numbers; the records are then renumbered to bridge channels. A count beyond the buffer is
// taken as a full buffer.
bool multi_kov_archive::refill(std::int32_t index, const read_request& request, std::vector<std::int16_t>& scratch,
                               node_failure& failure) {
  multi_arc_node& node = *nodes_[static_cast<std::size_t>(index)];
  node_channels(index, request.subset, scratch);
  const arc_channel_set set{static_cast<std::int32_t>(scratch.size()), scratch.data()};
  std::int32_t got = 0;
  std::int32_t status = 0;
  const com::HRESULT hr = node.archive->read_records(&node.read_position, request.next, request.argument, &set,
                                                     request.selector, node.capacity, &got, node.buffer.get(),
                                                     &status);
  if (com::FAILED(hr) || status != 0) {
    failure = node_failure{hr, status};
    return false;
  }
  got = std::clamp(got, 0, node.capacity);
  node.count = got;
  node.next = 0;
  if (got > 0)
    node.read_position = arc_next_position(node.buffer[static_cast<std::size_t>(got - 1)]);
  for (std::int32_t i = 0; i < got; ++i) {
    arc_record& r = node.buffer[static_cast<std::size_t>(i)];
    r.channel = bridge_number(index, r.channel);
  }
  return true;
}

// Equal heads go to the node listed first.
std::int32_t multi_kov_archive::smallest_head() const {
  std::int32_t best = -1;
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i]->used_up())
      continue;
    if (best < 0 || arc_record_less(nodes_[i]->head(), nodes_[static_cast<std::size_t>(best)]->head()))
      best = static_cast<std::int32_t>(i);
  }
  return best;
}

bool multi_kov_archive::merge(const read_request& request, std::int32_t max, arc_record* records,
                              std::int32_t& produced, node_failure& failure) {
  std::vector<std::int16_t> scratch;
  while (produced < max) {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
      const multi_arc_node& node = *nodes_[i];
      if (node.used_up() && !node.finished() &&
          !refill(static_cast<std::int32_t>(i), request, scratch, failure))
        return false;
    }
    const std::int32_t best = smallest_head();
    if (best < 0)
      return true;
    multi_arc_node& node = *nodes_[static_cast<std::size_t>(best)];
    records[produced++] = node.head();
    ++node.next;
  }
  return true;
}

// A start at the position where the last read ended continues with what the nodes still
// hold; any other start reads every node afresh from that time. The next position handed
// back is the one just after the last record given.
com::HRESULT multi_kov_archive::read_records(const arc_record* start, arc_record* next, std::int32_t argument,
                                             const arc_channel_set* subset, const arc_selector* selector,
                                             std::int32_t max, std::int32_t* count, arc_record* records,
                                             std::int32_t* status) {
  if (!start || !next || !count || !status || (max > 0 && !records))
    return com::E_POINTER;
  if (max < 0 || (subset && subset->count < 0))
    return com::E_INVALIDARG;
  if (subset && subset->count > 0 && !subset->channels)
    return com::E_POINTER;
  *count = 0;
  *status = 0;
  if (!arc_same_position(*start, read_position_)) {
    arc_record from = *start;
    from.channel = 0;
    arc_set_sequence(from, 0);
    for (const rc_ptr<multi_arc_node>& node : nodes_)
      node->restart(from);
  }
  next->channel = -1;
  arc_set_sequence(*next, 63);
  std::int32_t produced = 0;
  node_failure failure;
  const bool ok = merge(read_request{next, argument, subset, selector}, max, records, produced, failure);
  *count = produced;
  if (!ok) {
    *status = failure.status;
    return failure.result;
  }
  if (produced > 0) {
    *next = arc_next_position(records[produced - 1]);
    read_position_ = *next;
  }
  return com::S_OK;
}

void multi_kov_archive::values_of_node(std::int32_t node, std::int32_t count, const std::int16_t* channels,
                                       std::vector<std::int16_t>& local, std::vector<std::int32_t>& places) const {
  local.clear();
  places.clear();
  for (std::int32_t i = 0; i < count; ++i) {
    const channel_entry* entry = find_channel(static_cast<std::uint16_t>(channels[i]));
    if (!entry || entry->node != node)
      continue;
    local.push_back(entry->channel);
    places.push_back(i);
  }
}

// Each record a node gives is placed where its channel stands in the caller's list and
// carries the caller's number; channels the bridge does not hold stay zeroed.
com::HRESULT multi_kov_archive::read_values(std::int32_t opaque1, std::int32_t opaque2, std::int32_t opaque3,
                                            std::int32_t opaque4, std::int32_t count, const std::int16_t* channels,
                                            const arc_selector* selector, std::int32_t opaque5, arc_record* records,
                                            std::int32_t* status) {
  if (!status || (count > 0 && (!channels || !records)))
    return com::E_POINTER;
  if (count < 0)
    return com::E_INVALIDARG;
  *status = 0;
  std::fill(records, records + count, arc_record{});
  std::vector<std::int16_t> local;
  std::vector<std::int32_t> places;
  std::vector<arc_record> answers;
  for (std::size_t n = 0; n < nodes_.size(); ++n) {
    values_of_node(static_cast<std::int32_t>(n), count, channels, local, places);
    if (local.empty())
      continue;
    answers.assign(local.size(), arc_record{});
    std::int32_t node_status = 0;
    const com::HRESULT hr =
        nodes_[n]->archive->read_values(opaque1, opaque2, opaque3, opaque4, static_cast<std::int32_t>(local.size()),
                                        local.data(), selector, opaque5, answers.data(), &node_status);
    if (com::FAILED(hr) || node_status != 0) {
      *status = node_status;
      return hr;
    }
    for (std::size_t k = 0; k < places.size(); ++k) {
      arc_record& place = records[places[k]];
      place = answers[k];
      place.channel = channels[places[k]];
    }
  }
  return com::S_OK;
}

}  // namespace quillet
