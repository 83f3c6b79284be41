// Trend controls in reports: the settings record, the curve records and the window start the
// site gives a recording trend control, the archive bridge behind the curves, and one report
// drawn by the real control over the simulated data source.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "data/kov_sim_data_source.h"
#include "report/html_dyn_elt.h"
#include "platform/trend/trend_control.h"
#include "report/ocx_elt_site.h"
#include "tests/data/project_support.h"
#include "tests/report/ocx_test_support.h"
#include "tests/report/png_test_support.h"

namespace quillet::ocx_test {
namespace {

constexpr std::uint32_t T = 1700000000;
const char trend_object[] = "<OBJECT CLASSID=\"CLSID:{12175724-4241-11D2-9C51-0000E8DBF60C}\" WIDTH=40 HEIGHT=20>";

// A data source that answers as the simulated one but is not a runtime source.
class forwarding_source : public kov_txl_data_source {
public:
  explicit forwarding_source(kov_txl_data_source& inner) : in(inner) {}
  void open_nodes() override { in.open_nodes(); }
  void close_nodes() override { in.close_nodes(); }
  int node_count() const override { return in.node_count(); }
  int node_state(int node) const override { return in.node_state(node); }
  void node_name(int node, std::string& out) const override { in.node_name(node, out); }
  bool make_channel_ref(const anyval& n, const anyval& a, const anyval& d, const anyval& o, anyval& r) override {
    return in.make_channel_ref(n, a, d, o, r);
  }
  bool make_object_ref(const anyval& d, const anyval& o, anyval& r) override { return in.make_object_ref(d, o, r); }
  bool channel_name(const anyval& ref, anyval& r) override { return in.channel_name(ref, r); }
  bool channel_node_name(const anyval& ref, anyval& r) override { return in.channel_node_name(ref, r); }
  bool channel_object_name(const anyval& ref, anyval& r) override { return in.channel_object_name(ref, r); }
  bool channel_attr_name(const anyval& ref, anyval& r) override { return in.channel_attr_name(ref, r); }
  bool channel_code(const anyval& ref, anyval& r) override { return in.channel_code(ref, r); }
  bool channel_unit(const anyval& ref, anyval& r) override { return in.channel_unit(ref, r); }
  bool read_value_at(const anyval& ref, const anyval& t, const anyval& l, anyval& r) override {
    return in.read_value_at(ref, t, l, r);
  }
  bool read_values(const anyval& ref, const anyval& f, const anyval& t, anyval& r) override {
    return in.read_values(ref, f, t, r);
  }
  bool current_value(const anyval& ref, anyval& r) override { return in.current_value(ref, r); }
  bool statistics(const anyval& ref, const anyval& f, const anyval& t, int by_time, txl_stat_record& r) override {
    return in.statistics(ref, f, t, by_time, r);
  }
  bool select_channels(const anyval& d, const anyval& o, const anyval& c, anyval& r) override {
    return in.select_channels(d, o, c, r);
  }
  bool events(const anyval& d, const anyval& f, anyval& r) override { return in.events(d, f, r); }

private:
  kov_txl_data_source& in;
};

class OcxTrend : public testing::Test {
protected:
  OcxTrend() : source(&project.map, T) {}
  void SetUp() override {
    ASSERT_TRUE(project.loaded);
    ocx_register_controls();
    com::register_component(trend::CLSID_trend_control, make_fake_trend);
    calls.clear();
    trend_seen = trend_record{};
  }
  // The real control goes back under its class for the tests that follow.
  void TearDown() override { trend::register_trend_control(); }

  // The report body of one trend object with these ELT pairs.
  std::string trend_report(const std::string& pairs, kov_txl_data_source* with = nullptr) {
    calls.clear();
    trend_seen = trend_record{};
    std::string content = pairs.empty() ? "" : "<!--$VX ELT " + pairs + "-->";
    ocx_run run;
    run_report(run, std::string(trend_object) + content + "</OBJECT>", with ? with : &source, T);
    return run.body;
  }

  test::demo_project project;
  kov_sim_data_source source;
};

// The record the site sends when no property is given: the control's own record with the
// fixed fields set.
trend::trend_settings default_sent() {
  trend::trend_settings s = control_settings();
  s.version = 0x1000;
  s.dt = 60;
  s.grid_color = 0x808080;
  s.bg_color = 0xFFFFFF;
  s.flags = 0x2090;
  return s;
}

std::string hex(const void* p, std::size_t n) {
  std::string out;
  char b[4];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02X ", static_cast<const unsigned char*>(p)[i]);
    out += b;
  }
  return out;
}

struct settings_row {
  const char* pairs;
  std::function<void(trend::trend_settings&)> change;
};

TEST_F(OcxTrend, SettingsRecordFromTheProperties) {
  using S = trend::trend_settings;
  const settings_row rows[] = {
      {"", [](S&) {}},
      {"DT=%{3600}%", [](S& s) { s.dt = 3600; }},
      {"DT=%{0}%", [](S&) {}},
      {"DT=%{\"soon\"}%", [](S& s) { s.dt = 5; }},
      {"DT=%{-7}%", [](S&) {}},
      {"TMARKS=%{6}%", [](S& s) { s.tmarks = 6; s.flags |= 0x0002; }},
      {"VMARKS=%{4}%", [](S& s) { s.vmarks = 4; s.flags |= 0x0002; }},
      {"TMARKS=%{-1}%\r\n VMARKS=%{-2}%", [](S&) {}},
      {"TUNITS=%{0}%", [](S& s) { s.tunits = 0; s.flags |= 0x0001; }},
      {"TUNITS=%{-3}%", [](S&) {}},
      {"VDIGITS=%{3}%\r\n VDIGITSDP=%{2}%", [](S& s) { s.vdigits = 3; s.vdigits_dp = 2; s.flags |= 0x0040; }},
      {"GRID_STYLE=%{1}%", [](S& s) { s.grid_style = 1; }},
      {"GRID_STYLE=%{-1}%", [](S&) {}},
      {"GRID_COLOR=%{\"#FF0000\"}%", [](S& s) { s.grid_color = 0x0000FF; }},
      {"GRID_COLOR=%{\"#0f0\"}%", [](S& s) { s.grid_color = 0x00FF00; }},
      {"GRID_COLOR=%{\"Navy\"}%", [](S& s) { s.grid_color = 0x800000; }},
      {"GRID_COLOR=%{255}%", [](S& s) { s.grid_color = 255; }},
      {"GRID_COLOR=%{\"bogus\"}%", [](S&) {}},
      {"BGCOLOR=%{\"black\"}%", [](S& s) { s.bg_color = 0; }},
      {"BGCOLOR=%{NOSUCH()}%", [](S&) {}},
      {"FONT=%{\"bold 12pt Arial\"}%",
       [](S& s) {
         s.font.lfHeight = -16;
         s.font.lfWeight = 700;
         std::strcpy(s.font.lfFaceName, "Arial");
       }},
      {"FONT=%{\"nonsense\"}%", [](S&) {}},
  };
  for (const settings_row& row : rows) {
    SCOPED_TRACE(row.pairs);
    trend_report(row.pairs);
    trend::trend_settings expected = default_sent();
    row.change(expected);
    EXPECT_EQ(hex(&trend_seen.settings, sizeof expected), hex(&expected, sizeof expected));
  }
}

TEST_F(OcxTrend, CallsTheControlInOrder) {
  EXPECT_EQ(trend_report("CHANNEL=%{CHAN(\"T_SUPPLY\", 0, \"BOILERS\")}%"),
            "<IMG WIDTH=40 HEIGHT=20 SRC=\"r_1.png\" ALT=\"dynamic image\">");
  std::vector<std::string> trend_calls;
  for (const std::string& c : calls)
    if (c.rfind("Draw", 0) != 0 && c.rfind("SetObjectRects", 0) != 0)
      trend_calls.push_back(c);
  const std::vector<std::string> expected = {
      "SetClientSite",
      "DoVerb -5 msg=0 site=1 index=0 window=ocx_printer_wnd_class/ocx_printer_wnd/1x1 rect=0,0,1,1",
      "display.attach_browser",
      "data.attach_browser same",
      "data.attach_archive",
      "data.set_mode 1",
      "get_settings",
      "set_settings",
      "set_curves 1",
      "data.set_time",
      "InPlaceDeactivate",
      "destroyed",
  };
  EXPECT_EQ(trend_calls, expected);
}

// Braces around the identifier or none: the same trend site either way.
TEST_F(OcxTrend, IdentifierWithOrWithoutBraces) {
  for (const char* id : {"{12175724-4241-11D2-9C51-0000E8DBF60C}", "12175724-4241-11D2-9C51-0000E8DBF60C",
                         "{12175724-4241-11d2-9c51-0000e8dbf60c}"}) {
    SCOPED_TRACE(id);
    calls.clear();
    ocx_run run;
    run_report(run, std::string("<OBJECT CLASSID=\"CLSID:") + id + "\" WIDTH=4 HEIGHT=4></OBJECT>", &source, T);
    EXPECT_EQ(run.body, "<IMG WIDTH=4 HEIGHT=4 SRC=\"r_1.png\" ALT=\"dynamic image\">");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "set_settings"), calls.end());
  }
}

struct curve_expect {
  std::uint32_t channel;
  std::uint16_t attribute;
  float min, max;
  std::uint16_t flags;
  std::int16_t ltype, lwidth;
  std::uint32_t color;
  std::uint8_t mark;
};

struct curve_row {
  const char* name;
  std::string pairs;
  std::vector<curve_expect> curves;
  int bridge_channels;
};

std::string chan(const char* name, const char* node = "BOILERS", int attr = 0) {
  return std::string("CHAN(\"") + name + "\", " + std::to_string(attr) + ", \"" + node + "\")";
}

TEST_F(OcxTrend, CurveRecordsFromTheProperties) {
  const std::string two = "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", " + chan("PUMP1_ON") + ")}%";
  const std::string five = "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", " + chan("T_RETURN") + ", " +
                           chan("PUMP1_ON") + ", " + chan("PUMP2_ON") + ", " + chan("P_DRUM") + ")}%";
  const curve_row rows[] = {
      {"empty scale becomes 0 to 100, discrete channel steps", two + "\r\n MINVAL=%{10}%\r\n MAXVAL=%{10}%",
       {{0, 0, 0, 100, 2, 0, 0, 0, 0}, {1, 0, 0, 100, 3, 0, 0, 0, 0}}, 2},
      {"colours cycle over the channels", five + "\r\n COLOR=%{LIST(1, 2, 3)}%",
       {{0, 0, 0, 100, 2, 0, 0, 1, 0},
        {1, 0, 0, 100, 2, 0, 0, 2, 0},
        {2, 0, 0, 100, 3, 0, 0, 3, 0},
        {3, 0, 0, 100, 3, 0, 0, 1, 0},
        {4, 0, 0, 100, 2, 0, 0, 2, 0}},
       5},
      {"LINT zero", two + "\r\n LINT=%{0}%", {{0, 0, 0, 100, 6, 0, 0, 0, 0}, {1, 0, 0, 100, 7, 0, 0, 0, 0}}, 2},
      {"LINT not an integer", two + "\r\n LINT=%{\"x\"}%",
       {{0, 0, 0, 100, 6, 0, 0, 0, 0}, {1, 0, 0, 100, 7, 0, 0, 0, 0}}, 2},
      {"LINT one per curve", two + "\r\n LINT=%{LIST(1, 0)}%",
       {{0, 0, 0, 100, 2, 0, 0, 0, 0}, {1, 0, 0, 100, 7, 0, 0, 0, 0}}, 2},
      {"empty LINT vector gives nothing", two + "\r\n LINT=%{LIST()}%",
       {{0, 0, 0, 100, 2, 0, 0, 0, 0}, {1, 0, 0, 100, 3, 0, 0, 0, 0}}, 2},
      {"scale per curve", two + "\r\n MINVAL=%{-5.5}%\r\n MAXVAL=%{LIST(50, \"x\")}%",
       {{0, 0, -5.5f, 50, 2, 0, 0, 0, 0}, {1, 0, -5.5f, 0, 3, 0, 0, 0, 0}}, 2},
      {"pen, marks and an HTML colour",
       two + "\r\n LTYPE=%{2}%\r\n LWIDTH=%{3}%\r\n MARK=%{LIST(4, 5)}%\r\n COLOR=%{\"#FF0000\"}%",
       {{0, 0, 0, 100, 2, 2, 3, 0x0000FF, 4}, {1, 0, 0, 100, 3, 2, 3, 0x0000FF, 5}}, 2},
      {"one channel without a vector", "CHANNEL=%{" + chan("LEVEL", "PUMPSTATION") + "}%\r\n MAXVAL=%{250}%",
       {{0, 0, 0, 250, 2, 0, 0, 0, 0}}, 1},
      {"attribute code", "CHANNEL=%{" + chan("T_SUPPLY", "BOILERS", 1) + "}%", {{0, 1, 0, 100, 2, 0, 0, 0, 0}}, 1},
      {"same channel twice keeps one number", "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", " + chan("T_SUPPLY") + ")}%",
       {{0, 0, 0, 100, 2, 0, 0, 0, 0}, {0, 0, 0, 100, 2, 0, 0, 0, 0}}, 1},
      {"channels of two nodes", "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", " + chan("LEVEL", "PUMPSTATION") + ")}%",
       {{0, 0, 0, 100, 2, 0, 0, 0, 0}, {1, 0, 0, 100, 2, 0, 0, 0, 0}}, 2},
      {"elements that are no channel are left out",
       "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", 7, " + chan("T_RETURN") + ")}%\r\n COLOR=%{LIST(1, 2, 3)}%",
       {{0, 0, 0, 100, 2, 0, 0, 1, 0}, {1, 0, 0, 100, 2, 0, 0, 3, 0}}, 2},
      {"no CHANNEL", "COLOR=%{1}%", {}, 0},
      {"CHANNEL that is no reference", "CHANNEL=%{5}%", {}, 0},
      {"failing CHANNEL", "CHANNEL=%{NOSUCH()}%", {}, 0},
  };
  for (const curve_row& row : rows) {
    SCOPED_TRACE(row.name);
    trend_report(row.pairs);
    ASSERT_EQ(trend_seen.curves.size(), row.curves.size());
    EXPECT_EQ(trend_seen.curves_null, row.curves.empty());
    EXPECT_EQ(trend_seen.bridge_channels, row.bridge_channels);
    for (std::size_t i = 0; i < row.curves.size(); ++i) {
      SCOPED_TRACE(i);
      trend::trend_curve expected{};
      const curve_expect& e = row.curves[i];
      expected.channel = e.channel;
      expected.attribute = e.attribute;
      expected.min_value = e.min;
      expected.max_value = e.max;
      expected.flags = e.flags;
      expected.line_type = e.ltype;
      expected.line_width = e.lwidth;
      expected.color = e.color;
      expected.mark = e.mark;
      EXPECT_EQ(hex(&trend_seen.curves[i], sizeof expected), hex(&expected, sizeof expected));
    }
  }
}

// Curves read the archive of a runtime source's nodes; any other source gives none.
TEST_F(OcxTrend, NoCurvesWithoutARuntimeSource) {
  forwarding_source plain(source);
  trend_report("CHANNEL=%{" + chan("T_SUPPLY") + "}%", &plain);
  EXPECT_TRUE(trend_seen.curves.empty());
  EXPECT_TRUE(trend_seen.curves_null);
  EXPECT_NE(std::find(calls.begin(), calls.end(), "set_curves 0"), calls.end());
}

struct time_row {
  const char* pairs;
  std::uint32_t seconds;
  std::uint16_t millis;
};

TEST_F(OcxTrend, WindowStart) {
  const time_row rows[] = {
      {"", T - 60, 0},
      {"DT=%{3600}%", T - 3600, 0},
      {"TIME=%{1600000000.25}%", 1600000000, 250},
      {"TIME=%{1600000000.9996}%", 1600000000, 999},
      {"TIME=%{\"1600000000\"}%", 1600000000, 0},
      {"TIME=%{0}%\r\n DT=%{10}%", T - 10, 0},
      {"TIME=%{-5}%", T - 60, 0},
      {"TIME=%{\"later\"}%", T - 60, 0},
      {"DT=%{NOSUCH()}%", T - 5, 0},
      {"TIME=%{1e300}%", 4294967295u, 0},
  };
  for (const time_row& row : rows) {
    SCOPED_TRACE(row.pairs);
    trend_report(row.pairs);
    EXPECT_EQ(trend_seen.seconds, row.seconds);
    EXPECT_EQ(trend_seen.millis, row.millis);
  }
}

// The bridge lets go of the source's nodes once the picture is made, so the element may
// outlive the run's data source.
TEST_F(OcxTrend, BridgeIsEmptyAfterThePicture) {
  ocx_run run;
  int nodes = -1;
  run_report(run, std::string(trend_object) + "<!--$VX ELT CHANNEL=%{" + chan("T_SUPPLY") + "}%--></OBJECT>",
             &source, T, [&](htdoc_processor& processor) {
               for (const auto& element : processor.dyn_elements())
                 if (auto* ocx = dynamic_cast<html_dyn_elt_ocx*>(element.get()))
                   if (auto* site = dynamic_cast<ocx_elt_site_trend*>(ocx->site.get()))
                     nodes = site->archive.node_count() + site->archive.channel_count();
             });
  EXPECT_EQ(trend_seen.bridge_channels, 1);
  EXPECT_EQ(nodes, 0);
}

// The real control over the simulated source: two minutes of four curves drawn in their
// colours. The simulated values are saw teeth that differ by channel number only, so the
// channels have four different numbers and the window is short enough that no curve hides
// another completely.
TEST(OcxTrendReal, DrawsCurvesOfTheSimulatedSource) {
  test::demo_project project;
  ASSERT_TRUE(project.loaded);
  kov_sim_data_source source(&project.map, T);
  ocx_register_controls();
  trend::register_trend_control();
  std::string pairs = "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", " + chan("T_RETURN") + ", " + chan("P_DRUM") +
                      ", " + chan("P_OUT", "PUMPSTATION") + ")}%\r\n DT=%{120}%\r\n LWIDTH=%{2}%\r\n" +
                      " COLOR=%{LIST(\"#FF0000\", \"#0000FF\", \"#008000\", \"#FF00FF\")}%";
  ocx_run run;
  run_report(run, "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\"><!--$VX ELT " + pairs +
                      "--></OBJECT>",
             &source, T);
  EXPECT_EQ(run.body, "<IMG WIDTH=800 HEIGHT=600 SRC=\"r_1.png\" ALT=\"dynamic image\">");
  png_test::decoded_png png = png_test::decode_png(run.dir.read("r_1.png"));
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.width, 800u);
  EXPECT_EQ(png.height, 600u);
  std::set<unsigned> colours;
  for (const auto& row : png.rows)
    for (std::uint8_t index : row) {
      const png_color& c = png.palette.at(index);
      colours.insert(static_cast<unsigned>(c.red << 16 | c.green << 8 | c.blue));
    }
  for (unsigned curve : {0xFF0000u, 0x0000FFu, 0x008000u, 0xFF00FFu}) {
    SCOPED_TRACE(curve);
    EXPECT_TRUE(colours.count(curve));
  }
}

// The real control: curves whose channel cannot be read are named in the run's diagnostics and
// leave the others drawn; a chart whose every curve failed gets the print marker; SVG=1 makes
// an SVG picture.
TEST(OcxTrendReal, FaultsAndPictureFormats) {
  test::demo_project project;
  ASSERT_TRUE(project.loaded);
  kov_sim_data_source source(&project.map, T);
  ocx_register_controls();
  trend::register_trend_control();
  struct row {
    const char* name;
    std::string pairs;
    const char* body;
    std::vector<std::string> faults;
  };
  const std::string bad = "CHAN(\"NOPE\", 0, \"BOILERS\")";
  const row rows[] = {
      {"one bad channel among three", "CHANNEL=%{LIST(" + chan("T_SUPPLY") + ", " + bad + ", 7)}%",
       "<IMG WIDTH=80 HEIGHT=60 SRC=\"r_1.png\" ALT=\"dynamic image\">",
       {"trend curve 2: no data: unknown channel\n", "trend curve 3 (7): no data: unknown channel\n"}},
      {"every channel bad", "CHANNEL=%{LIST(" + bad + ")}%", "{#ERROR:PRINT_OBJECT}",
       {"trend curve 1: no data: unknown channel\n"}},
      {"no channel at all", "DT=%{60}%", "<IMG WIDTH=80 HEIGHT=60 SRC=\"r_1.png\" ALT=\"dynamic image\">", {}},
      {"SVG picture", "CHANNEL=%{" + chan("T_SUPPLY") + "}%\r\n SVG=%{1}%",
       "<IMG WIDTH=80 HEIGHT=60 SRC=\"r_1.svg\" ALT=\"dynamic image\">", {}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    ocx_run run;
    const std::string body = "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\" WIDTH=80 HEIGHT=60>"
                             "<!--$VX ELT " + r.pairs + "--></OBJECT>";
    run_report(run, body, &source, T);
    EXPECT_EQ(run.body, r.body);
    // Each fault names the CHANNEL property's text, after the 25 bytes up to <BODY>.
    const auto channel_at = static_cast<std::uint32_t>(25 + body.find("CHANNEL=%{") + 10);
    std::vector<std::string> faults;
    for (std::size_t k = 0; k < run.diagnostics.messages.size(); ++k) {
      if (run.diagnostics.messages[k].rfind("trend curve", 0) != 0)
        continue;
      faults.push_back(run.diagnostics.messages[k]);
      EXPECT_EQ(run.diagnostics.offsets.at(k), channel_at);
    }
    EXPECT_EQ(faults, r.faults);
  }
  ocx_run svg;
  run_report(svg, "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\" WIDTH=80 HEIGHT=60><!--$VX ELT SVG=%{1}%"
                  "--></OBJECT>", &source, T);
  const std::string text = svg.dir.read("r_1.svg");
  EXPECT_NE(text.find("<svg"), std::string::npos);
  EXPECT_NE(text.find("width=\"80"), std::string::npos);
}

// The legend the site gives the real control: the project's names and units, or code and
// comment, and the fault of a curve without data.
TEST(OcxTrendReal, LegendNamesFromTheProject) {
  test::demo_project project;
  ASSERT_TRUE(project.loaded);
  kov_sim_data_source source(&project.map, T);
  ocx_register_controls();
  trend::register_trend_control();
  struct row {
    const char* legend;
    std::vector<std::string> entries;  // "curve|name|unit|fault"
  };
  const row rows[] = {
      {"", {"0|T_SUPPLY|degC|0", "-1|7||1", "1|PUMP1_ON||0"}},
      {"LEGEND=%{2}%", {"0|TT-101 Supply water temperature|degC|0", "-1|7||1", "1|Pump 1 running||0"}},
      {"LEGEND=%{0}%", {}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.legend);
    std::vector<std::string> entries;
    ocx_run run;
    run_report(run, "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\" WIDTH=80 HEIGHT=60><!--$VX ELT CHANNEL=%{LIST(" +
                        chan("T_SUPPLY") + ", 7, " + chan("PUMP1_ON") + ")}%\r\n " + r.legend + "--></OBJECT>",
               &source, T, [&](htdoc_processor& processor) {
                 for (const auto& element : processor.dyn_elements())
                   if (auto* ocx = dynamic_cast<html_dyn_elt_ocx*>(element.get()))
                     if (auto* site = dynamic_cast<ocx_elt_site_trend*>(ocx->site.get()))
                       for (const trend::legend_entry& e :
                            static_cast<trend::trend_control*>(site->control.get())->legend())
                         entries.push_back(std::to_string(e.curve) + "|" + e.name + "|" + e.unit + "|" +
                                           std::to_string(static_cast<int>(e.fault)));
               });
    EXPECT_EQ(entries, r.entries);
  }
}

}  // namespace
}  // namespace quillet::ocx_test
