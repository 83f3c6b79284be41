// The layout of written image files: PNG chunks and header, the palette, rows decoded back
// by libpng; bitmap header fields, colour table and pixels.
#include <gtest/gtest.h>

#include <sstream>

#include "report/image_writers.h"
#include "tests/report/png_test_support.h"

namespace quillet {
namespace {

using png_test::be32;
using png_test::le16;
using png_test::le32;

struct image_case {
  int image_type;
  int bits;
  int width;
  int height;
};

std::string write_to_string(int image_type, const gdi::palette_image& image, bool& ok) {
  std::ostringstream out(std::ios::binary);
  ok = write_palette_image(image_type, image, out);
  return out.str();
}

TEST(PngFile, ChunksHeaderPaletteAndRows) {
  const image_case rows[] = {{0, 8, 20, 10}, {3, 8, 20, 10}, {3, 4, 20, 10}, {0, 4, 1, 3},
                             {3, 4, 3, 2},   {3, 8, 1, 1},   {3, 8, 800, 600}, {3, 4, 17, 40}};
  for (const image_case& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.image_type << ", " << r.bits << " bits, "
                                    << r.width << "x" << r.height);
    gdi::palette_image image = png_test::sample_image(r.width, r.height, r.bits);
    bool ok = false;
    std::string file = write_to_string(r.image_type, image, ok);
    ASSERT_TRUE(ok);
    auto chunks = png_test::read_chunks(file);
    ASSERT_GE(chunks.size(), 4u);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks[1].type, "PLTE");
    EXPECT_EQ(chunks.back().type, "IEND");
    EXPECT_EQ(chunks.back().data, "");
    for (std::size_t i = 2; i + 1 < chunks.size(); ++i)
      EXPECT_EQ(chunks[i].type, "IDAT") << "chunk " << i;
    const std::string& ihdr = chunks.front().data;
    ASSERT_EQ(ihdr.size(), 13u);
    EXPECT_EQ(be32(ihdr, 0), static_cast<std::uint32_t>(r.width));
    EXPECT_EQ(be32(ihdr, 4), static_cast<std::uint32_t>(r.height));
    EXPECT_EQ(ihdr.substr(8), std::string({static_cast<char>(r.bits), 3, 0, 0, 0}));
    EXPECT_EQ(chunks[1].data.size(), 3u * (1u << r.bits));

    png_test::decoded_png d = png_test::decode_png(file);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.color_type, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(d.interlace, PNG_INTERLACE_NONE);
    ASSERT_EQ(d.palette.size(), 1u << r.bits);
    for (std::size_t i = 0; i < d.palette.size(); ++i) {
      const gdi::rgb_quad& e = image.colours.entries[i];
      ASSERT_EQ(d.palette[i].red, e.red) << i;
      ASSERT_EQ(d.palette[i].green, e.green) << i;
      ASSERT_EQ(d.palette[i].blue, e.blue) << i;
    }
    ASSERT_EQ(d.rows.size(), static_cast<std::size_t>(r.height));
    std::size_t rowbytes = (static_cast<std::size_t>(r.width) * r.bits + 7) / 8;
    for (int y = 0; y < r.height; ++y) {
      ASSERT_EQ(d.rows[y].size(), rowbytes);
      ASSERT_TRUE(std::equal(d.rows[y].begin(), d.rows[y].end(), image.row(y))) << "row " << y;
    }
  }
}

TEST(PngFile, TypeZeroIsPng) {
  for (int bits : {4, 8}) {
    SCOPED_TRACE(bits);
    gdi::palette_image image = png_test::sample_image(30, 7, bits);
    bool ok0 = false, ok3 = false;
    std::string zero = write_to_string(0, image, ok0);
    std::string three = write_to_string(3, image, ok3);
    EXPECT_TRUE(ok0 && ok3);
    EXPECT_EQ(zero, three);
  }
}

TEST(PngFile, WidthOneAtFourBitsKeepsThePixelInTheHighNibble) {
  gdi::drawing_surface s(1, 2);
  gdi::FillRect(s, {0, 0, 1, 1}, 0xFF0000);  // VGA index 9
  gdi::FillRect(s, {0, 1, 1, 2}, 0x00FFFF);  // VGA index 14
  gdi::palette_image image;
  ASSERT_TRUE(gdi::capture_palette_image(s, 4, image));
  bool ok = false;
  png_test::decoded_png d = png_test::decode_png(write_to_string(3, image, ok));
  ASSERT_TRUE(ok && d.ok);
  ASSERT_EQ(d.rows.size(), 2u);
  EXPECT_EQ(d.rows[0], std::vector<std::uint8_t>{0x90});
  EXPECT_EQ(d.rows[1], std::vector<std::uint8_t>{0xE0});
}

TEST(PngFile, BitmapLayout) {
  struct row {
    int bits, width, height;
    std::uint32_t offset, stride;
  };
  const row rows[] = {{4, 20, 10, 118, 12}, {8, 20, 10, 1078, 20}, {4, 1, 1, 118, 4},
                      {8, 3, 5, 1078, 4},   {8, 801, 3, 1078, 804}, {4, 9, 2, 118, 8}};
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.bits << " bits, " << r.width << "x" << r.height);
    gdi::palette_image image = png_test::sample_image(r.width, r.height, r.bits);
    bool ok = false;
    std::string file = write_to_string(1, image, ok);
    ASSERT_TRUE(ok);
    std::uint32_t image_size = r.stride * r.height;
    ASSERT_EQ(file.size(), r.offset + image_size);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(le32(file, 2), file.size());
    EXPECT_EQ(le32(file, 6), 0u);  // both reserved fields
    EXPECT_EQ(le32(file, 10), r.offset);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 18), static_cast<std::uint32_t>(r.width));
    EXPECT_EQ(static_cast<std::int32_t>(le32(file, 22)), -r.height);
    EXPECT_EQ(le16(file, 26), 1u);
    EXPECT_EQ(le16(file, 28), static_cast<std::uint32_t>(r.bits));
    EXPECT_EQ(le32(file, 30), 0u);
    EXPECT_EQ(le32(file, 34), image_size);
    for (std::size_t at = 38; at < 54; at += 4)
      EXPECT_EQ(le32(file, at), 0u) << "field at " << at;
    for (int i = 0; i < (1 << r.bits); ++i) {
      const gdi::rgb_quad& e = image.colours.entries[i];
      std::size_t at = 54 + 4 * i;
      ASSERT_EQ(le32(file, at), gdi::entry_colour(e)) << "colour " << i;
    }
    EXPECT_EQ(file.substr(r.offset), std::string(image.pixels.begin(), image.pixels.end()));
  }
}

TEST(PngFile, RejectedTypesAndDepthsWriteNothing) {
  gdi::drawing_surface surface(8, 8);
  gdi::FillRect(surface, surface.rect(), gdi::button_face_colour);
  struct row {
    int image_type, bits;
  };
  const row rows[] = {{2, 8}, {4, 8}, {-1, 8}, {5, 4}, {3, 16}, {1, 24}, {0, 1}, {3, 0}};
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.image_type << ", " << r.bits << " bits");
    std::ostringstream out;
    EXPECT_FALSE(render_surface_image(r.image_type, r.bits, surface, out));
    EXPECT_EQ(out.str(), "");
  }
}

TEST(PngFile, RenderedSurfaceMatchesCapture) {
  const image_case rows[] = {{0, 8, 40, 30}, {1, 4, 40, 30}, {3, 4, 7, 3}, {1, 8, 5, 5}};
  for (const image_case& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.image_type << ", " << r.bits << " bits");
    gdi::drawing_surface surface(r.width, r.height);
    gdi::FillRect(surface, surface.rect(), gdi::button_face_colour);
    gdi::FillRect(surface, {1, 1, 4, 3}, 0x0000FF);
    std::ostringstream out;
    ASSERT_TRUE(render_surface_image(r.image_type, r.bits, surface, out));
    gdi::palette_image image;
    ASSERT_TRUE(gdi::capture_palette_image(surface, r.bits, image));
    bool ok = false;
    EXPECT_EQ(out.str(), write_to_string(r.image_type, image, ok));
  }
}

TEST(PngFile, Extensions) {
  const std::pair<int, const char*> rows[] = {{0, ".png"}, {1, ".bmp"}, {2, ".png"},
                                              {3, ".png"}, {4, ".png"}, {-1, ".png"}};
  for (const auto& [type, ext] : rows) {
    SCOPED_TRACE(type);
    EXPECT_STREQ(image_extension(type), ext);
  }
}

}  // namespace
}  // namespace quillet
