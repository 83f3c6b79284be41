// Lines and columns of a template file, worked out from its text when a message needs them:
// nodes and properties keep only byte offsets. Lines end at line feeds (a carriage return
// before one belongs to its line); lines and columns count from 1, columns in bytes, which
// are the characters of the file's 8-bit code page (a tab counts as one).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

struct source_position {
  std::uint32_t line = 0;    // 0 when the offset names no place in the file
  std::uint32_t column = 0;
};

class source_lines {
public:
  // Indexes the starts of the lines of `text`; the text itself is not kept.
  explicit source_lines(std::string_view text);

  // The line and column of a byte offset; an offset at the very end names the place after
  // the last byte. Line 0 for no_source_offset and offsets past the end.
  source_position position_of(std::uint32_t offset) const;

private:
  std::vector<std::uint32_t> starts_;  // offset of each line's first byte
  std::uint32_t size_ = 0;
};

// "FILE:LINE:COLUMN: " for a place in the file, "FILE: " when the offset names none.
std::string source_place(std::string_view file, const source_lines& lines, std::uint32_t offset);

}  // namespace quillet
