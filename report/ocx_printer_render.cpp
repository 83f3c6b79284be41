// The control printer's picture: the control drawn off screen and saved as an image file.
#include "platform/gdi/drawing_surface.h"
#include "report/image_writers.h"
#include "report/ocx_printer.h"

namespace quillet {

// The control draws twice, the second time over a button-face fill, so the picture is the
// second drawing on the colour the control expects behind it. The size comes from a
// template, so a size the surface bounds refuse fails here instead of allocating.
bool ocx_printer::render_image(int image_type, int bits_per_pixel, std::ostream& stream) {
  if (!image_request_ok(image_type, bits_per_pixel))
    return false;
  int width = rect_.right - rect_.left;
  int height = rect_.bottom - rect_.top;
  if (!gdi::surface_size_ok(width, height))
    return false;
  gdi::drawing_surface surface(width, height);
  if (!surface.valid())
    return false;
  com::OleDraw(control_.get(), com::DVASPECT_CONTENT, surface, rect_);
  gdi::FillRect(surface, surface.rect(), gdi::button_face_colour);
  com::OleDraw(control_.get(), com::DVASPECT_CONTENT, surface, rect_);
  return render_surface_image(image_type, bits_per_pixel, surface, stream);
}

}  // namespace quillet
