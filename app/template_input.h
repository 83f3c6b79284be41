// Reading the template file named on the command line, shared by the format, report and check
// commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "doc/html_document.h"

namespace quillet::app {

// The largest template read unless an option says otherwise.
inline constexpr std::uint64_t default_max_input = std::uint64_t{256} << 20;

// What reading the template noticed that `check` reports: the places of NUL bytes, each read
// as '?'.
struct template_notes {
  std::vector<std::string> nul_places;  // "line L, column C"
};

// Reads the template's bytes from a regular file of at most `max_bytes`, a UTF-8 byte-order
// mark skipped and NUL bytes read as '?'; false after a message on stderr that names the
// command and the file.
bool read_template_bytes(const char* command, const std::string& path, std::uint64_t max_bytes, std::string& bytes,
                         template_notes* notes = nullptr);

// Reads the template, a regular file of at most `max_bytes`; false after a message on stderr
// that names the command and the file.
bool read_template_file(const char* command, const std::string& path, html_document& doc,
                        std::uint64_t max_bytes = default_max_input, template_notes* notes = nullptr);

// A byte count for --max-input and --max-output: decimal digits with an optional K, M or G
// suffix; above 0.
bool parse_size(const std::string& text, std::uint64_t& out);

}  // namespace quillet::app
