// Conversions of texts that cross component interfaces as UTF-16 (the system's wide strings)
// from and to the configured ANSI code page, and from UTF-8 files.
#pragma once

#include <string>
#include <string_view>

namespace quillet::com {

// ANSI bytes to UTF-16; a byte the code page does not map becomes U+FFFD.
std::u16string ansi_to_wide(std::string_view text);
// UTF-16 to ANSI bytes; a character the code page cannot show becomes '?'.
std::string wide_to_ansi(std::u16string_view text);
// UTF-8 to UTF-16; false (output empty) when the bytes are not valid UTF-8.
bool utf8_to_wide(std::string_view text, std::u16string& out);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string wide_to_utf8(std::u16string_view text);

}  // namespace quillet::com
