// The archive bridge of a trend control: the channels chosen for one trend, taken from
// several nodes, shown as one archive, one channel browser and one monitor. Bridge channels
// are numbered 0, 1, 2 ... in the order they were added; every call is forwarded to the node
// that owns the channel, and archived records of all nodes are merged in time order. The
// bridge is embedded in its owner and does no counting of its own; it holds counted
// references to the node interfaces until `reset`.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/com/nv_reg_archive.h"
#include "txl/rc_object.h"

namespace quillet {

// One node that owns bridge channels: its interfaces and its block of read-ahead records.
class multi_arc_node : public dynamic_object {
public:
  static constexpr std::int32_t buffer_records = 1024;

  // Holds a counted reference to each interface given; browser and monitor may be null.
  multi_arc_node(INvRegArchive* node_archive, IvxChBrowser* node_browser, IvxKOV* node_monitor);

  // Reading starts again at `position` with an exhausted full buffer, so the next read refills it.
  void restart(const arc_record& position);
  bool used_up() const { return next >= count; }
  // A used-up buffer that the last refill did not fill: the node has nothing more to give.
  bool finished() const { return used_up() && count < capacity; }
  const arc_record& head() const { return buffer[static_cast<std::size_t>(next)]; }

  rc_ptr<INvRegArchive> archive;
  rc_ptr<IvxChBrowser> browser;
  rc_ptr<IvxKOV> monitor;
  arc_record read_position;
  std::int32_t capacity = buffer_records;
  std::int32_t count = buffer_records;
  std::int32_t next = buffer_records;
  std::unique_ptr<arc_record[]> buffer;
};

class multi_kov_archive final : public INvRegArchive, public IvxChBrowser, public IvxKOV {
public:
  multi_kov_archive();
  ~multi_kov_archive();
  multi_kov_archive(const multi_kov_archive&) = delete;
  multi_kov_archive& operator=(const multi_kov_archive&) = delete;

  // Forgets every channel and node and the read position.
  void reset();
  // The bridge number of a node's channel, adding it when new; -1 for a null archive or
  // when no bridge number is left.
  int add_channel(INvRegArchive* archive, IvxChBrowser* browser, IvxKOV* monitor, int channel);
  // Leaves a bridge channel out of the channel enumeration, or puts it back; false when the
  // bridge has no such channel.
  bool set_hidden(int bridge, bool hidden);

  INvRegArchive* archive_interface() { return this; }
  IvxChBrowser* browser_interface() { return this; }
  IvxKOV* monitor_interface() { return this; }
  int channel_count() const { return static_cast<int>(channels_.size()); }
  int node_count() const { return static_cast<int>(nodes_.size()); }

  // IUnknown: the three interfaces of one object that lives as long as its owner.
  com::HRESULT QueryInterface(const com::IID& iid, void** out) override;
  com::ULONG AddRef() override { return 2; }
  com::ULONG Release() override { return 2; }

  // INvRegArchive
  com::HRESULT time_range(arc_record* first, arc_record* last, std::int32_t* status) override;
  com::HRESULT channel_list(std::int32_t first, std::int32_t max_count, std::int32_t* written,
                            std::int16_t* channels, std::int32_t* last) override;
  com::HRESULT read_records(const arc_record* start, arc_record* next, std::int32_t argument,
                            const arc_channel_set* subset, const arc_selector* selector, std::int32_t max,
                            std::int32_t* count, arc_record* records, std::int32_t* status) override;
  com::HRESULT read_values(std::int32_t opaque1, std::int32_t opaque2, std::int32_t opaque3, std::int32_t opaque4,
                           std::int32_t count, const std::int16_t* channels, const arc_selector* selector,
                           std::int32_t opaque5, arc_record* records, std::int32_t* status) override;
  com::HRESULT query_pair(std::int32_t* first, std::int32_t* second) override;
  com::HRESULT query_word(std::int32_t* word) override;

  // IvxChBrowser: one group, "virtual", holding every bridge channel.
  com::HRESULT group_count(std::int32_t* count) override;
  com::HRESULT get_groups(std::int32_t count, vx_group_record* groups) override;
  com::HRESULT channel_count(std::int16_t group, std::int32_t* count) override;
  com::HRESULT get_channels(std::int16_t group, std::int32_t count, vx_channel_record* records) override;
  com::HRESULT all_groups(std::int32_t* count, vx_group_record** groups) override;
  com::HRESULT group_channels(const vx_group_record* group, std::int32_t* count,
                              vx_channel_record** records) override;
  com::HRESULT query_channel(std::int32_t selector, const vx_channel_record* record, std::int32_t* value,
                             std::int32_t option) override;
  com::HRESULT query_browser(std::int32_t selector, std::int32_t argument, std::int32_t* value,
                             std::int32_t option) override;
  com::HRESULT fill_group(vx_group_record* group) override;
  com::HRESULT fill_channel(vx_channel_record* record) override;
  com::HRESULT browser_word(std::int16_t* word) override;
  com::HRESULT channel_word_of(std::uint16_t channel, std::int32_t selector, std::int16_t* word) override;
  com::HRESULT channel_word(std::uint16_t channel, std::int16_t* word) override;

  // IvxKOV: the methods that carry a channel go to the node's monitor.
  com::HRESULT monitor_reserved3() override;
  com::HRESULT monitor_reserved4() override;
  com::HRESULT monitor_reserved5() override;
  com::HRESULT monitor_reserved6() override;
  com::HRESULT monitor_reserved7() override;
  com::HRESULT monitor_reserved8() override;
  com::HRESULT monitor_reserved9() override;
  com::HRESULT channel_request(std::int32_t selector, std::uint16_t channel, std::int32_t argument,
                               std::int32_t option) override;
  com::HRESULT channel_command(std::uint16_t channel, std::int32_t argument, std::int32_t option) override;
  com::HRESULT channel_query(std::uint16_t channel, std::int32_t argument, std::int32_t option) override;
  com::HRESULT monitor_reserved13() override;
  com::HRESULT monitor_reserved14() override;
  com::HRESULT archive(INvRegArchive** reader) override;
  com::HRESULT channel_notice(std::uint16_t channel, std::int32_t argument) override;
  com::HRESULT monitor_word(std::int16_t* word) override;

private:
  // A bridge channel: the node's place in the node list and the channel's number there.
  struct channel_entry {
    std::int32_t node = 0;
    std::int16_t channel = 0;
    std::uint8_t flags = 0;  // bit 0 hides the channel from enumeration
  };

  // The entry of a bridge number taken as unsigned 16-bit, or null when the bridge has none.
  const channel_entry* find_channel(std::uint16_t bridge) const;
  // The bridge number of a node's channel, or -1.
  std::int16_t bridge_number(std::int32_t node, std::int16_t channel) const;
  // The browser of the node owning a bridge channel and the channel's number there;
  // E_INVALIDARG for a channel the bridge does not hold, E_POINTER for a node without one.
  com::HRESULT node_browser(std::uint16_t bridge, IvxChBrowser*& browser, std::uint16_t& local) const;
  // The same for the node's monitor; E_FAIL for a channel the bridge does not hold.
  com::HRESULT node_monitor(std::uint16_t bridge, IvxKOV*& monitor, std::uint16_t& local) const;
  // The caller's channels that belong to `node`: their node-local numbers and their places.
  void values_of_node(std::int32_t node, std::int32_t count, const std::int16_t* channels,
                      std::vector<std::int16_t>& local, std::vector<std::int32_t>& places) const;
  // The node-local numbers of the requested bridge channels that belong to `node`.
  void node_channels(std::int32_t node, const arc_channel_set* subset, std::vector<std::int16_t>& out) const;
  // The node entry holding `archive`, or -1.
  std::int32_t find_node(const INvRegArchive* archive) const;
  // The entry of a node's channel, or -1.
  std::int32_t find_entry(std::int32_t node, std::int16_t channel) const;
  // What one read of records asks the nodes for: the caller's bound, arguments and channels.
  struct read_request {
    arc_record* next;
    std::int32_t argument;
    const arc_channel_set* subset;
    const arc_selector* selector;
  };
  // The outcome of a node read that failed or reported a status.
  struct node_failure {
    com::HRESULT result = com::S_OK;
    std::int32_t status = 0;
  };
  // Refills a used-up node's buffer; false with the node's answer in `failure` when it fails.
  bool refill(std::int32_t node, const read_request& request, std::vector<std::int16_t>& scratch,
              node_failure& failure);
  // The node with the smallest head record, or -1 when every node is used up.
  std::int32_t smallest_head() const;
  // Merges node records into `records` until `max` or the end; false when a node failed.
  bool merge(const read_request& request, std::int32_t max, arc_record* records, std::int32_t& produced,
             node_failure& failure);

  std::vector<rc_ptr<multi_arc_node>> nodes_;
  std::vector<channel_entry> channels_;
  arc_record read_position_;
  rc_ptr<IvxChBrowser> first_browser_;
};

}  // namespace quillet
