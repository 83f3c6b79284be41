// The archive bridge's own operations: node and channel bookkeeping, interface lookup, the
// time range over all nodes, the channel enumeration and the two fixed archive answers.
#include "data/multi_kov_archive.h"

#include <algorithm>

#include "data/arc_record_order.h"

namespace quillet {

namespace {

// Bridge numbers travel as 16-bit channel numbers where -1 means "no channel", so the bridge
// hands out 0 to 32766 at most.
constexpr std::size_t max_bridge_channels = 0x7FFF;

}  // namespace

multi_arc_node::multi_arc_node(INvRegArchive* node_archive, IvxChBrowser* node_browser, IvxKOV* node_monitor)
    : archive(node_archive),
      browser(node_browser),
      monitor(node_monitor),
      buffer(std::make_unique<arc_record[]>(buffer_records)) {}

void multi_arc_node::restart(const arc_record& position) {
  read_position = position;
  capacity = buffer_records;
  count = buffer_records;
  next = buffer_records;
}

multi_kov_archive::multi_kov_archive() = default;

multi_kov_archive::~multi_kov_archive() { reset(); }

void multi_kov_archive::reset() {
  channels_.clear();
  nodes_.clear();
  first_browser_.reset();
  read_position_ = arc_record{};
}

std::int32_t multi_kov_archive::find_node(const INvRegArchive* node_archive) const {
  for (std::size_t i = 0; i < nodes_.size(); ++i)
    if (nodes_[i]->archive.get() == node_archive)
      return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t multi_kov_archive::find_entry(std::int32_t node, std::int16_t channel) const {
  for (std::size_t i = 0; i < channels_.size(); ++i)
    if (channels_[i].node == node && channels_[i].channel == channel)
      return static_cast<std::int32_t>(i);
  return -1;
}

// Nodes are told apart by their archive pointer; the browser and monitor of a node are the
// ones given when its first channel was added. A channel number that does not fit 16 bits
// names no channel of any node.
int multi_kov_archive::add_channel(INvRegArchive* node_archive, IvxChBrowser* browser, IvxKOV* monitor,
                                   int channel) {
  if (!node_archive || channel < -0x8000 || channel > 0xFFFF)
    return -1;
  if (!first_browser_ && browser)
    first_browser_ = rc_ptr<IvxChBrowser>(browser);
  const auto local = static_cast<std::int16_t>(static_cast<std::uint16_t>(channel));
  std::int32_t node = find_node(node_archive);
  if (node >= 0) {
    const std::int32_t known = find_entry(node, local);
    if (known >= 0)
      return known;
  }
  if (channels_.size() >= max_bridge_channels)
    return -1;
  if (node < 0) {
    nodes_.push_back(make_rc<multi_arc_node>(node_archive, browser, monitor));
    node = static_cast<std::int32_t>(nodes_.size() - 1);
  }
  channels_.push_back(channel_entry{node, local, 0});
  return static_cast<int>(channels_.size() - 1);
}

bool multi_kov_archive::set_hidden(int bridge, bool hidden) {
  if (bridge < 0 || static_cast<std::size_t>(bridge) >= channels_.size())
    return false;
  std::uint8_t& flags = channels_[static_cast<std::size_t>(bridge)].flags;
  flags = static_cast<std::uint8_t>(hidden ? (flags | 1) : (flags & ~1));
  return true;
}

const multi_kov_archive::channel_entry* multi_kov_archive::find_channel(std::uint16_t bridge) const {
  if (bridge >= channels_.size())
    return nullptr;
  return &channels_[bridge];
}

std::int16_t multi_kov_archive::bridge_number(std::int32_t node, std::int16_t channel) const {
  return static_cast<std::int16_t>(find_entry(node, channel));
}

// One object answers for all three interfaces; it is not counted, so nothing is added.
com::HRESULT multi_kov_archive::QueryInterface(const com::IID& iid, void** out) {
  if (!out)
    return com::E_POINTER;
  *out = nullptr;
  if (iid == com::IID_IUnknown || iid == com::IID_INvRegArchive)
    *out = static_cast<INvRegArchive*>(this);
  else if (iid == com::IID_IvxChBrowser)
    *out = static_cast<IvxChBrowser*>(this);
  else if (iid == com::IID_IvxKOV)
    *out = static_cast<IvxKOV*>(this);
  return *out ? com::S_OK : com::E_NOINTERFACE;
}

// The earliest first and the latest last position of the nodes that answer with status 0;
// a node that fails or reports a status is left out. With no answering node both positions
// are zero and the status is 2.
com::HRESULT multi_kov_archive::time_range(arc_record* first, arc_record* last, std::int32_t* status) {
  if (!first || !last || !status)
    return com::E_POINTER;
  arc_record earliest;
  earliest.time = UINT32_MAX;
  earliest.millis = 999;
  arc_record latest;
  bool answered = false;
  for (const rc_ptr<multi_arc_node>& node : nodes_) {
    arc_record node_first, node_last;
    std::int32_t node_status = 0;
    if (com::FAILED(node->archive->time_range(&node_first, &node_last, &node_status)) || node_status != 0)
      continue;
    answered = true;
    if (std::pair(node_first.time, arc_millis(node_first)) < std::pair(earliest.time, arc_millis(earliest)))
      earliest = arc_record{node_first.time, arc_millis(node_first)};
    if (std::pair(node_last.time, arc_millis(node_last)) > std::pair(latest.time, arc_millis(latest)))
      latest = arc_record{node_last.time, arc_millis(node_last)};
  }
  *first = answered ? earliest : arc_record{};
  *last = answered ? latest : arc_record{};
  *status = answered ? 0 : 2;
  return com::S_OK;
}

// Visible bridge numbers from `first` on, at most `max_count` of them.
com::HRESULT multi_kov_archive::channel_list(std::int32_t first, std::int32_t max_count, std::int32_t* written,
                                             std::int16_t* channels, std::int32_t* last) {
  if (!written || !last || (max_count > 0 && !channels))
    return com::E_POINTER;
  if (max_count < 0)
    return com::E_INVALIDARG;
  std::int32_t n = 0;
  for (std::size_t b = static_cast<std::uint16_t>(first); b < channels_.size() && n < max_count; ++b)
    if ((channels_[b].flags & 1) == 0)
      channels[n++] = static_cast<std::int16_t>(b);
  *written = n;
  *last = 0;
  return com::S_OK;
}

com::HRESULT multi_kov_archive::query_pair(std::int32_t* first, std::int32_t* second) {
  if (!first || !second)
    return com::E_POINTER;
  *first = 0;
  *second = 0;
  return com::S_OK;
}

com::HRESULT multi_kov_archive::query_word(std::int32_t* word) {
  if (!word)
    return com::E_POINTER;
  *word = 2;
  return com::E_NOTIMPL;
}

}  // namespace quillet
