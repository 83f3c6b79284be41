// The data source through which expressions reach the controlled process, and the station
// (node) interface behind it. The channel and event functions are the only callers of the
// source's operations; data sources implement them. Every operation that produces a value
// stores it into a result slot and reports success; on failure the slot is left empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "data/kov_time_record.h"
#include "data/kov_values.h"
#include "txl/anyval.h"
#include "txl/rc_object.h"
#include "txl/stat_value.h"

namespace quillet {

// Most values, channel references or events one read of a data source may return. A source
// that would return more fails the read (the function shows its ERROR marker), and the
// functions refuse a longer answer the same way, so no template can make a report hold
// more than this per call.
inline constexpr std::size_t kov_max_read_values = std::size_t{1} << 20;

// The project's node object that a node is attached to; its interface belongs to the project
// component and is opaque here.
class kov_project_node;
// A node's archive interface, handed to embedded trend controls; opaque here.
class INvRegArchive;

// The source. Arguments called values are expression values as the function received them,
// not yet converted; names, numbers and times are the source's to convert (times through
// kov_to_time_record). An argument the caller did not give is an empty value.
class kov_txl_data_source {
public:
  virtual ~kov_txl_data_source() = default;

  // A report pass starts / ended: every node is told.
  virtual void open_nodes() = 0;
  virtual void close_nodes() = 0;

  virtual int node_count() const = 0;
  // The node's state code; 0 for an index out of range.
  virtual int node_state(int node) const = 0;
  // The node's name, or empty text for an index out of range.
  virtual void node_name(int node, std::string& out) const = 0;

  // CHAN: a channel reference from a name and optional attribute, node and object.
  virtual bool make_channel_ref(const anyval& name, const anyval& attr, const anyval& node,
                                const anyval& object, anyval& result) = 0;
  // OBJECT(node, object): an object reference (channel -1, attribute 0, kind 0).
  virtual bool make_object_ref(const anyval& node, const anyval& object, anyval& result) = 0;

  // Names of a reference's channel, node, object and attribute, the channel's code (or its
  // comment when it has no code) and its unit, each stored as a string.
  virtual bool channel_name(const anyval& ref, anyval& result) = 0;
  virtual bool channel_node_name(const anyval& ref, anyval& result) = 0;
  virtual bool channel_object_name(const anyval& ref, anyval& result) = 0;
  virtual bool channel_attr_name(const anyval& ref, anyval& result) = 0;
  virtual bool channel_code(const anyval& ref, anyval& result) = 0;
  virtual bool channel_unit(const anyval& ref, anyval& result) = 0;

  // The value valid at a time (searching back no further than the limit, when one is given
  // and not 0): one historical value for one reference, a vector of them for a vector of
  // references of one node.
  virtual bool read_value_at(const anyval& ref, const anyval& time, const anyval& limit, anyval& result) = 0;
  // A vector of the historical values recorded in [from, to).
  virtual bool read_values(const anyval& ref, const anyval& from, const anyval& to, anyval& result) = 0;
  // The current value as a historical value.
  virtual bool current_value(const anyval& ref, anyval& result) = 0;
  // Statistics over [from, to): samples counted (by_time 0) or integrated over time (1).
  virtual bool statistics(const anyval& ref, const anyval& from, const anyval& to, int by_time,
                          txl_stat_record& record) = 0;
  // A vector of channel references of an object that meet a condition code (0 to 8).
  virtual bool select_channels(const anyval& node, const anyval& object, const anyval& condition,
                               anyval& result) = 0;
  // A vector of kov_event_ref of a node, through a kov_filter_ref or none.
  virtual bool events(const anyval& node, const anyval& filter, anyval& result) = 0;
};

// One station of the project, reference counted. The source forwards each request to the
// node that the reference names; references handed over all belong to this node.
class kov_data_node : public dynamic_object {
public:
  // Remembers the node's index, the project's node object (may be null) and host name (may be
  // null).
  virtual void attach(int node_index, kov_project_node* project_node, const char* host_name) = 0;
  virtual int state() const = 0;
  virtual void begin_pass() = 0;
  virtual void name(std::string& out) const = 0;
  // True when the node can answer; called before references are made.
  virtual bool ensure_ready() = 0;
  virtual void end_pass() = 0;
  // One value per reference, valid at the time (limit.seconds 0: no limit).
  virtual bool values_at(std::span<const kov_chan_ref* const> refs, const kov_time_record& time,
                         const kov_time_record& limit, anyval& result) = 0;
  // The values recorded in [from, to).
  virtual bool values_between(std::span<const kov_chan_ref* const> refs, const kov_time_record& from,
                              const kov_time_record& to, anyval& result) = 0;
  virtual bool current(const kov_chan_ref& ref, anyval& result) = 0;
  virtual bool statistics(const kov_chan_ref& ref, const kov_time_record& from, const kov_time_record& to,
                          int by_time, txl_stat_record& record) = 0;
  virtual bool select_channels(int object, int condition, anyval_list& result) = 0;
  virtual bool events(const anyval& filter, anyval& result) = 0;
  // The node's archive interface, or null.
  virtual INvRegArchive* archive() { return nullptr; }
};

}  // namespace quillet
