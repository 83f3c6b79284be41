// Capture of a drawing surface into a palette image of 4 or 8 bits per pixel: the colour
// table and packed pixel indices a bitmap file or a palette PNG is written from. The image
// owns its pixel buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/drawing_surface.h"
#include "platform/gdi/palette.h"

namespace quillet::gdi {

struct palette_image {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  // Bytes per row, rounded up to a multiple of four as bitmap rows are.
  std::size_t stride = 0;
  colour_table colours;
  // Rows top first, each `stride` bytes; at 4 bits two pixels a byte, the left one in the
  // high nibble; padding bytes are zero.
  std::vector<std::uint8_t> pixels;

  std::size_t image_size() const { return pixels.size(); }
  const std::uint8_t* row(int y) const { return pixels.data() + stride * static_cast<std::size_t>(y); }
};

// Bytes per row of a bitmap of this width and depth (rounded up to four bytes).
std::size_t palette_row_stride(int width, int bits_per_pixel);

// Captures the surface with the fixed palette of the depth. False (and `out` left empty)
// when the depth is neither 4 nor 8 or the surface is invalid.
bool capture_palette_image(const drawing_surface& surface, int bits_per_pixel,
                           palette_image& out);

}  // namespace quillet::gdi
