// The history data source: the runtime source with store nodes.
#include "data/historian/hist_data_source.h"

#include "data/historian/hist_data_node.h"
#include "data/historian/hist_read_cache.h"

namespace quillet {

hist_data_source::hist_data_source(kov_channel_map* channels, std::unique_ptr<hist_store> store, std::uint32_t now)
    : store_(std::make_unique<hist_read_cache>(std::move(store))), channels_(channels), now_(now) {
  setup(channels, nullptr);
}

hist_data_source::~hist_data_source() { clear(); }

rc_ptr<kov_data_node> hist_data_source::create_node() { return make_rc<hist_data_node>(*store_, *channels_, now_); }

}  // namespace quillet
