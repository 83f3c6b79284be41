// Text form of GUIDs.
#include "platform/com/guid.h"

#include <cstdio>

namespace quillet::com {

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// Reads `count` hex digits at `pos` into `out`; false on any other character.
bool read_hex(std::string_view text, std::size_t pos, int count, std::uint32_t& out) {
  out = 0;
  for (int i = 0; i < count; ++i) {
    const int d = hex_digit(text[pos + static_cast<std::size_t>(i)]);
    if (d < 0)
      return false;
    out = out * 16 + static_cast<std::uint32_t>(d);
  }
  return true;
}

// Positions of the two-digit groups of data4: two before the fourth dash, six after it.
constexpr std::size_t data4_pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};

bool parse_braced(std::string_view text, GUID& id) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}')
    return false;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-')
    return false;
  std::uint32_t v = 0;
  if (!read_hex(text, 1, 8, id.data1))
    return false;
  if (!read_hex(text, 10, 4, v))
    return false;
  id.data2 = static_cast<std::uint16_t>(v);
  if (!read_hex(text, 15, 4, v))
    return false;
  id.data3 = static_cast<std::uint16_t>(v);
  for (int i = 0; i < 8; ++i) {
    if (!read_hex(text, data4_pos[i], 2, v))
      return false;
    id.data4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
  }
  return true;
}

}  // namespace

bool CLSIDFromString(std::string_view text, GUID& out) {
  GUID id;
  out = GUID{};
  if (!parse_braced(text, id))
    return false;
  out = id;
  return true;
}

std::string guid_to_string(const GUID& id) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.data1, id.data2,
                id.data3, id.data4[0], id.data4[1], id.data4[2], id.data4[3], id.data4[4], id.data4[5],
                id.data4[6], id.data4[7]);
  return buf;
}

GUID guid_of(std::string_view text) {
  GUID id;
  CLSIDFromString(text, id);
  return id;
}

}  // namespace quillet::com
