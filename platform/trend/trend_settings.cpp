// The control's own default settings and the reading of the window length from a record.
#include <cstring>

#include "platform/trend/trend_control.h"
#include "platform/trend/trend_draw.h"

namespace quillet::trend {

// Marks, digits and time units at 0 or -1 leave the choice to the drawing, which fits them
// to the control's size and the value range.
trend_settings default_trend_settings() {
  trend_settings s;
  s.version = 0x1000;
  s.dt = 60;
  s.grid_style = 2;
  s.grid_color = 0x808080;
  s.bg_color = 0xFFFFFF;
  s.font.lfHeight = -12;
  s.font.lfWeight = 400;
  std::memcpy(s.font.lfFaceName, "DejaVu Sans", sizeof "DejaVu Sans");
  s.tunits = -1;
  s.vdigits = 0;
  s.vdigits_dp = -1;
  s.flags = settings_base_flags;
  return s;
}

std::int32_t effective_span(const trend_settings& settings) { return settings.dt >= 1 ? settings.dt : 60; }

}  // namespace quillet::trend
