// The label font of trend pictures: face names, sizes, and DejaVu faces opened from their files.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/gdi/drawing_surface.h"
#include "platform/trend/trend_font.h"

namespace quillet::trend {
namespace {

logfont font_named(const char* face, std::int32_t height = -12, std::int32_t weight = 400, bool italic = false) {
  logfont f;
  std::strncpy(f.lfFaceName, face, sizeof f.lfFaceName - 1);
  f.lfHeight = height;
  f.lfWeight = weight;
  f.lfItalic = italic ? 1 : 0;
  return f;
}

TEST(TrendFont, FaceNamesAndSizes) {
  struct row {
    const char* face;
    std::int32_t height;
    const char* used;
    double pixels;
  };
  const row rows[] = {
      {"Arial", -12, "Arial", 12},       {"", -16, "DejaVu Sans", 16},     {"Tahoma", 14, "Tahoma", 14 * 0.86},
      {"Tahoma", 0, "Tahoma", 12},       {"x\x01y", -12, "DejaVu Sans", 12}, {"caf\xe9", -2, "DejaVu Sans", 6},
      {"Big", INT_MIN, "Big", 72},      {"Big", INT_MAX, "Big", 72},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.face);
    const logfont f = font_named(r.face, r.height);
    EXPECT_EQ(label_face(f), r.used);
    EXPECT_DOUBLE_EQ(label_pixel_size(f), r.pixels);
  }
  logfont unterminated;
  std::memset(unterminated.lfFaceName, 'A', sizeof unterminated.lfFaceName);
  EXPECT_EQ(label_face(unterminated), std::string(32, 'A'));
}

TEST(TrendFont, FacesAreServedByTheDejaVuFamilyOfTheirKind) {
  struct row {
    const char* face;
    const char* family;
  };
  const row rows[] = {
      {"DejaVu Sans", "DejaVu Sans"},          {"dejavu serif", "DejaVu Serif"},
      {"DEJAVU SANS MONO", "DejaVu Sans Mono"}, {"Arial", "DejaVu Sans"},
      {"MS Sans Serif", "DejaVu Sans"},         {"Microsoft Sans Serif", "DejaVu Sans"},
      {"Times New Roman", "DejaVu Serif"},      {"Georgia", "DejaVu Serif"},
      {"Liberation Serif", "DejaVu Serif"},     {"Courier New", "DejaVu Sans Mono"},
      {"Lucida Console", "DejaVu Sans Mono"},   {"Consolas", "DejaVu Sans Mono"},
      {"Tahoma", "DejaVu Sans"},                {"", "DejaVu Sans"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.face);
    EXPECT_STREQ(label_family(r.face), r.family);
  }
}

TEST(TrendFont, DejaVuFacesComeFromTheirFiles) {
  struct row {
    const char* face;
    std::int32_t weight;
    bool italic;
    cairo_font_type_t type;
  };
  const row rows[] = {
      {"DejaVu Sans", 400, false, CAIRO_FONT_TYPE_FT},
      {"dejavu sans", 700, false, CAIRO_FONT_TYPE_FT},
      {"DejaVu Sans", 400, true, CAIRO_FONT_TYPE_FT},
      {"DejaVu Serif", 700, true, CAIRO_FONT_TYPE_FT},
      {"DejaVu Sans Mono", 400, false, CAIRO_FONT_TYPE_FT},
      {"", 400, false, CAIRO_FONT_TYPE_FT},
      {"Some Other Face", 400, false, CAIRO_FONT_TYPE_FT},
      {"Courier New", 700, true, CAIRO_FONT_TYPE_FT},
  };
  gdi::drawing_surface surface(10, 10);
  cairo_t* cr = surface.context();
  for (const auto& r : rows) {
    SCOPED_TRACE(r.face);
    use_label_font(cr, font_named(r.face, -12, r.weight, r.italic));
    EXPECT_EQ(cairo_font_face_get_type(cairo_get_font_face(cr)), r.type);
    EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
  }
}

TEST(TrendFont, WeightAndSizeChangeTheText) {
  gdi::drawing_surface surface(10, 10);
  cairo_t* cr = surface.context();
  auto width = [&](const logfont& f) {
    use_label_font(cr, f);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "12:34:56", &e);
    return e.x_advance;
  };
  const double regular = width(font_named("DejaVu Sans"));
  EXPECT_GT(regular, 30);
  EXPECT_GT(width(font_named("DejaVu Sans", -12, 700)), regular);
  const double doubled = width(font_named("DejaVu Sans", -24));
  EXPECT_GT(doubled, 1.8 * regular) << "advances are hinted to whole pixels";
  EXPECT_LT(doubled, 2.2 * regular);
}

}  // namespace
}  // namespace quillet::trend
