// A palette image encoded as a PNG file through `png_stream_writer`.
#include <array>

#include "report/image_writers.h"
#include "report/png_coder.h"

namespace quillet {
namespace {

constexpr int png_color_type_palette = 3;

// Sends header, palette, rows and end through the coder; library errors leave as exceptions.
void encode_png(png_coder& coder, const gdi::palette_image& image) {
  coder.set_header(static_cast<std::uint32_t>(image.width), static_cast<std::uint32_t>(image.height),
                   image.bits_per_pixel, png_color_type_palette, false);
  std::array<png_palette_entry, 256> palette{};
  int count = 1 << image.bits_per_pixel;
  for (int i = 0; i < count; ++i) {
    const gdi::rgb_quad& e = image.colours.entries[i];
    palette[i] = {e.red, e.green, e.blue};
  }
  coder.set_palette(count, palette.data());
  coder.write_info();
  for (int y = 0; y < image.height; ++y)
    coder.write_row(image.row(y));
  coder.write_end();
}

}  // namespace

// Every entry of the table goes into the palette, used or not, so the palette chunk always
// holds 16 or 256 colours. The bitmap's packed rows are already in PNG's row layout.
bool write_png_image(const gdi::palette_image& image, std::ostream& stream) {
  if (image.bits_per_pixel != 4 && image.bits_per_pixel != 8)
    return false;
  if (image.pixels.size() < image.stride * static_cast<std::size_t>(image.height))
    return false;
  png_stream_writer writer(stream);
  if (!writer.init())
    return false;
  try {
    encode_png(writer, image);
  } catch (const char*) {
    return false;
  }
  return true;
}

}  // namespace quillet
