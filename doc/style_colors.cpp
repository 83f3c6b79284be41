// HTML colours: the colour-name table, "#RGB" and "#RRGGBB" texts, and their writer.
#include <array>
#include <cstdio>

#include "doc/style_values.h"

namespace quillet {

namespace {

// The colour keywords with their standard values. Grey names are spelt with A except
// LIGHTGREY, and the cornflower blue row is named CORNFLOWER, as templates have always had it.
constexpr std::array<color_name_row, 140> k_color_names{{
    {"ALICEBLUE", "#F0F8FF"},         {"ANTIQUEWHITE", "#FAEBD7"},
    {"AQUA", "#00FFFF"},              {"AQUAMARINE", "#7FFFD4"},
    {"AZURE", "#F0FFFF"},             {"BEIGE", "#F5F5DC"},
    {"BISQUE", "#FFE4C4"},            {"BLACK", "#000000"},
    {"BLANCHEDALMOND", "#FFEBCD"},    {"BLUE", "#0000FF"},
    {"BLUEVIOLET", "#8A2BE2"},        {"BROWN", "#A52A2A"},
    {"BURLYWOOD", "#DEB887"},         {"CADETBLUE", "#5F9EA0"},
    {"CHARTREUSE", "#7FFF00"},        {"CHOCOLATE", "#D2691E"},
    {"CORAL", "#FF7F50"},             {"CORNFLOWER", "#6495ED"},
    {"CORNSILK", "#FFF8DC"},          {"CRIMSON", "#DC143C"},
    {"CYAN", "#00FFFF"},              {"DARKBLUE", "#00008B"},
    {"DARKCYAN", "#008B8B"},          {"DARKGOLDENROD", "#B8860B"},
    {"DARKGRAY", "#A9A9A9"},          {"DARKGREEN", "#006400"},
    {"DARKKHAKI", "#BDB76B"},         {"DARKMAGENTA", "#8B008B"},
    {"DARKOLIVEGREEN", "#556B2F"},    {"DARKORANGE", "#FF8C00"},
    {"DARKORCHID", "#9932CC"},        {"DARKRED", "#8B0000"},
    {"DARKSALMON", "#E9967A"},        {"DARKSEAGREEN", "#8FBC8F"},
    {"DARKSLATEBLUE", "#483D8B"},     {"DARKSLATEGRAY", "#2F4F4F"},
    {"DARKTURQUOISE", "#00CED1"},     {"DARKVIOLET", "#9400D3"},
    {"DEEPPINK", "#FF1493"},          {"DEEPSKYBLUE", "#00BFFF"},
    {"DIMGRAY", "#696969"},           {"DODGERBLUE", "#1E90FF"},
    {"FIREBRICK", "#B22222"},         {"FLORALWHITE", "#FFFAF0"},
    {"FORESTGREEN", "#228B22"},       {"FUCHSIA", "#FF00FF"},
    {"GAINSBORO", "#DCDCDC"},         {"GHOSTWHITE", "#F8F8FF"},
    {"GOLD", "#FFD700"},              {"GOLDENROD", "#DAA520"},
    {"GRAY", "#808080"},              {"GREEN", "#008000"},
    {"GREENYELLOW", "#ADFF2F"},       {"HONEYDEW", "#F0FFF0"},
    {"HOTPINK", "#FF69B4"},           {"INDIANRED", "#CD5C5C"},
    {"INDIGO", "#4B0082"},            {"IVORY", "#FFFFF0"},
    {"KHAKI", "#F0E68C"},             {"LAVENDER", "#E6E6FA"},
    {"LAVENDERBLUSH", "#FFF0F5"},     {"LAWNGREEN", "#7CFC00"},
    {"LEMONCHIFFON", "#FFFACD"},      {"LIGHTBLUE", "#ADD8E6"},
    {"LIGHTCORAL", "#F08080"},        {"LIGHTCYAN", "#E0FFFF"},
    {"LIGHTGOLDENRODYELLOW", "#FAFAD2"}, {"LIGHTGREEN", "#90EE90"},
    {"LIGHTGREY", "#D3D3D3"},         {"LIGHTPINK", "#FFB6C1"},
    {"LIGHTSALMON", "#FFA07A"},       {"LIGHTSEAGREEN", "#20B2AA"},
    {"LIGHTSKYBLUE", "#87CEFA"},      {"LIGHTSLATEGRAY", "#778899"},
    {"LIGHTSTEELBLUE", "#B0C4DE"},    {"LIGHTYELLOW", "#FFFFE0"},
    {"LIME", "#00FF00"},              {"LIMEGREEN", "#32CD32"},
    {"LINEN", "#FAF0E6"},             {"MAGENTA", "#FF00FF"},
    {"MAROON", "#800000"},            {"MEDIUMAQUAMARINE", "#66CDAA"},
    {"MEDIUMBLUE", "#0000CD"},        {"MEDIUMORCHID", "#BA55D3"},
    {"MEDIUMPURPLE", "#9370DB"},      {"MEDIUMSEAGREEN", "#3CB371"},
    {"MEDIUMSLATEBLUE", "#7B68EE"},   {"MEDIUMSPRINGGREEN", "#00FA9A"},
    {"MEDIUMTURQUOISE", "#48D1CC"},   {"MEDIUMVIOLETRED", "#C71585"},
    {"MIDNIGHTBLUE", "#191970"},      {"MINTCREAM", "#F5FFFA"},
    {"MISTYROSE", "#FFE4E1"},         {"MOCCASIN", "#FFE4B5"},
    {"NAVAJOWHITE", "#FFDEAD"},       {"NAVY", "#000080"},
    {"OLDLACE", "#FDF5E6"},           {"OLIVE", "#808000"},
    {"OLIVEDRAB", "#6B8E23"},         {"ORANGE", "#FFA500"},
    {"ORANGERED", "#FF4500"},         {"ORCHID", "#DA70D6"},
    {"PALEGOLDENROD", "#EEE8AA"},     {"PALEGREEN", "#98FB98"},
    {"PALETURQUOISE", "#AFEEEE"},     {"PALEVIOLETRED", "#DB7093"},
    {"PAPAYAWHIP", "#FFEFD5"},        {"PEACHPUFF", "#FFDAB9"},
    {"PERU", "#CD853F"},              {"PINK", "#FFC0CB"},
    {"PLUM", "#DDA0DD"},              {"POWDERBLUE", "#B0E0E6"},
    {"PURPLE", "#800080"},            {"RED", "#FF0000"},
    {"ROSYBROWN", "#BC8F8F"},         {"ROYALBLUE", "#4169E1"},
    {"SADDLEBROWN", "#8B4513"},       {"SALMON", "#FA8072"},
    {"SANDYBROWN", "#F4A460"},        {"SEAGREEN", "#2E8B57"},
    {"SEASHELL", "#FFF5EE"},          {"SIENNA", "#A0522D"},
    {"SILVER", "#C0C0C0"},            {"SKYBLUE", "#87CEEB"},
    {"SLATEBLUE", "#6A5ACD"},         {"SLATEGRAY", "#708090"},
    {"SNOW", "#FFFAFA"},              {"SPRINGGREEN", "#00FF7F"},
    {"STEELBLUE", "#4682B4"},         {"TAN", "#D2B48C"},
    {"TEAL", "#008080"},              {"THISTLE", "#D8BFD8"},
    {"TOMATO", "#FF6347"},            {"TURQUOISE", "#40E0D0"},
    {"VIOLET", "#EE82EE"},            {"WHEAT", "#F5DEB3"},
    {"WHITE", "#FFFFFF"},             {"WHITESMOKE", "#F5F5F5"},
    {"YELLOW", "#FFFF00"},            {"YELLOWGREEN", "#9ACD32"},
}};

// Longest text parse_color looks at; no name or hex form needs more.
constexpr std::size_t k_color_text_max = 39;

// The value of one hexadecimal digit, or -1 for any other byte.
int hex_digit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// True when text[from, from + 3) are three hexadecimal digits; they go to digits[0..2].
bool read_three_hex(std::string_view text, std::size_t from, int digits[3]) {
  if (text.size() < from + 3)
    return false;
  for (int i = 0; i < 3; ++i) {
    digits[i] = hex_digit(text[from + i]);
    if (digits[i] < 0)
      return false;
  }
  return true;
}

// The first 39 bytes with ASCII letters upper-cased: names match whatever their case, while
// bytes of the code page's upper half stay as they are.
std::string upper_ascii_prefix(std::string_view text) {
  std::string s(text.substr(0, k_color_text_max));
  for (char& c : s)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The "#RRGGBB" text of a colour name, or an empty view when the table has no such name.
std::string_view lookup_color_name(std::string_view name) {
  for (const auto& row : k_color_names)
    if (name == row.name)
      return row.rgb;
  return {};
}

// Reads "#RGB" (each digit times 17) or "#RRGGBB..." (the first six digits) from an
// upper-cased text that begins with "#".
bool read_hex_color(std::string_view text, colorref* out) {
  int high[3];
  if (!read_three_hex(text, 1, high))
    return false;
  if (text.size() == 4) {
    if (out)
      *out = make_colorref(high[0] * 17, high[1] * 17, high[2] * 17);
    return true;
  }
  int low[3];
  if (!read_three_hex(text, 4, low))
    return false;
  if (out)
    *out = make_colorref(high[0] * 16 + high[1], high[2] * 16 + low[0], low[1] * 16 + low[2]);
  return true;
}

}  // namespace

std::span<const color_name_row> color_names() { return k_color_names; }

// A name is looked up whole and replaced by its hex text, so both roads end in the same
// hex reader; text past the seventh character of a hex form is ignored.
bool parse_color(std::string_view text, colorref* out) {
  std::string upper = upper_ascii_prefix(text);
  std::string_view hex = upper;
  if (hex.empty() || hex[0] != '#') {
    hex = lookup_color_name(hex);
    if (hex.empty())
      return false;
  }
  return read_hex_color(hex, out);
}

std::string format_color(colorref c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%.2X%.2X%.2X", color_red(c), color_green(c), color_blue(c));
  return buf;
}

}  // namespace quillet
