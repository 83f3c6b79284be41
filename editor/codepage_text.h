// Texts between the template's ANSI code page (on disk) and UTF-8 (the page's JSON).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/crt/char_class.h"

namespace quillet::editor {

// ANSI bytes as UTF-8; a byte the code page does not map becomes U+FFFD.
std::string ansi_to_utf8(std::string_view text);

// UTF-8 as ANSI bytes. A character the code page cannot hold is written as a numeric
// character reference ("&#8364;") when `references` is set (HTML text, where it means the
// same character); otherwise the conversion fails and `bad` receives that character (UTF-8).
// Invalid UTF-8 fails too.
std::optional<std::string> utf8_to_ansi(std::string_view text, bool references, std::string* bad = nullptr);

// The code page a file's Content-Type META declares in its first 4 KiB
// ("charset=windows-1251"); nothing when there is none or one the program does not have.
std::optional<crt::codepage> declared_codepage(std::string_view bytes);

// A template's bytes in the code page in force: bytes that declare another code page are
// converted, each character the code page in force lacks becoming a numeric character
// reference; other bytes are returned as they are.
std::string in_codepage_in_force(std::string bytes);

// The iconv name of the code page in force, as the page shows it ("WINDOWS-1252").
std::string codepage_name();

}  // namespace quillet::editor
