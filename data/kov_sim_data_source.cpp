// The simulated data source: the runtime source with simulated nodes.
#include "data/kov_sim_data_source.h"

#include "data/kov_sim_data_node.h"

namespace quillet {

kov_sim_data_source::kov_sim_data_source(kov_channel_map* channels, std::uint32_t sim_time) {
  setup(channels, nullptr);
  for (int i = 0; i < node_count(); ++i)
    if (auto* node = dynamic_cast<kov_sim_data_node*>(node_at(i)))
      node->set_sim_time(sim_time);
}

kov_sim_data_source::~kov_sim_data_source() { clear(); }

rc_ptr<kov_data_node> kov_sim_data_source::create_node() { return make_rc<kov_sim_data_node>(); }

}  // namespace quillet
