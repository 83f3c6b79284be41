// The data source of report previews: the runtime source whose every node is simulated,
// all nodes sharing one simulation time that does not advance while the source lives.
#pragma once

#include <cstdint>

#include "data/kov_runtime_data_source.h"

namespace quillet {

class kov_sim_data_source : public kov_runtime_data_source {
public:
  // Sets up over the channel map (no host map) and gives every node the simulation time,
  // whole seconds since 1970 UTC. The map must outlive the source.
  kov_sim_data_source(kov_channel_map* channels, std::uint32_t sim_time);
  ~kov_sim_data_source() override;

protected:
  rc_ptr<kov_data_node> create_node() override;
};

}  // namespace quillet
