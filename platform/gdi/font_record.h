// The font record of the drawing stand-in, laid out as the 60-byte Windows record the trend
// control takes in its settings. The template's font reader fills it; the trend control
// draws its labels from it.
#pragma once

#include <cstdint>

namespace quillet {

// The readers use the height, weight, italic flag and face name and leave the rest 0.
struct logfont {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};
static_assert(sizeof(logfont) == 60, "the font record must keep its 60-byte layout");

}  // namespace quillet
