// The colour record of the drawing stand-in: red, green and blue packed as 0x00BBGGRR, the
// order Windows drawing calls take. Colours read from templates and colours drawn by the
// trend control are both in this form.
#pragma once

#include <cstdint>

namespace quillet {

// A colour as 0x00BBGGRR: red in the low byte.
using colorref = std::uint32_t;

constexpr colorref make_colorref(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}
constexpr unsigned color_red(colorref c) { return c & 0xFFu; }
constexpr unsigned color_green(colorref c) { return (c >> 8) & 0xFFu; }
constexpr unsigned color_blue(colorref c) { return (c >> 16) & 0xFFu; }

}  // namespace quillet
