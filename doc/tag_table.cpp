// The table of known tags, sorted byte-wise by name so that lookups can bisect it.
#include "doc/html_elt_def.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quillet {

namespace {

using d = html_elt_def;
constexpr std::uint32_t E = d::EMPTY, R = d::RAW_TEXT, I = d::INLINE, B = d::BLOCK,
                        H = d::HEAD_CONTENT, COL = d::COLUMN, ROW = d::ROW, CELL = d::CELL;

constexpr std::array<html_elt_def, tag_table_size> table = {{
    {"A", I, I},           {"ABBR", I, I},        {"ACRONYM", I, I},      {"ADDRESS", B, I},
    {"APPLET", I, 0},      {"AREA", E, 0},        {"B", I, I},            {"BASE", E | H, 0},
    {"BASEFONT", E | I, 0}, {"BDO", I, I},        {"BIG", I, I},          {"BLOCKQUOTE", B, 0},
    {"BODY", 0, 0},        {"BR", E | I, 0},      {"BUTTON", I, 0},       {"CAPTION", 0, I},
    {"CENTER", B, 0},      {"CITE", I, I},        {"CODE", I, I},         {"COL", E | COL, 0},
    {"COLGROUP", 0, COL},  {"DD", 0, I | B},      {"DEL", B, 0},          {"DFN", I, I},
    {"DIR", B, 0},         {"DIV", B, 0},         {"DL", B, 0},           {"DT", 0, I},
    {"EM", I, I},          {"FIELDSET", B, 0},    {"FONT", I, I},         {"FORM", B, 0},
    {"FRAME", E, 0},       {"FRAMESET", 0, 0},    {"H1", B, I},           {"H2", B, I},
    {"H3", B, I},          {"H4", B, I},          {"H5", B, I},           {"H6", B, I},
    {"HEAD", 0, 0},        {"HR", E | B, 0},      {"HTML", 0, 0},         {"I", I, I},
    {"IFRAME", I, 0},      {"IMG", E | I, 0},     {"INPUT", E | I, 0},    {"INS", B, 0},
    {"ISINDEX", E | B | H, 0}, {"KBD", I, I},     {"LABEL", I, I},        {"LEGEND", 0, 0},
    {"LI", 0, I | B},      {"LINK", E | H, 0},    {"LISTING", R | B, 0},  {"MAP", I, 0},
    {"MENU", B, 0},        {"META", E | H, 0},    {"NOFRAMES", B, 0},     {"NOSCRIPT", B, 0},
    {"OBJECT", I | H, 0},  {"OL", B, 0},          {"OPTGROUP", 0, 0},     {"OPTION", 0, 0},
    {"P", B, I},           {"PARAM", E, 0},       {"PRE", B, I},          {"Q", I, I},
    {"S", I, I},           {"SAMP", I, I},        {"SCRIPT", R | I | H, 0}, {"SELECT", I, 0},
    {"SMALL", I, I},       {"SPAN", I, I},        {"STRIKE", I, I},       {"STRONG", I, I},
    {"STYLE", R | H, 0},   {"SUB", I, I},         {"SUP", I, I},          {"TABLE", B, 0},
    {"TBODY", 0, 0},       {"TD", CELL, I | B},   {"TEXTAREA", I, 0},     {"TFOOT", 0, ROW},
    {"TH", CELL, I | B},   {"THEAD", 0, ROW},     {"TITLE", H, 0},        {"TR", ROW, CELL},
    {"TT", I, I},          {"U", I, I},           {"UL", I, 0},           {"VAR", I, I},
    {"XMP", R | B, 0},
}};

// Longest known tag name; longer names cannot be in the table.
constexpr std::size_t longest_name = 10;

// Upper-cases ASCII letters of a name into `out`; false when the name cannot be a table row
// (a unit of 0x80 or above, or longer than any row).
template <class Unit>
bool upper_ascii(std::basic_string_view<Unit> name, char (&out)[longest_name + 1], std::size_t& n) {
  if (name.size() > longest_name)
    return false;
  n = name.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto u = static_cast<std::uint32_t>(name[i]);
    if (u >= 0x80)
      return false;
    out[i] = static_cast<char>(u >= 'a' && u <= 'z' ? u - 32 : u);
  }
  return true;
}

// Byte-wise three-way comparison of two short names, inline: tag names are a few bytes long,
// and a library call per step of the bisection would cost more than the comparison.
int compare_names(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y)
      return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

const html_elt_def* find_tag_def(std::string_view name) {
  if (name.size() > longest_name)
    return nullptr;
  std::size_t lo = 0, hi = table.size();
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    int c = compare_names(table[mid].name, name);
    if (c == 0)
      return &table[mid];
    if (c < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return nullptr;
}

const html_elt_def* find_tag_def_nocase(std::string_view name) {
  char buf[longest_name + 1];
  std::size_t n = 0;
  if (!upper_ascii(name, buf, n))
    return nullptr;
  return find_tag_def(std::string_view(buf, n));
}

const html_elt_def* find_tag_def_nocase(std::u16string_view name) {
  char buf[longest_name + 1];
  std::size_t n = 0;
  if (!upper_ascii(name, buf, n))
    return nullptr;
  return find_tag_def(std::string_view(buf, n));
}

const html_elt_def* tag_def_by_index(std::size_t i) { return i < table.size() ? &table[i] : nullptr; }

}  // namespace quillet
