// The cairo-backed drawing surface and the solid rectangle fill.
#include "platform/gdi/drawing_surface.h"

namespace quillet::gdi {

bool surface_size_ok(int width, int height) {
  if (width < 1 || height < 1)
    return false;
  if (width > max_surface_side || height > max_surface_side)
    return false;
  return static_cast<std::int64_t>(width) * height <= max_surface_pixels;
}

drawing_surface::drawing_surface(int width, int height) {
  if (!surface_size_ok(width, height))
    return;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  cairo_t* context = cairo_create(surface);
  if (cairo_status(context) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
    return;
  }
  width_ = width;
  height_ = height;
  surface_ = surface;
  context_ = context;
}

drawing_surface::~drawing_surface() {
  if (context_)
    cairo_destroy(context_);
  if (surface_)
    cairo_surface_destroy(surface_);
}

void drawing_surface::flush() const {
  if (surface_)
    cairo_surface_flush(surface_);
}

const std::uint32_t* drawing_surface::row(int y) const {
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  return reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
}

// Reads one pixel for checks and tests; the RGB24 format keeps the colour in the low
// 24 bits of a native-endian word, the top byte unused.
rgb_colour drawing_surface::pixel(int x, int y) const {
  if (!valid() || x < 0 || y < 0 || x >= width_ || y >= height_)
    return 0;
  flush();
  return row(y)[x] & 0xFFFFFFu;
}

void FillRect(drawing_surface& surface, const gdi_rect& rect, rgb_colour colour) {
  cairo_t* cr = surface.context();
  if (!cr || rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                       (colour & 0xFF) / 255.0);
  cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace quillet::gdi
