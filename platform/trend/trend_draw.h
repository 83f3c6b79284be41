// Drawing a trend picture with cairo: background, legend, plot frame, grid, time and value
// axes with their labels, the analog curves with their marks and the lanes of the discrete
// curves. The drawing borrows everything it is given and leaves the context's state as it
// found it. Lines and text are antialiased; straight lines lie on pixel centres so they stay
// sharp.
#pragma once

#include <cairo.h>

#include <vector>

#include "platform/gdi/drawing_surface.h"
#include "platform/trend/trend_history.h"
#include "platform/trend/trend_interfaces.h"
#include "platform/trend/trend_legend.h"

namespace quillet::trend {

// What one picture shows.
struct trend_view {
  const trend_settings& settings;
  const std::vector<trend_curve>& curves;
  const trend_history& history;
  trend_window window;
  const std::vector<legend_entry>& legend;
};

// The window's length a settings record asks for: DT seconds, 60 when DT is below 1.
std::int32_t effective_span(const trend_settings& settings);

// Draws the picture into the area of the context; an empty area draws nothing.
void draw_trend(cairo_t* cr, const gdi::gdi_rect& area, const trend_view& view);

}  // namespace quillet::trend
