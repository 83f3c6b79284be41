// What a trend site gathers for its control besides the settings: the elements of CHANNEL,
// each on its own when the list as a whole fails, and the legend entry of each curve with
// the channel's name and unit from the project.
#pragma once

#include <string>
#include <vector>

#include "data/kov_runtime_data_source.h"
#include "data/kov_values.h"
#include "platform/trend/trend_interfaces.h"
#include "report/html_dyn_elt.h"

namespace quillet {

// One element of CHANNEL: its value, or, when it failed, its failure marker.
struct trend_channel_element {
  anyval value;
  std::string text;
  bool ok = false;
};

// The elements of the element's CHANNEL property; `present` tells whether it has one. A
// CHANNEL that fails as a whole and is a call of LIST gives each argument evaluated on its
// own, so one bad channel leaves the others their curves; any other failure gives one
// failed element.
std::vector<trend_channel_element> trend_channel_elements(html_dyn_elt_ocx& element, bool& present);

// How the legend names a channel (the element's LEGEND property): 0 no legend, 1 the
// channel's name (also when LEGEND is absent or any other number), 2 its code and comment.
int trend_legend_mode(html_dyn_elt_ocx& element);

// The legend's name and unit of a channel as the project gives them (empty when it gives none).
void name_trend_channel(kov_runtime_data_source& source, const kov_chan_ident& ident, int mode,
                        trend::trend_legend_entry& entry);

// Whether the element asks for an SVG picture (its SVG property is a non-zero number).
bool trend_wants_svg(html_dyn_elt_ocx& element);

}  // namespace quillet
