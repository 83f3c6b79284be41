// Drawing a trend picture into an SVG stream.
#include "platform/trend/trend_svg.h"

#include <cairo-svg.h>

namespace quillet::trend {

namespace {

cairo_status_t write_to_stream(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::ostream*>(closure);
  out->write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  return out->good() ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

// Sizes are in pixels (the document's user units); text is kept as glyph outlines, so the
// picture looks the same wherever it is shown.
bool write_trend_svg(int width, int height, const trend_view& view, std::ostream& out) {
  cairo_surface_t* surface = cairo_svg_surface_create_for_stream(write_to_stream, &out, width, height);
  cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
  cairo_t* cr = cairo_create(surface);
  draw_trend(cr, {0, 0, width, height}, view);
  const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return drawn && written && out.good();
}

}  // namespace quillet::trend
