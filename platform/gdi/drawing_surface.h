// An off-screen RGB drawing surface: the memory bitmap a control draws itself into before the
// picture is captured to a palette image. The surface owns its cairo image surface and the
// cairo context over it; a control draws through `context()` and must not keep either.
#pragma once

#include <cairo.h>

#include <cstdint>

namespace quillet::gdi {

// A colour as 0xRRGGBB.
using rgb_colour = std::uint32_t;

// The button-face colour of the system palette, the background every control is drawn over.
inline constexpr rgb_colour button_face_colour = 0xF0F0F0;

// A pixel rectangle: left and top inclusive, right and bottom exclusive.
struct gdi_rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The largest surface side and area accepted, so that a size taken from a template cannot
// ask for an unbounded amount of memory.
inline constexpr int max_surface_side = 16384;
inline constexpr std::int64_t max_surface_pixels = 16 * 1024 * 1024;

// Whether width x height is a surface size we are willing to allocate.
bool surface_size_ok(int width, int height);

class drawing_surface {
public:
  // Allocates a width x height surface filled with black; `valid()` tells whether that worked
  // (a size outside the bounds or an allocation failure leaves it invalid).
  drawing_surface(int width, int height);
  ~drawing_surface();
  drawing_surface(const drawing_surface&) = delete;
  drawing_surface& operator=(const drawing_surface&) = delete;

  bool valid() const { return context_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  gdi_rect rect() const { return {0, 0, width_, height_}; }
  // The drawing context; null when the surface is invalid.
  cairo_t* context() const { return context_; }
  // The pixel colour at (x, y) as 0xRRGGBB, after pending drawing is flushed; 0 outside.
  rgb_colour pixel(int x, int y) const;
  // Row y of pixels as 32-bit 0x00RRGGBB words; call `flush()` first.
  const std::uint32_t* row(int y) const;
  void flush() const;

private:
  int width_ = 0;
  int height_ = 0;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* context_ = nullptr;
};

// Fills the rectangle with a solid colour, with no antialiasing at its edges, as a brush
// fill of the system does; the rectangle is clipped to the surface.
void FillRect(drawing_surface& surface, const gdi_rect& rect, rgb_colour colour);

}  // namespace quillet::gdi
