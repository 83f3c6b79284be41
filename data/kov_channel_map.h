// The two lookups a data source needs from the project: the channel map, which turns names
// and numbers into channel identities and identities back into names, and the host map, which
// names the computer of each node. Arguments called values are expression values as the
// channel functions received them; an empty value is an argument left out.
#pragma once

#include <string>

#include "data/kov_values.h"
#include "txl/anyval.h"

namespace quillet {

class kov_project_node;

class kov_channel_map {
public:
  virtual ~kov_channel_map() = default;

  virtual int node_count() const = 0;
  // The node number named by a string or given as a number; -1 when there is no such node.
  virtual int find_node(const anyval& value) const = 0;
  // The object number within a node; -1 when there is none.
  virtual int find_object(int node, const anyval& value) const = 0;
  // Fills node, object, channel, attribute and kind of a channel; false when any part fails.
  virtual bool find_channel(int node, const anyval& object, const anyval& channel, const anyval& attribute,
                            kov_chan_ident& ident) const = 0;
  // Names of an identity's parts, in the ANSI code page; false (text empty) on failure.
  virtual bool channel_name(const kov_chan_ident& ident, std::string& out) const = 0;
  virtual bool node_name(const kov_chan_ident& ident, std::string& out) const = 0;
  virtual bool object_name(const kov_chan_ident& ident, std::string& out) const = 0;
  virtual bool attribute_name(const kov_chan_ident& ident, std::string& out) const = 0;
  virtual bool channel_coding(const kov_chan_ident& ident, std::string& out) const = 0;
  virtual bool unit_name(const kov_chan_ident& ident, std::string& out) const = 0;
  // The project's node object (not counted for the caller), or null.
  virtual kov_project_node* node_object(int node) const = 0;
};

class kov_host_map {
public:
  virtual ~kov_host_map() = default;
  virtual bool host_name(int node, std::string& out) const = 0;
};

}  // namespace quillet
