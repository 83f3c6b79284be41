// Reading a template named on the command line, with a message for each way it can fail.
#include "app/template_input.h"

#include <cstdio>
#include <cstdlib>
#include <streambuf>

#include "platform/files/input_file.h"
#include "platform/files/text_input.h"

namespace quillet::app {

namespace {

// A read-only stream buffer over bytes already in memory, so the document reads them without
// another copy of the file being made.
class bytes_buffer : public std::streambuf {
public:
  explicit bytes_buffer(std::string& bytes) { setg(bytes.data(), bytes.data(), bytes.data() + bytes.size()); }
};

}  // namespace

bool read_template_bytes(const char* command, const std::string& path, std::uint64_t max_bytes, std::string& bytes,
                         template_notes* notes) {
  std::string error;
  files::text_input_notes text_notes;
  bool ok = files::read_regular_file(path, max_bytes, bytes, error) && files::prepare_text_input(bytes, text_notes, error);
  if (!ok) {
    std::fprintf(stderr, "quillet %s: cannot read '%s': %s.\n", command, path.c_str(), error.c_str());
    return false;
  }
  if (notes)
    for (std::size_t offset : text_notes.nul_offsets)
      notes->nul_places.push_back(files::line_and_column(bytes, offset));
  return true;
}

bool read_template_file(const char* command, const std::string& path, html_document& doc, std::uint64_t max_bytes,
                        template_notes* notes) {
  std::string bytes;
  if (!read_template_bytes(command, path, max_bytes, bytes, notes))
    return false;
  bytes_buffer buffer(bytes);
  std::istream in(&buffer);
  if (doc.read(in))
    return true;
  std::fprintf(stderr, "quillet %s: '%s' is not an HTML document: its first element is not <HTML>.\n", command,
               path.c_str());
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

}  // namespace quillet::app
