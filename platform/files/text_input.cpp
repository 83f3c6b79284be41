// Byte-order marks and NUL bytes of text inputs.
#include "platform/files/text_input.h"

#include <algorithm>
#include <cstring>

namespace quillet::files {

namespace {

bool starts_with(const std::string& bytes, const char* mark, std::size_t n) {
  return bytes.size() >= n && std::memcmp(bytes.data(), mark, n) == 0;
}

}  // namespace

bool prepare_text_input(std::string& bytes, text_input_notes& notes, std::string& error) {
  notes = {};
  if (starts_with(bytes, "\xFF\xFE", 2) || starts_with(bytes, "\xFE\xFF", 2) || starts_with(bytes, "\0\0\xFE\xFF", 4)) {
    error = "it is UTF-16 or UTF-32 text (it starts with a byte-order mark); save it as UTF-8 or in the code page";
    return false;
  }
  if (starts_with(bytes, "\xEF\xBB\xBF", 3)) {
    bytes.erase(0, 3);
    notes.utf8_mark_skipped = true;
  }
  for (std::size_t at = bytes.find('\0'); at != std::string::npos; at = bytes.find('\0', at + 1)) {
    bytes[at] = '?';
    notes.nul_offsets.push_back(at);
  }
  return true;
}

std::string line_and_column(const std::string& bytes, std::size_t offset) {
  offset = std::min(offset, bytes.size());
  std::size_t line = 1 + std::count(bytes.begin(), bytes.begin() + offset, '\n');
  std::size_t line_start = bytes.rfind('\n', offset ? offset - 1 : 0);
  std::size_t column = line_start == std::string::npos || offset == 0 ? offset + 1 : offset - line_start;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace quillet::files
