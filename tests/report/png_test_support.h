// Helpers of the image-writer tests: drawn sample images, a PNG chunk reader, a libpng
// decoder back to packed rows, little-endian field readers, and a stream that fails.
#pragma once

#include <png.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <streambuf>
#include <string>
#include <vector>

#include "platform/gdi/drawing_surface.h"
#include "platform/gdi/palette_capture.h"

namespace quillet::png_test {

// A surface of stripes in several colours over the button face, captured at `bits`.
inline gdi::palette_image sample_image(int width, int height, int bits) {
  gdi::drawing_surface surface(width, height);
  gdi::FillRect(surface, surface.rect(), gdi::button_face_colour);
  const gdi::rgb_colour colours[] = {0xFF0000, 0x0000FF, 0x008000, 0x000000, 0xFFFF00};
  for (int i = 0; i < 5; ++i)
    gdi::FillRect(surface, {i * 3, 0, i * 3 + 2, height}, colours[i]);
  gdi::palette_image image;
  gdi::capture_palette_image(surface, bits, image);
  return image;
}

struct png_chunk {
  std::string type;
  std::string data;
};

// Splits a PNG file into its chunks after checking the signature; an empty list when the
// signature or a chunk length is wrong.
inline std::vector<png_chunk> read_chunks(const std::string& file) {
  static const char signature[] = "\x89PNG\r\n\x1a\n";
  if (file.size() < 8 || file.compare(0, 8, signature, 8) != 0)
    return {};
  std::vector<png_chunk> chunks;
  std::size_t at = 8;
  while (at + 12 <= file.size()) {
    auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(file[i])); };
    std::uint32_t length = b(at) << 24 | b(at + 1) << 16 | b(at + 2) << 8 | b(at + 3);
    if (at + 12 + length > file.size())
      return {};
    chunks.push_back({file.substr(at + 4, 4), file.substr(at + 8, length)});
    at += 12 + length;
  }
  if (at != file.size())
    return {};
  return chunks;
}

inline std::uint32_t be32(const std::string& s, std::size_t at) {
  auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])); };
  return b(at) << 24 | b(at + 1) << 16 | b(at + 2) << 8 | b(at + 3);
}
inline std::uint32_t le16(const std::string& s, std::size_t at) {
  auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])); };
  return b(at) | b(at + 1) << 8;
}
inline std::uint32_t le32(const std::string& s, std::size_t at) {
  return le16(s, at) | le16(s, at + 2) << 16;
}

// What libpng reads back from a file: header values, palette and packed rows.
struct decoded_png {
  bool ok = false;
  std::uint32_t width = 0, height = 0;
  int bit_depth = 0, color_type = 0, interlace = 0;
  std::vector<png_color> palette;
  std::vector<std::vector<std::uint8_t>> rows;
};

struct memory_source {
  const std::string* file;
  std::size_t at;
};

inline void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
  auto* src = static_cast<memory_source*>(png_get_io_ptr(png));
  if (src->at + length > src->file->size())
    png_error(png, "read past end");
  std::memcpy(out, src->file->data() + src->at, length);
  src->at += length;
}

// Reads the file into `d`; false when libpng reports an error. Nothing this frame holds
// needs a destructor when libpng's long jump lands here.
inline bool decode_into(const std::string& file, decoded_png& d) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  memory_source src{&file, 0};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &src, read_from_memory);
  png_read_info(png, info);
  png_get_IHDR(png, info, &d.width, &d.height, &d.bit_depth, &d.color_type, &d.interlace, nullptr, nullptr);
  png_colorp palette = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &palette, &count))
    d.palette.assign(palette, palette + count);
  d.rows.assign(d.height, std::vector<std::uint8_t>(png_get_rowbytes(png, info)));
  for (auto& row : d.rows)
    png_read_row(png, row.data(), nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// Decodes without transformations, so rows come back as the packed palette indices.
inline decoded_png decode_png(const std::string& file) {
  decoded_png d;
  d.ok = decode_into(file, d);
  return d;
}

// A stream buffer that accepts `limit` bytes and then refuses every further byte.
class failing_buffer : public std::streambuf {
public:
  explicit failing_buffer(std::size_t limit) : limit_(limit) {}
  std::size_t written = 0;

protected:
  int_type overflow(int_type c) override {
    if (written >= limit_ || traits_type::eq_int_type(c, traits_type::eof()))
      return traits_type::eof();
    ++written;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(n), limit_ - written);
    written += take;
    return static_cast<std::streamsize>(take);
  }

private:
  std::size_t limit_;
};

}  // namespace quillet::png_test
