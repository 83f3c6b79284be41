// Generated history: the simulated source's values for every channel, and a believable
// plant history for the demo project (a day-and-night load cycle, pumps starting and
// stopping, a boiler trip with its alarms and recovery, a data gap).
#pragma once

#include <cstdint>

#include "data/historian/hist_channels.h"
#include "data/historian/hist_writer.h"

namespace quillet {

// One sample every `step` seconds in [from, to) (milliseconds) for every channel.
bool hist_generate_simulated(const hist_channels& channels, std::int64_t from, std::int64_t to, std::uint32_t step,
                             hist_writer& writer);

// The demo plant's history over [from, to), one sample every `step` seconds per channel,
// with the events that go with it. The same interval always gives the same history.
bool hist_generate_demo_plant(const hist_channels& channels, std::int64_t from, std::int64_t to, std::uint32_t step,
                              hist_writer& writer);

}  // namespace quillet
