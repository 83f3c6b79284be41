// Colours, lengths and fonts: every reader against its edge cases, and the writers against
// their readers.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "doc/style_values.h"

namespace quillet {
namespace {

// Sets a screen resolution for one test and puts the usual 96 back afterwards.
struct resolution_guard {
  explicit resolution_guard(double dpi) { set_screen_resolution(dpi); }
  ~resolution_guard() { set_screen_resolution(96); }
};

struct color_case {
  std::string text;
  bool ok;
  colorref expected;  // 0x00BBGGRR
};

TEST(StyleColor, ParsesHexAndNames) {
  const color_case cases[] = {
      {"#f00", true, 0x0000FF},
      {"#F00", true, 0x0000FF},
      {"#abc", true, 0xCCBBAA},
      {"#000", true, 0x000000},
      {"#123456", true, 0x563412},
      {"#aBcDeF", true, 0xEFCDAB},
      {"#12345678", true, 0x563412},
      {"#1234567", true, 0x563412},
      {"#ABCDEF plus anything after it, even past the 39th byte", true, 0xEFCDAB},
      {"red", true, 0x0000FF},
      {"Red", true, 0x0000FF},
      {"rED", true, 0x0000FF},
      {"skyblue", true, 0xEBCE87},
      {"darkseagreen", true, 0x8FBC8F},
      {"DarkSeaGreen", true, 0x8FBC8F},
      {"cornflower", true, 0xED9564},
      {"gray", true, 0x808080},
      {"lightgrey", true, 0xD3D3D3},
      {"darkslategray", true, 0x4F4F2F},
      {"aliceblue", true, 0xFFF8F0},
      {"yellowgreen", true, 0x32CD9A},
      {"lightgoldenrodyellow", true, 0xD2FAFA},
      {"cornflowerblue", false, 0},
      {"grey", false, 0},
      {"lightgray", false, 0},
      {"darkgrey", false, 0},
      {"reddish", false, 0},
      {"re", false, 0},
      {" red", false, 0},
      {"red ", false, 0},
      {"r\xC9" "d", false, 0},
      {"", false, 0},
      {"#", false, 0},
      {"#GGG", false, 0},
      {"#GGGGGG", false, 0},
      {"#12", false, 0},
      {"#1234", false, 0},
      {"#12345", false, 0},
      {"#12G456", false, 0},
      {"#123G56", false, 0},
      {"#12345G", false, 0},
      {"#F00 ", false, 0},
      {" #F00", false, 0},
      {"0xFF0000", false, 0},
      {"#\xE1\xE2\xE3", false, 0},
      {std::string("#F00\0", 5), false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    colorref got = 0xDEADBEEF;
    EXPECT_EQ(parse_color(c.text, &got), c.ok);
    EXPECT_EQ(got, c.ok ? c.expected : 0xDEADBEEF);
    EXPECT_EQ(parse_color(c.text, nullptr), c.ok);
  }
}

// Every row is found by its name in any case and agrees with its own hex text; names are
// unique, so no row hides another.
TEST(StyleColor, NameTableRowsAllResolve) {
  auto rows = color_names();
  ASSERT_EQ(rows.size(), 140u);
  EXPECT_STREQ(rows.front().name, "ALICEBLUE");
  EXPECT_STREQ(rows.back().name, "YELLOWGREEN");
  std::set<std::string> seen;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(seen.insert(row.name).second);
    EXPECT_EQ(std::strlen(row.rgb), 7u);
    std::string lower = row.name;
    for (char& ch : lower)
      ch = static_cast<char>(ch - 'A' + 'a');
    colorref by_name = 1, by_lower = 2, by_hex = 3;
    ASSERT_TRUE(parse_color(row.name, &by_name));
    ASSERT_TRUE(parse_color(lower, &by_lower));
    ASSERT_TRUE(parse_color(row.rgb, &by_hex));
    EXPECT_EQ(by_name, by_hex);
    EXPECT_EQ(by_lower, by_hex);
    EXPECT_EQ(format_color(by_hex), row.rgb);
  }
}

TEST(StyleColor, FormatsUpperCaseRedFirst) {
  const struct {
    colorref c;
    const char* text;
  } cases[] = {
      {0x0000FF, "#FF0000"}, {0xEBCE87, "#87CEEB"}, {0x000000, "#000000"},
      {0xFFFFFF, "#FFFFFF"}, {0x0A0B0C, "#0C0B0A"}, {0xFF563412, "#123456"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(format_color(c.c), c.text);
    colorref back = 0;
    ASSERT_TRUE(parse_color(format_color(c.c), &back));
    EXPECT_EQ(back, c.c & 0xFFFFFFu);
  }
}

struct length_case {
  std::string text;
  bool ok;
  double value;
  int unit;
  std::size_t consumed;
};

TEST(StyleLength, ReadsNumberAndUnit) {
  const length_case cases[] = {
      {"10px", true, 10, 0, 2},
      {"1.5 em", true, 1.5, 1, 3},
      {"12", true, 12, -1, 2},
      {"3furlongs", true, 3, 8, 1},
      {"2ex", true, 2, 2, 1},
      {"  -2.5e1mm", true, -25, 3, 8},
      {"+4cm", true, 4, 4, 2},
      {".5in", true, 0.5, 5, 2},
      {"4inch", true, 4, 5, 1},
      {"12PT", true, 12, 6, 2},
      {"12 Pc", true, 12, 7, 2},
      {"5.", true, 5, -1, 2},
      {"9  ", true, 9, -1, 1},
      {"12\tpx", true, 12, 0, 2},
      {"7p", true, 7, 8, 1},
      {"12mmx", true, 12, 3, 2},
      {"1e", true, 1, 8, 1},
      {"1ex", true, 1, 2, 1},
      {"1em", true, 1, 1, 1},
      {"1e+", true, 1, 8, 1},
      {"2e3px", true, 2000, 0, 3},
      {"2E-1pt", true, 0.2, 6, 4},
      {"0x10px", true, 0, 8, 1},
      {"-0", true, 0, -1, 2},
      {"abc", false, 0, 0, 0},
      {"", false, 0, 0, 0},
      {"   ", false, 0, 0, 0},
      {"-", false, 0, 0, 0},
      {".", false, 0, 0, 0},
      {"+.e1", false, 0, 0, 0},
      {"px10", false, 0, 0, 0},
      {"inf", false, 0, 0, 0},
      {"nan", false, 0, 0, 0},
      {"1e999px", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    double value = -99;
    int unit = -99;
    std::size_t consumed = 99;
    ASSERT_EQ(parse_length(c.text, &value, &unit, &consumed), c.ok);
    if (!c.ok)
      continue;
    EXPECT_DOUBLE_EQ(value, c.value);
    EXPECT_EQ(unit, c.unit);
    EXPECT_EQ(consumed, c.consumed);
  }
}

// Asking only for the unit (and the count) never fails: a text without a number is read as
// a unit from its start.
TEST(StyleLength, UnitOnlyReadsTextWithoutNumber) {
  const struct {
    std::string text;
    int unit;
    std::size_t consumed;
  } cases[] = {
      {"px", 0, 0},   {"  em", 1, 0}, {"", -1, 0},     {"  ", -1, 0},
      {"auto", 8, 0}, {"12pt", 6, 2}, {"1e999in", 5, 5}, {"PC", 7, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    int unit = -99;
    std::size_t consumed = 99;
    ASSERT_TRUE(parse_length(c.text, nullptr, &unit, &consumed));
    EXPECT_EQ(unit, c.unit);
    EXPECT_EQ(consumed, c.consumed);
    ASSERT_TRUE(parse_length(c.text, nullptr, nullptr, nullptr));
  }
}

TEST(StyleLength, UnitNames) {
  const struct {
    int unit;
    const char* name;
  } cases[] = {{-1, ""}, {0, "px"}, {1, "em"}, {2, "ex"}, {3, "mm"}, {4, "cm"},
               {5, "in"}, {6, "pt"}, {7, "pc"}, {8, ""}, {9, ""}, {1000, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.unit);
    EXPECT_EQ(unit_name(c.unit), c.name);
  }
}

struct convert_case {
  double value;
  int from;
  int to;
  bool ok;
  double expected;
};

TEST(StyleLength, ConvertsThroughMetres) {
  const convert_case cases[] = {
      {1, unit_in, unit_pt, true, 72},
      {1, unit_in, unit_px, true, 96},
      {96, unit_px, unit_in, true, 1},
      {72, unit_pt, unit_px, true, 96},
      {1, unit_pc, unit_pt, true, 12},
      {10, unit_mm, unit_cm, true, 1},
      {2.54, unit_cm, unit_in, true, 1},
      {1, unit_in, unit_mm, true, 25.4},
      {-3, unit_cm, unit_mm, true, -30},
      {0, unit_pt, unit_pc, true, 0},
      {3.5, unit_em, unit_em, true, 3.5},
      {2, unit_other, unit_other, true, 2},
      {2, unit_none, unit_none, true, 2},
      {1, unit_em, unit_px, false, 0},
      {1, unit_px, unit_em, false, 0},
      {1, unit_ex, unit_pt, false, 0},
      {1, unit_other, unit_px, false, 0},
      {1, unit_none, unit_px, false, 0},
      {1, unit_px, unit_none, false, 0},
      {1, 42, unit_px, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + " from " + std::to_string(c.from) + " to " +
                 std::to_string(c.to));
    double out = -99;
    ASSERT_EQ(convert_length(c.value, c.from, c.to, &out), c.ok);
    EXPECT_EQ(convert_length(c.value, c.from, c.to, nullptr), c.ok);
    if (c.ok)
      EXPECT_NEAR(out, c.expected, 1e-9 * (1 + std::fabs(c.expected)));
    else
      EXPECT_EQ(out, -99);
  }
}

TEST(StyleLength, PixelsFollowScreenResolution) {
  EXPECT_EQ(screen_resolution(), 96);
  resolution_guard guard(120);
  double out = 0;
  ASSERT_TRUE(convert_length(1, unit_in, unit_px, &out));
  EXPECT_NEAR(out, 120, 1e-9);
  ASSERT_TRUE(convert_length(60, unit_px, unit_pt, &out));
  EXPECT_NEAR(out, 36, 1e-9);
  for (double bad : {0.0, -96.0, std::nan("")}) {
    set_screen_resolution(bad);
    EXPECT_EQ(screen_resolution(), 120);
  }
}

struct font_case {
  std::string text;
  bool ok;
  int italic;
  int weight;
  int height;
  std::string face;
};

TEST(StyleFont, ReadsShorthand) {
  const font_case cases[] = {
      {"italic bold 12pt Arial", true, 1, 700, -16, "Arial"},
      {"600 10pt Times New Roman", true, 0, 600, -13, "Times New Roman"},
      {"12pt Arial", true, 0, 400, -16, "Arial"},
      {"bold 8pt Tahoma", true, 0, 700, -11, "Tahoma"},
      {"i b 9pt Courier", true, 1, 700, -12, "Courier"},
      {"ital bo 9pt Courier", true, 1, 700, -12, "Courier"},
      {"italic 600 7pt X", true, 1, 600, -9, "X"},
      {"0 10pt X", true, 0, 0, -13, "X"},
      {"1000 10pt X", true, 0, 1000, -13, "X"},
      {"12.5pt Arial", true, 0, 400, -16, "Arial"},
      {"12 Arial", true, 0, 400, -16, "Arial"},
      {"11px Arial", true, 0, 400, -15, "Arial"},
      {"10pt 12 Arial", true, 0, 10, -16, "Arial"},
      {"  italic   14pt   Lucida Console  ", true, 1, 400, -19, "Lucida Console  "},
      {"\t12pt\tArial", true, 0, 400, -16, "Arial"},
      {"12pt", false, 0, 0, 0, ""},
      {"12pt   ", false, 0, 0, 0, ""},
      {"bold Arial", false, 0, 0, 0, ""},
      {"italic bold Arial", false, 0, 0, 0, ""},
      {"", false, 0, 0, 0, ""},
      {"   ", false, 0, 0, 0, ""},
      {"italics 12pt Arial", false, 0, 0, 0, ""},
      {"bolder 12pt Arial", false, 0, 0, 0, ""},
      {"Italic 12pt Arial", false, 0, 0, 0, ""},
      {"bold italic 12pt Arial", false, 0, 0, 0, ""},
      {"1001 10pt X", false, 0, 0, 0, ""},
      {"99999999999999999999999 10pt X", false, 0, 0, 0, ""},
      {"0pt Arial", false, 0, 0, 0, ""},
      {"99999999999pt Arial", false, 0, 0, 0, ""},
      {"-12pt Arial", false, 0, 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    logfont f;
    f.lfHeight = 12345;
    std::strcpy(f.lfFaceName, "kept");
    ASSERT_EQ(parse_font(c.text, f), c.ok);
    if (!c.ok) {
      EXPECT_EQ(f.lfHeight, 12345);
      EXPECT_STREQ(f.lfFaceName, "kept");
      continue;
    }
    EXPECT_EQ(f.lfItalic, c.italic);
    EXPECT_EQ(f.lfWeight, c.weight);
    EXPECT_EQ(f.lfHeight, c.height);
    EXPECT_STREQ(f.lfFaceName, c.face.c_str());
    EXPECT_EQ(f.lfWidth + f.lfEscapement + f.lfOrientation, 0);
    EXPECT_EQ(f.lfUnderline + f.lfStrikeOut + f.lfCharSet + f.lfQuality, 0);
  }
}

// A face longer than the record holds is cut so that the record still ends in a terminator.
TEST(StyleFont, LongFaceNameStaysTerminated) {
  logfont f;
  ASSERT_TRUE(parse_font("12pt " + std::string(40, 'A'), f));
  EXPECT_EQ(f.lfFaceName[31], '\0');
  EXPECT_EQ(std::string(f.lfFaceName), std::string(31, 'A'));
}

TEST(StyleFont, PointsFollowScreenResolution) {
  resolution_guard guard(120);
  logfont f;
  ASSERT_TRUE(parse_font("12pt Arial", f));
  EXPECT_EQ(f.lfHeight, -20);
  std::string text;
  ASSERT_TRUE(format_font(f, text));
  EXPECT_EQ(text, "12pt Arial");
}

logfont make_font(int italic, int weight, int height, const char* face) {
  logfont f;
  f.lfItalic = static_cast<std::uint8_t>(italic);
  f.lfWeight = weight;
  f.lfHeight = height;
  // A face of 32 bytes or more fills the field without a terminator, as the record allows.
  std::memset(f.lfFaceName, 0, sizeof f.lfFaceName);
  std::memcpy(f.lfFaceName, face, std::min(std::strlen(face), sizeof f.lfFaceName));
  return f;
}

TEST(StyleFont, WritesShorthand) {
  const struct {
    logfont font;
    bool ok;
    std::string text;
  } cases[] = {
      {make_font(1, 700, -16, "Arial"), true, "italic bold 12pt Arial"},
      {make_font(0, 600, -13, "Times New Roman"), true, "600 10pt Times New Roman"},
      {make_font(0, 400, -16, "Arial"), true, "12pt Arial"},
      {make_font(0, 0, -16, "Arial"), true, "12pt Arial"},
      {make_font(0, 100, 16, "Arial"), true, "100 12pt Arial"},
      {make_font(1, 400, -1, "X"), true, "italic 1pt X"},
      {make_font(0, -5, -16, "X"), true, "-5 12pt X"},
      {make_font(0, 400, INT32_MIN, "X"), true, "1610612736pt X"},
      {make_font(0, 400, -16, "0123456789012345678901234567890123456789"), true,
       "12pt 01234567890123456789012345678901"},
      {make_font(1, 700, 0, "Arial"), false, "unchanged"},
      {make_font(1, 700, -16, ""), false, "unchanged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string out = "unchanged";
    ASSERT_EQ(format_font(c.font, out), c.ok);
    EXPECT_EQ(out, c.text);
  }
}

TEST(StyleFont, RoundTripsItsOwnText) {
  const char* texts[] = {"italic bold 12pt Arial", "600 10pt Times New Roman", "7pt X",
                         "11pt Y", "italic 8pt Z", "bold 36pt Courier New", "900 1pt W"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    logfont f;
    ASSERT_TRUE(parse_font(text, f));
    std::string out;
    ASSERT_TRUE(format_font(f, out));
    EXPECT_EQ(out, text);
  }
}

}  // namespace
}  // namespace quillet
