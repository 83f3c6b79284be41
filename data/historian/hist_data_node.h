// A node whose channels are read from a history store: values at and between times, the
// current value at the report time, statistics and the event log, with names and channel
// lists from the project. A value that is not in the store (no sample, or a bad one) is not
// there: nothing is made up for it.
#pragma once

#include <cstdint>
#include <string_view>

#include "data/historian/hist_store.h"
#include "data/kov_channel_map.h"
#include "data/kov_data_source.h"
#include "data/kov_values.h"
#include "platform/com/nv_reg_archive.h"
#include "platform/project/project_interfaces.h"

namespace quillet {

// Matches a pattern in which ? stands for one character and * for any run, ignoring the case
// of ASCII letters; the empty pattern matches everything.
bool hist_mask_match(std::string_view pattern, std::string_view text);

class hist_data_node : public kov_data_node, public INvRegArchive {
public:
  // The store and the map belong to the source and outlive the node; `now` is the report
  // time in whole seconds.
  hist_data_node(hist_store& store, const kov_channel_map& map, std::uint32_t now) : store_(store), map_(map), now_(now) {}

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

  // The archive that trend controls read: the good samples of the store as records, up to
  // the report time. It lives as long as the node.
  com::HRESULT QueryInterface(const com::IID& iid, void** out) override;
  com::ULONG AddRef() override { return 2; }
  com::ULONG Release() override { return 2; }
  com::HRESULT time_range(arc_record* first, arc_record* last, std::int32_t* status) override;
  com::HRESULT channel_list(std::int32_t first, std::int32_t max_count, std::int32_t* written,
                            std::int16_t* channels, std::int32_t* last) override;
  com::HRESULT read_records(const arc_record* start, arc_record* next, std::int32_t argument,
                            const arc_channel_set* subset, const arc_selector* selector, std::int32_t max,
                            std::int32_t* count, arc_record* records, std::int32_t* status) override;
  com::HRESULT read_values(std::int32_t a1, std::int32_t a2, std::int32_t a3, std::int32_t a4, std::int32_t count,
                           const std::int16_t* channels, const arc_selector* selector, std::int32_t a8,
                           arc_record* records, std::int32_t* status) override;
  com::HRESULT query_pair(std::int32_t* first, std::int32_t* second) override;
  com::HRESULT query_word(std::int32_t* word) override;

private:
  bool channel_matches(const kov_filter_ref& filter, const kov_chan_ident& ident) const;
  // The good value valid at `at` (not before `not_before`) as a historical value, or empty.
  bool value_at(const kov_chan_ident& ident, std::int64_t at, std::int64_t not_before, anyval& out);
  // Whether a channel meets a selection condition by its value at the report time.
  bool meets(const kov_chan_ident& ident, int condition, bool& yes);
  kov_chan_ident channel_ident(int object, int channel) const;

  hist_store& store_;
  const kov_channel_map& map_;
  std::uint32_t now_;
  int node_index_ = -1;
  rc_ptr<com::IvxPrjNode> project_node_;
};

}  // namespace quillet
