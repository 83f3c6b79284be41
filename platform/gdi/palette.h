// The fixed palettes a captured picture is mapped to, and the nearest-colour mapper with its
// lookup cache. The palettes are constant tables; a mapper refers to one and owns its cache.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/drawing_surface.h"

namespace quillet::gdi {

// One colour-table entry in the byte order of a bitmap file: blue, green, red, reserved.
struct rgb_quad {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
};

// A colour table of 16 or 256 entries.
struct colour_table {
  int count = 0;
  std::array<rgb_quad, 256> entries{};
};

// The table for 4 or 8 bits per pixel; any other depth gives an empty table (count 0).
const colour_table& fixed_palette(int bits_per_pixel);

// The colour of a table entry as 0xRRGGBB.
rgb_colour entry_colour(const rgb_quad& entry);

// Maps colours to the index of the nearest table entry (least squared distance in RGB; on a
// tie the lower index). A direct-mapped cache remembers recent answers, since a drawing
// holds few distinct colours and a full search costs a pass over the whole table.
class palette_mapper {
public:
  explicit palette_mapper(const colour_table& table);
  std::uint8_t index_of(rgb_colour colour);

private:
  static constexpr int cache_bits = 12;
  std::uint8_t search(rgb_colour colour) const;

  const colour_table& table_;
  // Each slot holds the colour with bit 24 set when filled, and the index found for it.
  std::array<std::uint32_t, 1u << cache_bits> keys_{};
  std::array<std::uint8_t, 1u << cache_bits> indices_{};
};

}  // namespace quillet::gdi
