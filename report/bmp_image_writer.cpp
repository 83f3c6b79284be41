// A palette image written as a Windows bitmap file.
#include <array>
#include <cstdint>

#include "report/image_writers.h"

namespace quillet {
namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t info_header_size = 40;

void put16(std::uint8_t* at, std::uint32_t v) {
  at[0] = static_cast<std::uint8_t>(v);
  at[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* at, std::uint32_t v) {
  put16(at, v & 0xFFFF);
  put16(at + 2, v >> 16);
}

// The information header and colour table: size 40, width, minus height (top-down rows),
// planes 1, the depth, no compression, the image size; the rest zero.
std::size_t fill_info_block(const gdi::palette_image& image, std::uint8_t* block) {
  std::size_t colours = std::size_t{1} << image.bits_per_pixel;
  put32(block, info_header_size);
  put32(block + 4, static_cast<std::uint32_t>(image.width));
  put32(block + 8, static_cast<std::uint32_t>(-image.height));
  put16(block + 12, 1);
  put16(block + 14, static_cast<std::uint32_t>(image.bits_per_pixel));
  put32(block + 20, static_cast<std::uint32_t>(image.image_size()));
  std::uint8_t* table = block + info_header_size;
  for (std::size_t i = 0; i < colours; ++i) {
    const gdi::rgb_quad& e = image.colours.entries[i];
    table[4 * i] = e.blue;
    table[4 * i + 1] = e.green;
    table[4 * i + 2] = e.red;
    table[4 * i + 3] = 0;
  }
  return info_header_size + 4 * colours;
}

}  // namespace

// Writes file header, information block and pixels with nothing between them; the pixel
// data starts at 14 + the block size (118 at 4 bits, 1078 at 8 bits).
bool write_bmp_image(const gdi::palette_image& image, std::ostream& stream) {
  if (image.bits_per_pixel != 4 && image.bits_per_pixel != 8)
    return false;
  std::array<std::uint8_t, info_header_size + 4 * 256> block{};
  std::size_t block_size = fill_info_block(image, block.data());
  std::array<std::uint8_t, file_header_size> header{};
  put16(header.data(), 0x4D42);
  put32(header.data() + 2, static_cast<std::uint32_t>(file_header_size + block_size + image.image_size()));
  put32(header.data() + 10, static_cast<std::uint32_t>(file_header_size + block_size));
  stream.write(reinterpret_cast<const char*>(header.data()), file_header_size);
  stream.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block_size));
  stream.write(reinterpret_cast<const char*>(image.pixels.data()),
               static_cast<std::streamsize>(image.image_size()));
  return !stream.fail();
}

}  // namespace quillet
