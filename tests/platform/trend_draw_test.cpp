// The trend picture: pixels where the background, grid and curves should be, label formats,
// and records of any content drawn without harm.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "platform/com/registry.h"
#include "platform/trend/trend_control.h"
#include "platform/trend/trend_draw.h"
#include "platform/trend/trend_layout.h"
#include "platform/trend/trend_time_axis.h"
#include "tests/platform/trend_fakes.h"
#include "tests/zone_scope.h"

namespace quillet::trend {
namespace {

using testing::fake_archive;
using testing::make_record;

constexpr std::uint32_t t0 = 1700000000;  // 2023-11-14 22:13:20 UTC

// A control set up as a report host does, drawn once over black.
struct picture {
  trend_settings settings = default_trend_settings();
  std::vector<trend_curve> curves;
  fake_archive archive;
  int width = 400;
  int height = 150;
  std::uint16_t millis = 0;

  trend_curve& add_curve(std::int16_t channel, std::uint32_t bgr) {
    trend_curve c;
    c.channel = static_cast<std::uint16_t>(channel);
    c.min_value = 0;
    c.max_value = 100;
    c.color = bgr;
    c.flags = curve_flag_base;
    curves.push_back(c);
    return curves.back();
  }
  void sample(std::int16_t channel, double t, float value) {
    const double whole = std::floor(t);
    archive.records.push_back(make_record(t0 + static_cast<std::uint32_t>(whole), channel, value,
                                          static_cast<std::uint16_t>(std::lround((t - whole) * 1000))));
  }

  std::unique_ptr<gdi::drawing_surface> draw() {
    trend_control* control = new_control();
    auto surface = std::make_unique<gdi::drawing_surface>(width, height);
    control->attach_archive(&archive);
    control->set_mode(1);
    control->set_settings(&settings);
    control->set_curves(static_cast<std::int32_t>(curves.size()), curves.data());
    control->set_time(t0, millis);
    EXPECT_EQ(com::OleDraw(static_cast<com::IOleObject*>(control), com::DVASPECT_CONTENT, *surface,
                           {0, 0, width, height}),
              com::S_OK);
    EXPECT_EQ(cairo_status(surface->context()), CAIRO_STATUS_SUCCESS);
    control->Release();
    return surface;
  }

  // The plot box the drawing used, laid out again with the same font.
  plot_box plot() const {
    gdi::drawing_surface scratch(width, height);
    use_label_font(scratch.context(), settings.font);
    const chart_scales scales = group_scales(curves);
    const std::vector<legend_entry> legend;
    const trend_window window{t0, millis, effective_span(settings)};
    return lay_out_trend(scratch.context(), width, height, settings, {curves, legend, scales, window}).plot;
  }

  static trend_control* new_control() {
    register_trend_control();
    ITrendDisplay* display = nullptr;
    EXPECT_EQ(com::CoCreateInstance(CLSID_trend_control, IID_trend_display, reinterpret_cast<void**>(&display)),
              com::S_OK);
    return static_cast<trend_control*>(display);
  }
};

// Pixel column of a time (seconds into the window) and row of a value on a 0..100 scale.
int column_of(const plot_box& p, double t, double span) { return static_cast<int>(std::floor(p.left + 0.5 + t / span * p.width())); }
int row_of(const plot_box& p, double v) { return static_cast<int>(std::floor(p.bottom + 0.5 - v / 100 * p.height())); }

// Whether a pixel shows a colour, allowing for the blending of antialiased edges.
bool near_colour(gdi::rgb_colour a, gdi::rgb_colour b) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 0x60)
      return false;
  return true;
}

int count_colour(const gdi::drawing_surface& s, const plot_box& p, gdi::rgb_colour colour) {
  int n = 0;
  for (int y = p.top + 1; y < p.bottom; ++y)
    for (int x = p.left + 1; x < p.right; ++x)
      n += s.pixel(x, y) == colour;
  return n;
}

TEST(TrendDraw, BackgroundFillsThePictureWhateverWasUnder) {
  struct row {
    std::uint32_t bgr;
    gdi::rgb_colour rgb;
  };
  const row rows[] = {{0xFFFFFF, 0xFFFFFF}, {0x00FFFF, 0xFFFF00}, {0x400000, 0x000040}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.bgr);
    picture pic;
    pic.settings.bg_color = r.bgr;
    pic.add_curve(1, 0x0000FF);
    const auto surface = pic.draw();
    EXPECT_EQ(surface->pixel(1, 1), r.rgb);
    EXPECT_EQ(surface->pixel(pic.width - 2, 1), r.rgb);
    const plot_box p = pic.plot();
    EXPECT_EQ(surface->pixel(p.left + 3, p.top + 3), r.rgb);
  }
  picture pic;
  pic.add_curve(1, 0x0000FF);
  pic.sample(1, 5, 40);
  pic.sample(1, 50, 60);
  const auto over_black = pic.draw();
  trend_control* control = picture::new_control();
  gdi::drawing_surface over_face(pic.width, pic.height);
  gdi::FillRect(over_face, over_face.rect(), gdi::button_face_colour);
  control->attach_archive(&pic.archive);
  control->set_curves(1, pic.curves.data());
  control->set_time(t0, 0);
  com::OleDraw(static_cast<com::IOleObject*>(control), com::DVASPECT_CONTENT, over_face, {0, 0, pic.width, pic.height});
  control->Release();
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x)
      ASSERT_EQ(over_black->pixel(x, y), over_face.pixel(x, y)) << x << "," << y;
}

TEST(TrendDraw, CurveRunsAtItsScaledValue) {
  struct row {
    float min, max, value;
    double expected;  // on 0..100, or below 0 when the line lies outside the plot
  };
  const row rows[] = {
      {0, 100, 25, 25},   {0, 100, 80, 80},    {-50, 50, 0, 50}, {0, 200, 100, 50},
      {10, 10, 50, 50},   {100, 0, 75, 75},    {0, 100, 150, -1}, {0, 100, -20, -1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.min) + " " + std::to_string(r.max) + " " + std::to_string(r.value));
    picture pic;
    pic.settings.grid_style = 5;
    trend_curve& c = pic.add_curve(2, 0x0000FF);
    c.min_value = r.min;
    c.max_value = r.max;
    for (int s = 0; s < 60; ++s)
      pic.sample(2, s, r.value);
    const auto surface = pic.draw();
    const plot_box p = pic.plot();
    if (r.expected < 0) {
      EXPECT_EQ(count_colour(*surface, p, 0xFF0000), 0);
      continue;
    }
    const int y = row_of(p, r.expected);
    for (int x = p.left + 2; x < column_of(p, 59, 60); x += 7)
      ASSERT_EQ(surface->pixel(x, y), 0xFF0000u) << "at column " << x;
  }
}

TEST(TrendDraw, UninterpolatedCurvesAreSteps) {
  struct row {
    std::uint16_t flags;
    double at_quarter;  // the value drawn a quarter into the window
  };
  const row rows[] = {
      {curve_flag_base, 50},
      {curve_flag_base | curve_flag_no_interpolation, 20},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.flags);
    picture pic;
    pic.settings.grid_style = 5;
    pic.add_curve(3, 0x00FF00).flags = r.flags;
    pic.sample(3, 0, 20);
    pic.sample(3, 30, 80);
    pic.sample(3, 59, 80);
    const auto surface = pic.draw();
    const plot_box p = pic.plot();
    const int x = column_of(p, 15, 60);
    int found = -1;
    for (int y = p.top; y <= p.bottom && found < 0; ++y)
      if (near_colour(surface->pixel(x, y), 0x00FF00))
        found = y;
    EXPECT_NEAR(found, row_of(p, r.at_quarter), 1);
  }
}

TEST(TrendDraw, GridInItsColourAndStyle) {
  struct row {
    std::int16_t style;
    int least, most;
  };
  const row rows[] = {{0, 600, 100000}, {1, 300, 100000}, {2, 150, 100000}, {4, 150, 100000}, {5, 0, 0}};
  int solid = 0;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.style);
    picture pic;
    pic.settings.grid_style = r.style;
    pic.settings.grid_color = 0x00FF00;
    pic.settings.tmarks = 4;
    pic.settings.vmarks = 4;
    const auto surface = pic.draw();
    const int n = count_colour(*surface, pic.plot(), 0x00FF00);
    EXPECT_GE(n, r.least);
    EXPECT_LE(n, r.most);
    if (r.style == 0)
      solid = n;
    else
      EXPECT_LT(n, solid) << "a broken line covers fewer pixels than a solid one";
  }
}

TEST(TrendDraw, LineWidthAndMarks) {
  struct row {
    std::int16_t width;
    std::uint8_t mark;
    int thickness;   // rows of colour across the line between samples
    bool beside;     // colour two rows above a sample
  };
  const row rows[] = {{0, 0, 1, false}, {1, 0, 1, false}, {3, 0, 3, false}, {1, 1, 1, true}, {1, 6, 1, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.width * 10 + r.mark);
    picture pic;
    pic.settings.grid_style = 5;
    trend_curve& c = pic.add_curve(4, 0xFF0000);
    c.line_width = r.width;
    c.mark = r.mark;
    for (int s = 0; s < 60; s += 10)
      pic.sample(4, s, 50);
    const auto surface = pic.draw();
    const plot_box p = pic.plot();
    const int between = column_of(p, 15, 60);
    int rows_coloured = 0;
    for (int y = p.top; y <= p.bottom; ++y)
      rows_coloured += surface->pixel(between, y) == 0x0000FF;
    EXPECT_EQ(rows_coloured, r.thickness);
    EXPECT_EQ(surface->pixel(column_of(p, 20, 60), row_of(p, 50) - 2) == 0x0000FF, r.beside);
  }
}

TEST(TrendDraw, DenseCurvesKeepEachColumnsExtremes) {
  picture pic;
  pic.settings.grid_style = 5;
  pic.add_curve(5, 0x0000FF);
  for (int i = 0; i < 3000; ++i)
    pic.sample(5, i * 0.02, i % 2 ? 90.0f : 10.0f);
  const auto surface = pic.draw();
  const plot_box p = pic.plot();
  const int x = column_of(p, 30, 60);
  for (double v : {10.0, 50.0, 90.0}) {
    SCOPED_TRACE(v);
    EXPECT_TRUE(near_colour(surface->pixel(x, row_of(p, v)), 0xFF0000u));
  }
  EXPECT_FALSE(near_colour(surface->pixel(x, row_of(p, 95)), 0xFF0000u));
}

TEST(TrendDraw, AnyRecordContentDrawsWithoutHarm) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct row {
    const char* name;
    std::function<void(picture&)> change;
  };
  const row rows[] = {
      {"huge span", [](picture& p) { p.settings.dt = INT_MAX; }},
      {"zero span", [](picture& p) { p.settings.dt = 0; }},
      {"negative span", [](picture& p) { p.settings.dt = -100; }},
      {"many marks", [](picture& p) { p.settings.tmarks = 32767; p.settings.vmarks = 32767; }},
      {"negative marks", [](picture& p) { p.settings.tmarks = -3; p.settings.vmarks = -32768; }},
      {"unknown styles", [](picture& p) { p.settings.grid_style = 99; p.curves[0].line_type = -4; }},
      {"digits", [](picture& p) { p.settings.vdigits = 32767; p.settings.vdigits_dp = 32767; }},
      {"font height", [](picture& p) { p.settings.font.lfHeight = INT_MIN; }},
      {"big font", [](picture& p) { p.settings.font.lfHeight = 100000; p.settings.font.lfWeight = INT_MAX; }},
      {"face bytes", [](picture& p) { std::memset(p.settings.font.lfFaceName, 0xFF, 32); }},
      {"unknown face", [](picture& p) { std::strcpy(p.settings.font.lfFaceName, "No Such Face"); }},
      {"scale not numbers", [nan](picture& p) { p.curves[0].min_value = nan; p.curves[0].max_value = nan; }},
      {"infinite scale", [inf](picture& p) { p.curves[0].min_value = -inf; p.curves[0].max_value = inf; }},
      {"tiny scale", [](picture& p) { p.curves[0].min_value = 0; p.curves[0].max_value = 1e-30f; }},
      {"huge scale", [](picture& p) { p.curves[0].min_value = -3e38f; p.curves[0].max_value = 3e38f; }},
      {"thick line", [](picture& p) { p.curves[0].line_width = 32767; p.curves[0].mark = 255; }},
      {"negative line", [](picture& p) { p.curves[0].line_width = -32768; p.curves[0].mark = 7; }},
      {"start at the clock's end", [](picture& p) { p.settings.dt = INT_MAX; p.millis = 999; }},
      {"tiny picture", [](picture& p) { p.width = 1; p.height = 1; }},
      {"narrow picture", [](picture& p) { p.width = 3; p.height = 400; }},
      {"flat picture", [](picture& p) { p.width = 2000; p.height = 5; }},
      {"thousands of curves", [](picture& p) { p.curves.resize(5000, p.curves[0]); }},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    picture pic;
    pic.add_curve(6, 0x0000FF).mark = 2;
    for (int i = 0; i < 50; ++i)
      pic.sample(6, i, i % 3 == 0 ? nan : i % 5 == 0 ? inf : i % 7 == 0 ? -inf : static_cast<float>(i * 1e6));
    r.change(pic);
    pic.draw();
  }
}

TEST(TrendDraw, EveryChangeShowsInTheNextDrawing) {
  struct row {
    const char* name;
    std::function<void(trend_control&, picture&)> change;
    gdi::rgb_colour background, curve;
  };
  const row rows[] = {
      {"nothing", [](trend_control&, picture&) {}, 0xFFFFFF, 0xFF0000},
      {"curves",
       [](trend_control& c, picture& p) {
         p.curves[0].color = 0x00FF00;
         c.set_curves(1, p.curves.data());
       },
       0xFFFFFF, 0x00FF00},
      {"settings",
       [](trend_control& c, picture& p) {
         p.settings.bg_color = 0xFFFF00;
         c.set_settings(&p.settings);
       },
       0x00FFFF, 0xFF0000},
      {"time", [](trend_control& c, picture&) { c.set_time(t0 + 1000, 0); }, 0xFFFFFF, 0xFFFFFF},
      {"archive", [](trend_control& c, picture&) { c.attach_archive(nullptr); }, 0xFFFFFF, 0xFFFFFF},
      {"mode", [](trend_control& c, picture& p) {
         p.archive.records.clear();
         c.set_mode(0);
       }, 0xFFFFFF, 0xFFFFFF},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    picture pic;
    pic.settings.grid_style = 5;
    pic.add_curve(1, 0x0000FF);
    for (int s = 0; s < 60; ++s)
      pic.sample(1, s, 50);
    trend_control* control = picture::new_control();
    control->attach_archive(&pic.archive);
    control->set_settings(&pic.settings);
    control->set_curves(1, pic.curves.data());
    control->set_time(t0, 0);
    gdi::drawing_surface surface(pic.width, pic.height);
    const com::RECT bounds{0, 0, pic.width, pic.height};
    ASSERT_EQ(control->Draw(com::DVASPECT_CONTENT, surface, bounds), com::S_OK);
    r.change(*control, pic);
    gdi::FillRect(surface, surface.rect(), 0);
    ASSERT_EQ(control->Draw(com::DVASPECT_CONTENT, surface, bounds), com::S_OK);
    control->Release();
    const plot_box p = pic.plot();
    EXPECT_EQ(surface.pixel(1, 1), r.background);
    EXPECT_EQ(surface.pixel(column_of(p, 30, 60), row_of(p, 50)), r.curve);
  }
}

TEST(TrendDraw, ThePictureLandsAtTheRectangle) {
  picture pic;
  pic.settings.bg_color = 0x00FFFF;
  trend_control* control = picture::new_control();
  control->set_settings(&pic.settings);
  gdi::drawing_surface surface(300, 200);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    gdi::FillRect(surface, surface.rect(), 0);
    ASSERT_EQ(control->Draw(com::DVASPECT_CONTENT, surface, {50, 40, 250, 140}), com::S_OK);
    EXPECT_EQ(surface.pixel(49, 60), 0u);
    EXPECT_EQ(surface.pixel(50, 40), 0xFFFF00u);
    EXPECT_EQ(surface.pixel(249, 139), 0xFFFF00u);
    EXPECT_EQ(surface.pixel(250, 139), 0u);
    EXPECT_EQ(surface.pixel(100, 140), 0u);
  }
  control->Release();
}

// Round steps for windows from a minute to a year, marks on round local times, and dates
// where a window crosses midnight.
TEST(TrendLayout, TimeAxisStepsAndLabels) {
  const test::zone_scope zone(test::zone_cet);
  struct row {
    std::uint32_t start;  // window start, seconds since 1970
    std::int32_t span;
    int divisions;
    std::int16_t tunits;
    std::int32_t step;
    const char* first;  // first mark: "time|date"
    const char* last;
  };
  constexpr std::uint32_t midnight = 1700002800;  // 2023-11-15 00:00 CET
  const row rows[] = {
      {t0, 60, 6, -1, 10, "23:13:20|", "23:14:20|"},
      {t0 + 3, 60, 4, -1, 15, "23:13:30|", "23:14:15|"},
      {t0, 3600, 6, -1, 600, "23:20|14.11.2023", "00:10|"},
      {midnight - 1800, 3600, 6, -1, 600, "23:30|14.11.2023", "00:30|"},
      {t0, 3600, 12, 0, 300, "23:15:00|14.11.2023", "00:10:00|"},
      {t0, 86400, 8, -1, 10800, "00:00|15.11.2023", "21:00|"},
      {t0, 7 * 86400, 7, -1, 86400, "15.11|2023", "21.11|"},
      {t0, 31 * 86400, 6, -1, 10 * 86400, "19.11|2023", "09.12|"},
      {t0, 365 * 86400, 6, -1, 90 * 86400, "19.12|2023", "14.09|"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.span) + "/" + std::to_string(r.divisions));
    const std::int32_t step = time_step_for(r.span, r.divisions);
    EXPECT_EQ(step, r.step);
    const std::vector<time_mark> marks = time_marks({r.start, 0, r.span}, step, r.tunits);
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks.front().time + "|" + marks.front().date, r.first);
    EXPECT_EQ(marks.back().time + "|" + marks.back().date, r.last);
    for (const time_mark& m : marks) {
      EXPECT_GE(m.offset, 0);
      EXPECT_LE(m.offset, r.span);
    }
  }
}

TEST(TrendLayout, ValueLabelDigits) {
  struct row {
    std::int16_t vdigits, vdigits_dp;
    double min, max;
    int divisions;
    double value;
    const char* text;
  };
  const row rows[] = {
      {0, -1, 0, 100, 10, 30, "30"},
      {0, -1, 0, 1, 4, 0.25, "0.25"},
      {0, -1, 0, 1, 5, 0.4, "0.4"},
      {0, 2, 0, 100, 10, 30, "30.00"},
      {0, 0, 0, 1, 4, 0.25, "0"},
      {4, -1, 0, 100, 10, 30, "30.0"},
      {4, -1, 0, 1, 4, 0.25, "0.250"},
      {2, -1, 0, 1000, 4, 250, "250"},
      {0, -1, 0, 3e10, 3, 1e10, "1e+10"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    trend_settings s = default_trend_settings();
    s.vdigits = r.vdigits;
    s.vdigits_dp = r.vdigits_dp;
    EXPECT_EQ(value_label(r.value, s, {r.min, r.max}, r.divisions), r.text);
  }
}

TEST(TrendLayout, MarksFitTheSizeUnlessGiven) {
  struct row {
    int width, height;
    std::int32_t span;
    std::int16_t tmarks, vmarks;
    std::size_t time_marks, value_marks;
    const char* first_time;
    const char* last_value;
  };
  const row rows[] = {
      {800, 600, 3600, 0, 0, 6, 11, "22:20", "100"},
      {400, 150, 60, 0, 0, 4, 3, "22:13:30", "100"},
      {400, 150, 3600, 0, 0, 4, 3, "22:15", "100"},
      {400, 150, 3600, 5, 4, 4, 5, "22:15", "100"},
      {400, 150, 3600, 32767, 32767, 1000, 59, "22:13:20", "100.00"},
      {5, 5, 60, 0, 0, 1, 2, "", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.width) + "x" + std::to_string(r.height));
    const test::zone_scope zone("UTC0");
    trend_settings s = default_trend_settings();
    s.tmarks = r.tmarks;
    s.vmarks = r.vmarks;
    gdi::drawing_surface scratch(r.width, r.height);
    use_label_font(scratch.context(), s.font);
    const std::vector<trend_curve> curves;
    const std::vector<legend_entry> legend;
    const chart_scales scales = group_scales(curves);
    const trend_window window{t0, 0, r.span};
    const trend_layout layout = lay_out_trend(scratch.context(), r.width, r.height, s, {curves, legend, scales, window});
    ASSERT_EQ(layout.time_marks.size(), r.time_marks);
    ASSERT_EQ(layout.value_marks.size(), r.value_marks);
    EXPECT_EQ(layout.time_marks.front().label, r.first_time);
    EXPECT_EQ(layout.value_marks.back().label, r.last_value);
    EXPECT_GE(layout.time_marks.front().at, layout.plot.left);
    EXPECT_LE(layout.time_marks.back().at, layout.plot.right);
    EXPECT_DOUBLE_EQ(layout.value_marks.front().at, layout.plot.bottom);
    EXPECT_DOUBLE_EQ(layout.value_marks.back().at, layout.plot.top);
    EXPECT_GE(layout.plot.left, 0);
    EXPECT_LT(layout.plot.right, r.width);
    EXPECT_LT(layout.plot.bottom, r.height);
  }
}

}  // namespace
}  // namespace quillet::trend
