// The fixed palettes of captured pictures.
//
// 4 bits: the 16 colours of the standard VGA set in its usual order: black, the eight dark
// colours, silver, grey, then the six bright colours and white.
//
// 8 bits, 256 entries:
//   0..9     the first ten static system colours (black, dark red, dark green, olive, navy,
//            purple, teal, silver, money green #C0DCC0, sky blue #A6CAF0);
//   10..225  a 6 x 6 x 6 colour cube with the levels 00 33 66 99 CC FF, index
//            10 + 36 * red level + 6 * green level + blue level;
//   226..245 a ramp of 20 greys that fall between the cube's greys, four in each gap, the
//            last one the button face #F0F0F0 so that a control's background maps exactly;
//   246..255 the last ten static system colours (cream #FFFBF0, medium grey #A0A0A4, grey,
//            red, lime, yellow, blue, magenta, cyan, white).
#include "platform/gdi/palette.h"

namespace quillet::gdi {
namespace {

constexpr rgb_colour vga_colours[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr rgb_colour static_low[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                       0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
constexpr rgb_colour static_high[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                        0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::uint8_t grey_ramp[20] = {10,  20,  31,  41,  61,  71,  82,  92,  112, 122,
                                        133, 143, 163, 173, 184, 194, 214, 224, 234, 240};
constexpr std::uint8_t cube_levels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};

rgb_quad quad_of(rgb_colour c) {
  return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
          static_cast<std::uint8_t>((c >> 16) & 0xFF), 0};
}

colour_table make_vga_table() {
  colour_table t;
  t.count = 16;
  for (int i = 0; i < 16; ++i)
    t.entries[i] = quad_of(vga_colours[i]);
  return t;
}

// Lays out the 256-entry table as the file comment describes.
colour_table make_system_table() {
  colour_table t;
  t.count = 256;
  for (int i = 0; i < 10; ++i) {
    t.entries[i] = quad_of(static_low[i]);
    t.entries[246 + i] = quad_of(static_high[i]);
  }
  int n = 10;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        t.entries[n++] = {cube_levels[b], cube_levels[g], cube_levels[r], 0};
  for (int i = 0; i < 20; ++i)
    t.entries[226 + i] = {grey_ramp[i], grey_ramp[i], grey_ramp[i], 0};
  return t;
}

}  // namespace

const colour_table& fixed_palette(int bits_per_pixel) {
  static const colour_table vga = make_vga_table();
  static const colour_table system = make_system_table();
  static const colour_table none;
  if (bits_per_pixel == 4)
    return vga;
  if (bits_per_pixel == 8)
    return system;
  return none;
}

rgb_colour entry_colour(const rgb_quad& e) {
  return (rgb_colour{e.red} << 16) | (rgb_colour{e.green} << 8) | e.blue;
}

palette_mapper::palette_mapper(const colour_table& table) : table_(table) {}

// Full search over the table: least squared RGB distance, the first entry on a tie.
std::uint8_t palette_mapper::search(rgb_colour colour) const {
  int r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
  int best = 0;
  int best_distance = 1 << 30;
  for (int i = 0; i < table_.count; ++i) {
    const rgb_quad& e = table_.entries[i];
    int dr = r - e.red, dg = g - e.green, db = b - e.blue;
    int distance = dr * dr + dg * dg + db * db;
    if (distance >= best_distance)
      continue;
    best = i;
    best_distance = distance;
    if (distance == 0)
      break;
  }
  return static_cast<std::uint8_t>(best);
}

// Answers from the cache slot of the colour when it holds that colour, else searches and
// fills the slot.
std::uint8_t palette_mapper::index_of(rgb_colour colour) {
  colour &= 0xFFFFFFu;
  std::uint32_t slot = (colour * 2654435761u) >> (32 - cache_bits);
  std::uint32_t key = colour | 0x1000000u;
  if (keys_[slot] == key)
    return indices_[slot];
  std::uint8_t index = search(colour);
  keys_[slot] = key;
  indices_[slot] = index;
  return index;
}

}  // namespace quillet::gdi
