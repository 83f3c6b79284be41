// Trend pictures compared with golden images: a legend, two scales, a discrete lane, a window
// across midnight, a month of dense data and a curve without data. Pixels are compared after
// decoding, with room for the small differences of antialiased edges; run with
// QUILLET_UPDATE_GOLDEN=1 to write the golden files again after a deliberate change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/com/registry.h"
#include "platform/trend/trend_control.h"
#include "tests/platform/trend_fakes.h"
#include "tests/zone_scope.h"

namespace quillet::trend {
namespace {

using testing::fake_archive;
using testing::make_record;

constexpr std::uint32_t t0 = 1700000000;        // 2023-11-14 22:13:20 UTC
constexpr std::uint32_t before_midnight = 1700004600;  // 23:30 UTC

struct chart {
  trend_settings settings = default_trend_settings();
  std::vector<trend_curve> curves;
  std::vector<trend_legend_entry> legend;
  fake_archive archive;
  std::uint32_t start = t0;

  // A curve with its legend entry; a negative channel is a curve the host could not resolve.
  void curve(int channel, std::uint32_t bgr, const char16_t* name, const char16_t* unit, float lo, float hi,
             bool discrete = false) {
    trend_legend_entry e;
    e.name = name;
    e.unit = unit;
    e.color = bgr;
    if (channel < 0) {
      e.fault = trend_fault::unknown_channel;
      legend.push_back(e);
      return;
    }
    trend_curve c;
    c.channel = static_cast<std::uint32_t>(channel);
    c.min_value = lo;
    c.max_value = hi;
    c.color = bgr;
    c.line_width = 2;
    c.flags = static_cast<std::uint16_t>(curve_flag_base | (discrete ? curve_flag_discrete : 0));
    e.curve = static_cast<std::int32_t>(curves.size());
    curves.push_back(c);
    legend.push_back(e);
  }
  // Samples of a channel every `step` seconds over the window, values from `f`.
  void samples(std::int16_t channel, int step, const std::function<float(int)>& f) {
    for (int s = 0; s < settings.dt; s += step)
      archive.records.push_back(make_record(start + static_cast<std::uint32_t>(s), channel, f(s)));
  }
  void sort() {
    std::sort(archive.records.begin(), archive.records.end(),
              [](const arc_record& a, const arc_record& b) { return testing::key(a) < testing::key(b); });
  }
};

// Three waves over the window with a one-sample spike on the eleventh day.
float wave(int s, int span) {
  return static_cast<float>(40 + 25 * std::sin(s * 6.2832 / span * 3) + (s == 10 * 86400 + 36000 ? 50 : 0));
}

struct golden_row {
  const char* file;
  std::function<void(chart&)> make;
};

cairo_surface_t* draw(chart& c, int width, int height) {
  register_trend_control();
  ITrendDisplay* display = nullptr;
  EXPECT_EQ(com::CoCreateInstance(CLSID_trend_control, IID_trend_display, reinterpret_cast<void**>(&display)), com::S_OK);
  auto* control = static_cast<trend_control*>(display);
  control->attach_archive(&c.archive);
  control->set_settings(&c.settings);
  control->set_curves(static_cast<std::int32_t>(c.curves.size()), c.curves.empty() ? nullptr : c.curves.data());
  control->set_legend(static_cast<std::int32_t>(c.legend.size()), c.legend.data());
  control->set_time(c.start, 0);
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  gdi::drawing_surface surface(width, height);
  EXPECT_EQ(com::OleDraw(static_cast<com::IOleObject*>(control), com::DVASPECT_CONTENT, surface, {0, 0, width, height}),
            com::S_OK);
  control->Release();
  surface.flush();
  cairo_t* cr = cairo_create(image);
  cairo_set_source_surface(cr, cairo_get_target(surface.context()), 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  return image;
}

// Pixels whose colour differs by more than a quarter of the range in any channel; the sizes
// must match.
int differing_pixels(cairo_surface_t* a, cairo_surface_t* b) {
  const int w = cairo_image_surface_get_width(a);
  const int h = cairo_image_surface_get_height(a);
  if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b))
    return w * h;
  int n = 0;
  for (int y = 0; y < h; ++y) {
    auto* ra = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a));
    auto* rb = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b));
    for (int x = 0; x < w; ++x)
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((ra[x] >> shift) & 0xFF) - static_cast<int>((rb[x] >> shift) & 0xFF)) > 64) {
          ++n;
          break;
        }
  }
  return n;
}

TEST(TrendGolden, PicturesMatchTheirGoldenImages) {
  const test::zone_scope zone("UTC0");
  const golden_row rows[] = {
      {"trend_legend.png",
       [](chart& c) {
         c.curve(1, 0x0000C0, u"T_SUPPLY", u"degC", 0, 100);
         c.curve(2, 0xC05000, u"T_RETURN", u"degC", 0, 100);
         c.samples(1, 5, [](int s) { return 60 + s / 10.0f; });
         c.samples(2, 5, [](int s) { return 40 - s / 12.0f; });
       }},
      {"trend_two_scales.png",
       [](chart& c) {
         c.curve(1, 0x0000C0, u"LEVEL", u"m", 0, 10);
         c.curve(2, 0x800080, u"P_OUT", u"bar", -20, 120);
         c.samples(1, 5, [](int s) { return 2 + s / 60.0f; });
         c.samples(2, 5, [](int s) { return 100 - s / 3.0f; });
       }},
      {"trend_discrete_lane.png",
       [](chart& c) {
         c.curve(1, 0x0000C0, u"FLOW", u"m3/h", 0, 100);
         c.curve(2, 0x008000, u"PUMP_A_ON", u"", 0, 1, true);
         c.samples(1, 5, [](int s) { return 50 + 30 * std::sin(s / 40.0f); });
         c.samples(2, 5, [](int s) { return (s / 90) % 2 ? 1.0f : 0.0f; });
       }},
      {"trend_midnight.png",
       [](chart& c) {
         c.start = before_midnight;
         c.settings.dt = 3600;
         c.curve(1, 0x0000C0, u"T_SUPPLY", u"degC", 0, 100);
         c.samples(1, 60, [](int s) { return 30 + s / 100.0f; });
       }},
      {"trend_dense_month.png",
       [](chart& c) {
         c.settings.dt = 30 * 86400;
         c.curve(1, 0x0000C0, u"T_SUPPLY", u"degC", 0, 100);
         c.samples(1, 600, [](int s) { return wave(s, 30 * 86400); });
       }},
      {"trend_failed_curve.png",
       [](chart& c) {
         c.curve(1, 0x0000C0, u"T_SUPPLY", u"degC", 0, 100);
         c.curve(-1, 0xC05000, u"NOPE", u"", 0, 100);
         c.samples(1, 5, [](int s) { return 50 + s / 20.0f; });
       }},
  };
  const bool update = std::getenv("QUILLET_UPDATE_GOLDEN") != nullptr;
  for (const golden_row& row : rows) {
    SCOPED_TRACE(row.file);
    chart c;
    c.settings.dt = 600;
    c.settings.grid_style = 1;
    c.settings.grid_color = 0xB0B0B0;
    row.make(c);
    c.sort();
    cairo_surface_t* picture = draw(c, 400, 200);
    const std::string path = std::string(QUILLET_TEST_DATA) + "/trend/" + row.file;
    if (update)
      cairo_surface_write_to_png(picture, path.c_str());
    cairo_surface_t* golden = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(golden), CAIRO_STATUS_SUCCESS) << path;
    cairo_surface_t* expected = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cairo_image_surface_get_width(golden),
                                                           cairo_image_surface_get_height(golden));
    cairo_t* cr = cairo_create(expected);
    cairo_set_source_surface(cr, golden, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(expected);
    EXPECT_LE(differing_pixels(picture, expected), 400 * 200 / 200) << "more than half a percent of the pixels differ";
    cairo_surface_destroy(expected);
    cairo_surface_destroy(golden);
    cairo_surface_destroy(picture);
  }
}

}  // namespace
}  // namespace quillet::trend
