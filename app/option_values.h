// Reading the values of command-line options that are more than a word: report times and
// file extensions. Each reader says what is wrong with a value it refuses.
#pragma once

#include <cstdint>
#include <string>

namespace quillet::app {

// Seconds since 1970 (up to 4294967295) or a local time YYYY-MM-DD[THH:MM[:SS]] whose fields
// are each in their range. False with `why` set to the fault ("month 13 is not from 1 to 12")
// when the text has the right shape but a field is out of range; with `why` empty when the
// text has neither shape.
bool parse_report_time(const std::string& text, std::uint32_t& out, std::string& why);
// The same for callers with a message of their own.
bool parse_report_time(const std::string& text, std::uint32_t& out);

// The report extension as given, with a dot put in front when it has none (".htm" or "htm"
// give ".htm"); an empty extension stays empty.
std::string report_extension(const std::string& text);

}  // namespace quillet::app
