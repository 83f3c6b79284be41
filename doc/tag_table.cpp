// The table of known tags, sorted byte-wise by name, and its lookup by a perfect hash.
#include "doc/html_elt_def.h"

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

// The bytes of a name that tell the rows apart: its length, first, second, second-to-last and
// last bytes, packed into one word for the multiplicative hash below.
constexpr std::uint64_t name_key(std::string_view name) {
  std::size_t n = name.size();
  if (n == 0)
    return 0;
  auto at = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(name[i])); };
  std::uint64_t second = n > 1 ? at(1) : 0, before_last = n > 1 ? at(n - 2) : 0;
  return n | at(0) << 8 | at(n - 1) << 16 | second << 24 | before_last << 32;
}

// A multiplier under which the keys of the 93 rows fall into distinct slots of 512: a name
// is then looked up with one hash and one comparison.
constexpr std::uint64_t hash_factor = 0x44340a0d96a9f62full;
constexpr unsigned hash_bits = 9;
constexpr std::size_t hash_slots = std::size_t(1) << hash_bits;
constexpr std::uint8_t no_row = 0xFF;

constexpr std::size_t slot_of(std::string_view name) {
  return static_cast<std::size_t>((name_key(name) * hash_factor) >> (64 - hash_bits));
}

// Row number by slot; building it fails to compile if two rows ever share a slot.
constexpr std::array<std::uint8_t, hash_slots> make_slots() {
  std::array<std::uint8_t, hash_slots> slots{};
  for (auto& s : slots)
    s = no_row;
  for (std::size_t i = 0; i < table.size(); ++i) {
    std::size_t s = slot_of(table[i].name);
    if (slots[s] != no_row)
      throw "two tag names share a hash slot";
    slots[s] = static_cast<std::uint8_t>(i);
  }
  return slots;
}

constexpr std::array<std::uint8_t, hash_slots> slots = make_slots();

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

// Byte-wise equality of two short names, inline: tag names are a few bytes long, and a
// library call would cost more than the comparison.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i])
      return false;
  return true;
}

// The table is sorted so that rows have fixed numbers in name order.
constexpr bool table_is_sorted() {
  for (std::size_t i = 1; i < table.size(); ++i)
    if (!(table[i - 1].name < table[i].name))
      return false;
  return true;
}
static_assert(table_is_sorted(), "tag table rows must be in byte order of their names");

}  // namespace

const html_elt_def* find_tag_def(std::string_view name) {
  if (name.size() > longest_name)
    return nullptr;
  std::uint8_t row = slots[slot_of(name)];
  if (row == no_row || !same_name(table[row].name, name))
    return nullptr;
  return &table[row];
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
