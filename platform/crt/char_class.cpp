// Character class tables for the three supported code pages.
#include "platform/crt/char_class.h"

#include <array>
#include <cstdlib>
#include <string>

namespace quillet::crt {

namespace {

enum : unsigned char { k_alpha = 1, k_upper = 2, k_lower = 4, k_space = 8, k_digit = 16 };

struct class_table {
  std::array<unsigned char, 256> bits{};
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
};

void add_pair(class_table& t, int up, int low) {
  t.bits[up] = k_alpha | k_upper;
  t.bits[low] = k_alpha | k_lower;
  t.upper[low] = static_cast<unsigned char>(up);
  t.lower[up] = static_cast<unsigned char>(low);
}

// ASCII part, common to all code pages.
class_table ascii_table() {
  class_table t;
  for (int c = 0; c < 256; ++c) {
    t.upper[c] = static_cast<unsigned char>(c);
    t.lower[c] = static_cast<unsigned char>(c);
  }
  for (int c = 'A'; c <= 'Z'; ++c)
    add_pair(t, c, c + 32);
  for (int c = '0'; c <= '9'; ++c)
    t.bits[c] = k_digit;
  for (int c : {' ', '\t', '\n', '\v', '\f', '\r'})
    t.bits[c] = k_space;
  return t;
}

// Western European: Latin-1 letters plus the extra letters of 0x80..0x9F. The no-break
// space 0xA0 is white space, as the system's classification of U+00A0 makes it.
class_table cp1252_table() {
  class_table t = ascii_table();
  t.bits[0xA0] = k_space;
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7)
      add_pair(t, c, c + 32);
  add_pair(t, 0x8A, 0x9A);
  add_pair(t, 0x8C, 0x9C);
  add_pair(t, 0x8E, 0x9E);
  add_pair(t, 0x9F, 0xFF);
  for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF})
    t.bits[c] = k_alpha | k_lower;
  return t;
}

// Cyrillic: the 64 letters of 0xC0..0xFF and the extra letters below them, the micro sign
// (a lower-case letter without an upper-case partner here) and the no-break space 0xA0.
class_table cp1251_table() {
  class_table t = ascii_table();
  t.bits[0xA0] = k_space;
  t.bits[0xB5] = k_alpha | k_lower;
  for (int c = 0xC0; c <= 0xDF; ++c)
    add_pair(t, c, c + 32);
  const int pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
                          {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
                          {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
  for (const auto& p : pairs)
    add_pair(t, p[0], p[1]);
  return t;
}

// GBK: bytes of 0x80 and above are halves of double-byte characters, never letters.
class_table gbk_table() { return ascii_table(); }

const class_table& table_for(codepage cp) {
  static const class_table w1252 = cp1252_table();
  static const class_table w1251 = cp1251_table();
  static const class_table gbk = gbk_table();
  switch (cp) {
  case codepage::cp1251: return w1251;
  case codepage::gbk: return gbk;
  case codepage::cp1252: break;
  }
  return w1252;
}

codepage initial_codepage() {
  codepage cp = codepage::cp1252;
  if (const char* env = std::getenv("QUILLET_CODEPAGE"))
    parse_codepage(env, cp);
  return cp;
}

codepage active = initial_codepage();
const class_table* active_table = &table_for(active);

unsigned char bits_of(int c) {
  if (c < 0 || c > 255)
    return 0;
  return active_table->bits[c];
}

}  // namespace

codepage current_codepage() { return active; }

void set_codepage(codepage cp) {
  active = cp;
  active_table = &table_for(cp);
}

bool parse_codepage(std::string_view name, codepage& out) {
  std::string n;
  for (char ch : name)
    n += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
  if (n == "1252" || n == "cp1252" || n == "windows-1252") { out = codepage::cp1252; return true; }
  if (n == "1251" || n == "cp1251" || n == "windows-1251") { out = codepage::cp1251; return true; }
  if (n == "936" || n == "cp936" || n == "gbk") { out = codepage::gbk; return true; }
  return false;
}

const char* codepage_iconv_name(codepage cp) {
  switch (cp) {
  case codepage::cp1251: return "WINDOWS-1251";
  case codepage::gbk: return "GBK";
  case codepage::cp1252: break;
  }
  return "WINDOWS-1252";
}

bool is_space(int c) { return bits_of(c) & k_space; }
bool is_alpha(int c) { return bits_of(c) & k_alpha; }
bool is_digit(int c) { return bits_of(c) & k_digit; }
bool is_alnum(int c) { return bits_of(c) & (k_alpha | k_digit); }
bool is_upper(int c) { return bits_of(c) & k_upper; }
bool is_lower(int c) { return bits_of(c) & k_lower; }
int to_upper(int c) { return c < 0 || c > 255 ? c : active_table->upper[c]; }
int to_lower(int c) { return c < 0 || c > 255 ? c : active_table->lower[c]; }

}  // namespace quillet::crt
