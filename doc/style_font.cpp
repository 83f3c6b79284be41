// The CSS font shorthand "[italic] [bold|WEIGHT] SIZE FACE" read into a font record and
// written back from one. Sizes are points; the record holds a pixel height at the screen
// resolution, negative as for a character height.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "doc/style_values.h"
#include "platform/crt/char_class.h"

namespace quillet {

namespace {

constexpr std::int32_t k_weight_normal = 400;
constexpr std::int32_t k_weight_bold = 700;
constexpr std::int32_t k_weight_max = 1000;
constexpr int k_points_per_inch = 72;

bool is_space_at(std::string_view s, std::size_t i) {
  return crt::is_space(static_cast<unsigned char>(s[i]));
}

// Walks the words of a font text, each the run up to the next space.
struct word_reader {
  std::string_view text;
  std::size_t pos = 0;

  std::size_t skip_spaces() {
    while (pos < text.size() && is_space_at(text, pos))
      ++pos;
    return pos;
  }
  std::string_view next() {
    std::size_t start = skip_spaces();
    while (pos < text.size() && !is_space_at(text, pos))
      ++pos;
    return text.substr(start, pos - start);
  }
  // The next word without moving past it.
  std::string_view peek() const {
    word_reader copy = *this;
    return copy.next();
  }
  std::string_view rest() {
    skip_spaces();
    return text.substr(pos);
  }
};

bool starts_with_digit(std::string_view word) {
  return !word.empty() && crt::is_digit(static_cast<unsigned char>(word[0]));
}

// True when the word is the first letters of `keyword` (the empty word included), so "i"
// and "ital" stand for italic; a longer word never matches.
bool abbreviates(std::string_view word, std::string_view keyword) {
  return word.size() <= keyword.size() && keyword.substr(0, word.size()) == word;
}

// The leading digits of a word as a number, as atoi reads them ("12pt" is 12); saturates
// instead of overflowing, so an absurd number is merely out of range.
std::int64_t leading_number(std::string_view word) {
  constexpr std::int64_t cap = std::int64_t{1} << 40;
  std::int64_t n = 0;
  for (char c : word) {
    if (!crt::is_digit(static_cast<unsigned char>(c)))
      break;
    n = std::min(cap, n * 10 + (c - '0'));
  }
  return n;
}

// a * b / c rounded half away from zero; false when c is 0 or the result leaves 32 bits.
bool mul_div(std::int64_t a, std::int64_t b, std::int64_t c, std::int32_t& out) {
  if (c == 0)
    return false;
  long double q = std::round(static_cast<long double>(a) * b / c);
  if (q > std::numeric_limits<std::int32_t>::max() || q < std::numeric_limits<std::int32_t>::min())
    return false;
  out = static_cast<std::int32_t>(q);
  return true;
}

std::int64_t resolution_dpi() { return std::llround(screen_resolution()); }

// Reads the optional weight word: "bold" and its abbreviations give 700; a number followed
// by another number-led word is a weight of 0 to 1000. Returns false for a weight out of range.
bool read_weight(word_reader& words, std::string_view& word, std::int32_t& weight) {
  weight = k_weight_normal;
  if (abbreviates(word, "bold")) {
    weight = k_weight_bold;
    word = words.next();
    return true;
  }
  if (!starts_with_digit(word) || !starts_with_digit(words.peek()))
    return true;
  std::int64_t w = leading_number(word);
  if (w > k_weight_max)
    return false;
  weight = static_cast<std::int32_t>(w);
  word = words.next();
  return true;
}

}  // namespace

// Fills a fresh record and hands it over only when the whole text was read, so a caller's
// font survives an unreadable text. The face name is cut to 31 bytes and always terminated.
bool parse_font(std::string_view text, logfont& font) {
  logfont f;
  word_reader words{text};
  std::string_view word = words.next();
  if (abbreviates(word, "italic")) {
    f.lfItalic = 1;
    word = words.next();
  }
  if (!read_weight(words, word, f.lfWeight))
    return false;
  if (!starts_with_digit(word))
    return false;
  std::int64_t size = leading_number(word);
  std::int32_t height = 0;
  if (size == 0 || !mul_div(size, resolution_dpi(), k_points_per_inch, height))
    return false;
  f.lfHeight = -height;
  std::string_view face = words.rest();
  if (face.empty())
    return false;
  std::size_t n = std::min(face.size(), sizeof f.lfFaceName - 1);
  std::memcpy(f.lfFaceName, face.data(), n);
  font = f;
  return true;
}

// Writes the words parse_font reads back: a normal weight (0 or 400) is left out, and the
// pixel height becomes whole points at the screen resolution.
bool format_font(const logfont& font, std::string& out) {
  std::size_t face_len = strnlen(font.lfFaceName, sizeof font.lfFaceName);
  if (font.lfHeight == 0 || face_len == 0)
    return false;
  std::int32_t points = 0;
  if (!mul_div(std::abs(std::int64_t{font.lfHeight}), k_points_per_inch, resolution_dpi(), points))
    return false;
  std::string s;
  if (font.lfItalic)
    s += "italic ";
  if (font.lfWeight == k_weight_bold)
    s += "bold ";
  else if (font.lfWeight != 0 && font.lfWeight != k_weight_normal)
    s += std::to_string(font.lfWeight) + " ";
  s += std::to_string(points) + "pt ";
  s.append(font.lfFaceName, face_len);
  out = std::move(s);
  return true;
}

}  // namespace quillet
