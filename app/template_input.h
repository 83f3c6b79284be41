// Reading the template file named on the command line, shared by the report and check
// commands, and the file's text that their messages take lines and columns from.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "doc/html_document.h"
#include "doc/source_lines.h"

namespace quillet::app {

// Reads the template; false after a message on stderr that names the command and the file.
// The file's bytes are left in `source`, to which the nodes' source offsets refer.
bool read_template_file(const char* command, const std::string& path, html_document& doc, std::string& source);

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
