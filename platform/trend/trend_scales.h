// The scales of a trend picture: each analog curve is drawn against its own MINVAL to MAXVAL;
// curves with the same scale share a value axis (the first scale on the left, the second on
// the right), and discrete curves get a lane of their own under the plot instead.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/trend/trend_interfaces.h"

namespace quillet::trend {

// The scale a curve is drawn against; MAXVAL not above MINVAL (or either not a number)
// gives 0 to 100.
struct value_scale {
  double min = 0;
  double max = 100;
  bool operator==(const value_scale&) const = default;
};
value_scale scale_of(const trend_curve& curve);

// Whether a curve is a discrete (on/off) channel, drawn in a lane.
bool is_discrete(const trend_curve& curve);

struct chart_scales {
  std::vector<value_scale> scales;  // distinct scales of the analog curves, in order of first use
  std::vector<int> scale_of_curve;  // per curve: index into scales, -1 for a discrete curve
  std::vector<std::size_t> lanes;   // the discrete curves, in their order
};

// Groups the curves by scale; a picture without analog curves still gets the first curve's
// scale (or 0 to 100) for its plot.
chart_scales group_scales(const std::vector<trend_curve>& curves);

}  // namespace quillet::trend
