// The general data source: one node object per project node, names resolved through a
// channel map, every data request sent to the node that owns the referenced channel. The
// node class is chosen by create_node. The maps are the caller's and must outlive the source.
#pragma once

#include <vector>

#include "data/kov_channel_map.h"
#include "data/kov_data_source.h"

namespace quillet {

class kov_runtime_data_source : public kov_txl_data_source {
public:
  kov_runtime_data_source() = default;
  kov_runtime_data_source(const kov_runtime_data_source&) = delete;
  kov_runtime_data_source& operator=(const kov_runtime_data_source&) = delete;
  ~kov_runtime_data_source() override;

  // Builds one attached node per node of the map; a null map leaves the source empty.
  void setup(kov_channel_map* channels, kov_host_map* hosts);
  // Ends the pass, releases every node and forgets the maps.
  void clear();
  // The node's archive interface (not counted for the caller), or null.
  INvRegArchive* node_archive(int node) const;
  // The project's node object of a node, or null.
  kov_project_node* node_object(int node) const;

  void open_nodes() override;
  void close_nodes() override;
  int node_count() const override { return static_cast<int>(nodes_.size()); }
  int node_state(int node) const override;
  void node_name(int node, std::string& out) const override;
  bool make_channel_ref(const anyval& name, const anyval& attr, const anyval& node, const anyval& object,
                        anyval& result) override;
  bool make_object_ref(const anyval& node, const anyval& object, anyval& result) override;
  bool channel_name(const anyval& ref, anyval& result) override;
  bool channel_node_name(const anyval& ref, anyval& result) override;
  bool channel_object_name(const anyval& ref, anyval& result) override;
  bool channel_attr_name(const anyval& ref, anyval& result) override;
  bool channel_code(const anyval& ref, anyval& result) override;
  bool channel_unit(const anyval& ref, anyval& result) override;
  bool read_value_at(const anyval& ref, const anyval& time, const anyval& limit, anyval& result) override;
  bool read_values(const anyval& ref, const anyval& from, const anyval& to, anyval& result) override;
  bool current_value(const anyval& ref, anyval& result) override;
  bool statistics(const anyval& ref, const anyval& from, const anyval& to, int by_time,
                  txl_stat_record& record) override;
  bool select_channels(const anyval& node, const anyval& object, const anyval& condition,
                       anyval& result) override;
  bool events(const anyval& node, const anyval& filter, anyval& result) override;

protected:
  // Makes a new node object; this class has no runtime connection and makes none.
  virtual rc_ptr<kov_data_node> create_node();
  // The node of a valid number (not negative, within the table, slot not empty), or null.
  kov_data_node* node_at(int node) const;

private:
  using name_query = bool (kov_channel_map::*)(const kov_chan_ident&, std::string&) const;
  bool ask_name(const anyval& ref, name_query query, anyval& result) const;
  // The node number CHAN uses: the given node, or the first node holding the channel.
  bool resolve_channel(const anyval& name, const anyval& attr, const anyval& node, const anyval& object,
                       kov_chan_ident& ident) const;
  // The node that serves a history read of the references in `ref`, or null when they cannot
  // be read; an empty reference list is answered at once with an empty vector (`answered`).
  kov_data_node* node_for_read(const anyval& ref, std::vector<const kov_chan_ref*>& refs, anyval& result,
                               bool& answered) const;

  kov_channel_map* channels_ = nullptr;
  kov_host_map* hosts_ = nullptr;
  std::vector<rc_ptr<kov_data_node>> nodes_;
};

}  // namespace quillet
