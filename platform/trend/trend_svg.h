// A trend picture written as an SVG document through cairo's SVG surface, by the same drawing
// as the bitmap pictures.
#pragma once

#include <ostream>

#include "platform/trend/trend_draw.h"

namespace quillet::trend {

// Writes the picture of width x height pixels to the stream; false when cairo fails or the
// stream goes bad.
bool write_trend_svg(int width, int height, const trend_view& view, std::ostream& out);

}  // namespace quillet::trend
