// The channel and host maps over an open project of the project component. The map holds
// its own references to the project, its attribute table and every node, so it stays valid
// when the project holder later opens another project.
#pragma once

#include <vector>

#include "data/kov_channel_map.h"
#include "platform/project/project_interfaces.h"

namespace quillet {

class kov_project_map : public kov_channel_map, public kov_host_map {
public:
  kov_project_map() = default;
  kov_project_map(const kov_project_map&) = delete;
  kov_project_map& operator=(const kov_project_map&) = delete;

  // Fills the map from an open project; null leaves it empty.
  void attach(com::IvxProject* project);

  int node_count() const override { return static_cast<int>(nodes_.size()); }
  int find_node(const anyval& value) const override;
  int find_object(int node, const anyval& value) const override;
  bool find_channel(int node, const anyval& object, const anyval& channel, const anyval& attribute,
                    kov_chan_ident& ident) const override;
  bool channel_name(const kov_chan_ident& ident, std::string& out) const override;
  bool node_name(const kov_chan_ident& ident, std::string& out) const override;
  bool object_name(const kov_chan_ident& ident, std::string& out) const override;
  bool attribute_name(const kov_chan_ident& ident, std::string& out) const override;
  bool channel_coding(const kov_chan_ident& ident, std::string& out) const override;
  bool unit_name(const kov_chan_ident& ident, std::string& out) const override;
  kov_project_node* node_object(int node) const override;
  bool host_name(int node, std::string& out) const override;

private:
  // The node interface of a number within the table, or null.
  com::IvxPrjNode* slot(int node) const;

  rc_ptr<com::IvxProject> project_;
  rc_ptr<com::IvxAttrTable> attributes_;
  std::vector<rc_ptr<com::IvxPrjNode>> nodes_;
};

}  // namespace quillet
