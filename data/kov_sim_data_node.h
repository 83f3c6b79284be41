// A simulated node: channel lists come from the project's node, while values, history,
// statistics and events are synthesised from the channel number and the time. It also
// serves trend controls as an archive; that interface lives as long as the node.
#pragma once

#include <cstdint>

#include "data/kov_data_source.h"
#include "platform/com/nv_reg_archive.h"
#include "platform/project/project_interfaces.h"

namespace quillet {

// The simulated value of a channel at a whole second: the attribute code when there is one,
// else (channel * 7 + t * 3) modulo 2^32, modulo 100.
double kov_sim_value(const kov_chan_ident& ident, std::uint32_t t);

class kov_sim_data_node : public kov_data_node, public INvRegArchive {
public:
  kov_sim_data_node() = default;

  void set_sim_time(std::uint32_t t) { sim_time_ = t; }
  std::uint32_t sim_time() const { return sim_time_; }
  int node_index() const { return node_index_; }

  void attach(int node_index, kov_project_node* project_node, const char* host_name) override;
  int state() const override { return 1; }
  void begin_pass() override {}
  void name(std::string& out) const override { out.clear(); }
  bool ensure_ready() override { return true; }
  void end_pass() override {}
  bool values_at(std::span<const kov_chan_ref* const> refs, const kov_time_record& time,
                 const kov_time_record& limit, anyval& result) override;
  bool values_between(std::span<const kov_chan_ref* const> refs, const kov_time_record& from,
                      const kov_time_record& to, anyval& result) override;
  bool current(const kov_chan_ref& ref, anyval& result) override;
  bool statistics(const kov_chan_ref& ref, const kov_time_record& from, const kov_time_record& to, int by_time,
                  txl_stat_record& record) override;
  bool select_channels(int object, int condition, anyval_list& result) override;
  bool events(const anyval& filter, anyval& result) override;
  INvRegArchive* archive() override { return this; }

  com::HRESULT QueryInterface(const com::IID& iid, void** out) override;
  com::ULONG AddRef() override { return 2; }
  com::ULONG Release() override { return 2; }
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

private:
  // A new historical value of the reference's channel at second t.
  anyval sample(const kov_chan_ident& ident, std::uint32_t t) const;
  // The channel at a position of an object and its kind; channel -1 when there is none.
  kov_chan_ident channel_at(int object, int pos) const;

  std::uint32_t sim_time_ = 0;
  int node_index_ = -1;
  rc_ptr<com::IvxPrjNode> project_node_;
};

}  // namespace quillet
