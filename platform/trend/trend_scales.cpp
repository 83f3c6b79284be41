// Grouping the curves of a picture by scale.
#include "platform/trend/trend_scales.h"

#include <algorithm>
#include <cmath>

namespace quillet::trend {

value_scale scale_of(const trend_curve& curve) {
  const double lo = curve.min_value;
  const double hi = curve.max_value;
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo))
    return {};
  return {lo, hi};
}

bool is_discrete(const trend_curve& curve) { return (curve.flags & curve_flag_discrete) != 0; }

chart_scales group_scales(const std::vector<trend_curve>& curves) {
  chart_scales out;
  out.scale_of_curve.assign(curves.size(), -1);
  for (std::size_t i = 0; i < curves.size(); ++i) {
    if (is_discrete(curves[i])) {
      out.lanes.push_back(i);
      continue;
    }
    const value_scale s = scale_of(curves[i]);
    auto at = std::find(out.scales.begin(), out.scales.end(), s);
    out.scale_of_curve[i] = static_cast<int>(at - out.scales.begin());
    if (at == out.scales.end())
      out.scales.push_back(s);
  }
  if (out.scales.empty())
    out.scales.push_back(curves.empty() ? value_scale{} : scale_of(curves.front()));
  return out;
}

}  // namespace quillet::trend
