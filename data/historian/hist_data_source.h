// The data source over a history store: the runtime source whose every node reads the
// store, at a report time that stands for the present.
#pragma once

#include <cstdint>
#include <memory>

#include "data/historian/hist_store.h"
#include "data/kov_runtime_data_source.h"

namespace quillet {

class hist_data_source : public kov_runtime_data_source {
public:
  // Takes the store; the map must outlive the source.
  hist_data_source(kov_channel_map* channels, std::unique_ptr<hist_store> store, std::uint32_t now);
  ~hist_data_source() override;

protected:
  rc_ptr<kov_data_node> create_node() override;

private:
  std::unique_ptr<hist_store> store_;
  kov_channel_map* channels_;
  std::uint32_t now_;
};

}  // namespace quillet
