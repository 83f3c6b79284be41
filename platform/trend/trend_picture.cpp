// Keeping and copying a trend control's last picture.
#include "platform/trend/trend_picture.h"

#include "platform/gdi/drawing_surface.h"

namespace quillet::trend {

void trend_picture::forget() {
  if (image_)
    cairo_surface_destroy(image_);
  image_ = nullptr;
  width_ = height_ = 0;
}

// The same pixel format as the drawing surfaces, so a copy is exact; sizes follow the
// surfaces' bounds.
cairo_t* trend_picture::start(int width, int height) {
  forget();
  if (!gdi::surface_size_ok(width, height))
    return nullptr;
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return nullptr;
  }
  cairo_t* cr = cairo_create(image);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    cairo_surface_destroy(image);
    return nullptr;
  }
  image_ = image;
  width_ = width;
  height_ = height;
  return cr;
}

void trend_picture::paint(cairo_t* cr, int left, int top) const {
  if (!image_)
    return;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image_, left, top);
  cairo_rectangle(cr, left, top, width_, height_);
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace quillet::trend
