// Reading the template file named on the command line, shared by the format, report and check
// commands, and the file's text that their messages take lines and columns from.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "doc/html_document.h"
#include "doc/source_lines.h"

namespace quillet::app {

// The largest template read unless an option says otherwise.
inline constexpr std::uint64_t default_max_input = std::uint64_t{256} << 20;

// What reading the template noticed that `check` reports: the offsets of NUL bytes, each read
// as '?'.
struct template_notes {
  std::vector<std::uint32_t> nul_offsets;
};

// Reads the template's bytes into `bytes`: "-" reads the standard input, any other name a
// regular file; either of at most `max_bytes`, a UTF-8 byte-order mark skipped and NUL bytes
// read as '?'. False after a message on stderr that names the command and the file.
bool read_template_bytes(const char* command, const std::string& path, std::uint64_t max_bytes, std::string& bytes,
                         template_notes* notes = nullptr);

// Reads the template as `read_template_bytes` does and parses it; false after a message on
// stderr that names the command and the file. The bytes read are left in `source`, to which
// the nodes' source offsets refer.
bool read_template_file(const char* command, const std::string& path, html_document& doc, std::string& source,
                        std::uint64_t max_bytes = default_max_input, template_notes* notes = nullptr);

// A byte count for --max-input and --max-output: decimal digits with an optional K, M or G
// suffix; above 0.
bool parse_size(const std::string& text, std::uint64_t& out);

// The places of a template file as messages name them, its line index built on the first.
class template_places {
public:
  template_places(std::string file, std::string source) : file_(std::move(file)), source_(std::move(source)) {}
  // "FILE:LINE:COLUMN: ", or "FILE: " for no_source_offset.
  std::string prefix(std::uint32_t offset);
  std::string_view file() const { return file_; }
  const source_lines& lines();

private:
  std::string file_;
  std::string source_;
  std::unique_ptr<source_lines> lines_;
};

}  // namespace quillet::app
