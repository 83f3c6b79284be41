// Mapping a drawn surface to packed palette indices.
#include "platform/gdi/palette_capture.h"

namespace quillet::gdi {
namespace {

// Writes one surface row as 8-bit indices, reusing the last answer while the colour repeats,
// as it does along the flat areas of a drawing.
void pack_row_8(const std::uint32_t* src, int width, palette_mapper& mapper, std::uint8_t* dst) {
  std::uint32_t last = src[0] & 0xFFFFFFu;
  std::uint8_t index = mapper.index_of(last);
  for (int x = 0; x < width; ++x) {
    std::uint32_t c = src[x] & 0xFFFFFFu;
    if (c != last) {
      last = c;
      index = mapper.index_of(c);
    }
    dst[x] = index;
  }
}

// Writes one surface row as 4-bit indices, the left pixel of each pair in the high nibble.
void pack_row_4(const std::uint32_t* src, int width, palette_mapper& mapper, std::uint8_t* dst) {
  for (int x = 0; x < width; ++x) {
    std::uint8_t index = mapper.index_of(src[x]);
    if (x % 2 == 0)
      dst[x / 2] = static_cast<std::uint8_t>(index << 4);
    else
      dst[x / 2] |= index;
  }
}

}  // namespace

std::size_t palette_row_stride(int width, int bits_per_pixel) {
  std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bits_per_pixel);
  return (bits + 31) / 32 * 4;
}

bool capture_palette_image(const drawing_surface& surface, int bits_per_pixel,
                           palette_image& out) {
  out = palette_image{};
  if ((bits_per_pixel != 4 && bits_per_pixel != 8) || !surface.valid())
    return false;
  out.width = surface.width();
  out.height = surface.height();
  out.bits_per_pixel = bits_per_pixel;
  out.stride = palette_row_stride(out.width, bits_per_pixel);
  out.colours = fixed_palette(bits_per_pixel);
  out.pixels.assign(out.stride * static_cast<std::size_t>(out.height), 0);
  surface.flush();
  palette_mapper mapper(out.colours);
  for (int y = 0; y < out.height; ++y) {
    std::uint8_t* dst = out.pixels.data() + out.stride * static_cast<std::size_t>(y);
    if (bits_per_pixel == 8)
      pack_row_8(surface.row(y), out.width, mapper, dst);
    else
      pack_row_4(surface.row(y), out.width, mapper, dst);
  }
  return true;
}

}  // namespace quillet::gdi
