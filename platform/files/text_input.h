// Preparing the bytes of a text input (a template) for reading: a byte-order mark at the start
// is dealt with and NUL bytes are replaced visibly, so that no reader cuts a text at them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillet::files {

// What preparing the text did.
struct text_input_notes {
  bool utf8_mark_skipped = false;
  std::vector<std::size_t> nul_offsets;  // offsets of the NULs replaced, after the mark
};

// Skips a UTF-8 byte-order mark and replaces each NUL byte by '?' (what a code-page conversion
// puts for a character it cannot show). A UTF-16 or UTF-32 mark is refused: such a file is
// not text in a code page. False with `error` saying so.
bool prepare_text_input(std::string& bytes, text_input_notes& notes, std::string& error);

// A line and column (from 1) of a byte offset, as "line L, column C".
std::string line_and_column(const std::string& bytes, std::size_t offset);

}  // namespace quillet::files
