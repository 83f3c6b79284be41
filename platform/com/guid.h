// Globally unique identifiers of components and interfaces, and their registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::com {

struct GUID {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend bool operator==(const GUID&, const GUID&) = default;
};
using CLSID = GUID;
using IID = GUID;

// Reads the braced text form: exactly 38 characters, braces and dashes in their places, hex
// digits of either case elsewhere. Anything else fails and leaves the output all zero.
bool CLSIDFromString(std::string_view text, GUID& out);

// The braced text form with upper-case hex digits.
std::string guid_to_string(const GUID& id);

// A GUID from text known to be well formed (for constants); an all-zero GUID otherwise.
GUID guid_of(std::string_view text);

}  // namespace quillet::com
