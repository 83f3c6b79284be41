// Reading a template named on the command line, with a message for each way it can fail.
#include "app/template_input.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/files/input_file.h"
#include "platform/files/text_input.h"

namespace quillet::app {

namespace {

// Reads the standard input whole into `bytes`, at most `max_bytes` of it; false with `error`
// saying why.
bool read_standard_input(std::uint64_t max_bytes, std::string& bytes, std::string& error) {
  bytes.clear();
  char chunk[1 << 16];
  while (std::cin.read(chunk, sizeof chunk) || std::cin.gcount() > 0) {
    bytes.append(chunk, static_cast<std::size_t>(std::cin.gcount()));
    if (bytes.size() > max_bytes) {
      error = "it is larger than " + std::to_string(max_bytes) + " bytes";
      return false;
    }
  }
  if (!std::cin.bad())
    return true;
  error = "a read error occurred";
  return false;
}

// How messages name the template: the standard input, or the file in quotes.
std::string named(const std::string& path) { return path == "-" ? "the standard input" : "'" + path + "'"; }

}  // namespace

bool read_template_bytes(const char* command, const std::string& path, std::uint64_t max_bytes, std::string& bytes,
                         template_notes* notes) {
  std::string error;
  files::text_input_notes text_notes;
  bool ok = path == "-" ? read_standard_input(max_bytes, bytes, error)
                        : files::read_regular_file(path, max_bytes, bytes, error);
  ok = ok && files::prepare_text_input(bytes, text_notes, error);
  if (!ok) {
    std::fprintf(stderr, "quillet %s: cannot read %s: %s.\n", command, named(path).c_str(), error.c_str());
    return false;
  }
  if (notes)
    for (std::size_t offset : text_notes.nul_offsets)
      notes->nul_offsets.push_back(static_cast<std::uint32_t>(offset));
  return true;
}

bool read_template_file(const char* command, const std::string& path, html_document& doc, std::string& source,
                        std::uint64_t max_bytes, template_notes* notes) {
  if (!read_template_bytes(command, path, max_bytes, source, notes))
    return false;
  if (doc.read(source))
    return true;
  std::fprintf(stderr, "quillet %s: %s is not an HTML document: its first element is not <HTML>.\n", command,
               named(path).c_str());
  return false;
}

bool parse_size(const std::string& text, std::uint64_t& out) {
  std::size_t digits = text.find_first_not_of("0123456789");
  std::string suffix = digits == std::string::npos ? "" : text.substr(digits);
  if (digits == 0 || text.size() > 16 || suffix.size() > 1)
    return false;
  int shift = suffix.empty() ? 0 : suffix == "K" ? 10 : suffix == "M" ? 20 : suffix == "G" ? 30 : -1;
  if (shift < 0)
    return false;
  std::uint64_t n = std::strtoull(text.c_str(), nullptr, 10);
  if (n == 0 || n > (std::uint64_t{1} << (50 - shift)))
    return false;
  out = n << shift;
  return true;
}

const source_lines& template_places::lines() {
  if (!lines_)
    lines_ = std::make_unique<source_lines>(source_);
  return *lines_;
}

std::string template_places::prefix(std::uint32_t offset) { return source_place(file_, lines(), offset); }

}  // namespace quillet::app
