// Fixed palettes, nearest-colour mapping and the capture of a drawn surface.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gdi/palette.h"
#include "platform/gdi/palette_capture.h"

namespace quillet::gdi {
namespace {

TEST(PngPalette, FixedTables) {
  struct row {
    int bits;
    int index;
    rgb_colour colour;
  };
  const row rows[] = {
      {4, 0, 0x000000},   {4, 1, 0x800000},   {4, 7, 0xC0C0C0},   {4, 8, 0x808080},
      {4, 9, 0xFF0000},   {4, 12, 0x0000FF},  {4, 15, 0xFFFFFF},  {8, 0, 0x000000},
      {8, 1, 0x800000},   {8, 8, 0xC0DCC0},   {8, 9, 0xA6CAF0},   {8, 10, 0x000000},
      {8, 11, 0x000033},  {8, 16, 0x003300},  {8, 46, 0x330000},  {8, 225, 0xFFFFFF},
      {8, 10 + 36 * 4 + 6 * 2 + 1, 0xCC6633}, {8, 226, 0x0A0A0A}, {8, 245, 0xF0F0F0},
      {8, 246, 0xFFFBF0}, {8, 247, 0xA0A0A4}, {8, 249, 0xFF0000}, {8, 255, 0xFFFFFF},
  };
  EXPECT_EQ(fixed_palette(4).count, 16);
  EXPECT_EQ(fixed_palette(8).count, 256);
  EXPECT_EQ(fixed_palette(1).count, 0);
  EXPECT_EQ(fixed_palette(16).count, 0);
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.bits << " bits, index " << r.index);
    EXPECT_EQ(entry_colour(fixed_palette(r.bits).entries[r.index]), r.colour);
    EXPECT_EQ(fixed_palette(r.bits).entries[r.index].reserved, 0);
  }
}

TEST(PngPalette, NearestColour) {
  struct row {
    int bits;
    rgb_colour colour;
    int index;
  };
  const row rows[] = {
      {4, 0x000000, 0},  {4, 0xFFFFFF, 15}, {4, 0xF0F0F0, 15}, {4, 0xFE0101, 9},
      {4, 0x7F0000, 1},  {4, 0xC8C8C8, 7},  {4, 0x0000F0, 12}, {4, 0x909090, 8},
      {8, 0xF0F0F0, 245}, {8, 0xFF0000, 190}, {8, 0x0000FF, 15}, {8, 0x000000, 0}, {8, 0xFFFFFF, 225},
      {8, 0x800000, 1},  {8, 0x330000, 46}, {8, 0x346601, 10 + 36 + 12},
      {8, 0x0B0B0B, 226}, {8, 0xEFEFEF, 245}, {8, 0x123456, 10 + 0 + 6 * 1 + 2},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.bits << " bits, colour " << std::hex << r.colour);
    palette_mapper mapper(fixed_palette(r.bits));
    EXPECT_EQ(mapper.index_of(r.colour), r.index);
    EXPECT_EQ(mapper.index_of(r.colour), r.index);  // answered from the cache
  }
}

// The cache must never answer a colour with another colour's index, however the slots
// collide: every answer is compared with a fresh full search.
TEST(PngPalette, CacheAgreesWithFullSearch) {
  for (int bits : {4, 8}) {
    SCOPED_TRACE(bits);
    palette_mapper cached(fixed_palette(bits));
    std::srand(7);
    for (int i = 0; i < 60000; ++i) {
      rgb_colour c = static_cast<rgb_colour>(std::rand()) & 0xFFFFFF;
      std::uint8_t answer = cached.index_of(c);
      if (i % 50 != 0)
        continue;
      palette_mapper fresh(fixed_palette(bits));
      ASSERT_EQ(answer, fresh.index_of(c)) << std::hex << c;
      ASSERT_EQ(cached.index_of(c), answer) << std::hex << c;
    }
  }
}

TEST(PngPalette, SurfaceSizes) {
  struct row {
    int width, height;
    bool ok;
  };
  const row rows[] = {{1, 1, true},      {800, 600, true},    {0, 10, false},    {10, 0, false},
                      {-5, 10, false},   {16384, 1, true},    {16385, 1, false}, {4096, 4096, true},
                      {4097, 4096, false}, {16384, 16384, false}};
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.width << "x" << r.height);
    EXPECT_EQ(surface_size_ok(r.width, r.height), r.ok);
    if (static_cast<std::int64_t>(r.width) * r.height > 1000000 && r.ok)
      continue;  // too large to allocate in a unit test
    EXPECT_EQ(drawing_surface(r.width, r.height).valid(), r.ok);
  }
}

TEST(PngPalette, FillRectButtonFaceIsExact) {
  drawing_surface s(20, 10);
  ASSERT_TRUE(s.valid());
  FillRect(s, s.rect(), button_face_colour);
  FillRect(s, {5, 2, 8, 4}, 0x123456);
  FillRect(s, {15, 5, 40, 40}, 0xFF0000);  // clipped at the edge
  FillRect(s, {3, 3, 3, 9}, 0x00FF00);     // empty
  struct row {
    int x, y;
    rgb_colour colour;
  };
  const row rows[] = {{0, 0, 0xF0F0F0}, {19, 9, 0xFF0000}, {5, 2, 0x123456}, {7, 3, 0x123456},
                      {8, 3, 0xF0F0F0}, {5, 4, 0xF0F0F0}, {15, 5, 0xFF0000}, {14, 5, 0xF0F0F0},
                      {3, 3, 0xF0F0F0}};
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
    EXPECT_EQ(s.pixel(r.x, r.y), r.colour);
  }
}

// Packing: stride rounded to four bytes, the left pixel in the high nibble at 4 bits,
// padding zero.
TEST(PngPalette, CapturePacking) {
  struct row {
    int width, bits;
    std::size_t stride;
    std::vector<std::uint8_t> first_row;
  };
  const row rows[] = {
      {1, 4, 4, {0x90, 0, 0, 0}},
      {2, 4, 4, {0x9C, 0, 0, 0}},
      {3, 4, 4, {0x9C, 0xF0, 0, 0}},
      {9, 4, 8, {0x9C, 0xFF, 0xFF, 0xFF, 0xF0, 0, 0, 0}},
      {3, 8, 4, {190, 15, 245, 0}},
      {5, 8, 8, {190, 15, 245, 245, 245, 0, 0, 0}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.width << " wide, " << r.bits << " bits");
    drawing_surface s(r.width, 2);
    FillRect(s, s.rect(), button_face_colour);
    FillRect(s, {0, 0, 1, 2}, 0xFF0000);
    FillRect(s, {1, 0, 2, 2}, 0x0000FF);
    palette_image image;
    ASSERT_TRUE(capture_palette_image(s, r.bits, image));
    EXPECT_EQ(image.stride, r.stride);
    EXPECT_EQ(image.stride, palette_row_stride(r.width, r.bits));
    EXPECT_EQ(image.image_size(), r.stride * 2);
    EXPECT_EQ(image.colours.count, 1 << r.bits);
    std::vector<std::uint8_t> first(image.row(0), image.row(0) + image.stride);
    std::vector<std::uint8_t> second(image.row(1), image.row(1) + image.stride);
    EXPECT_EQ(first, r.first_row);
    EXPECT_EQ(second, r.first_row);
  }
}

TEST(PngPalette, CaptureRejects) {
  drawing_surface good(4, 4);
  drawing_surface bad(0, 4);
  struct row {
    const drawing_surface* surface;
    int bits;
  };
  const row rows[] = {{&good, 1}, {&good, 2}, {&good, 16}, {&good, 24}, {&good, 0}, {&bad, 8}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.bits);
    palette_image image;
    image.width = 99;
    EXPECT_FALSE(capture_palette_image(*r.surface, r.bits, image));
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.pixels.empty());
  }
}

}  // namespace
}  // namespace quillet::gdi
