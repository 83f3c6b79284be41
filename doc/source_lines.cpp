// The line-start index of a file's text.
#include "doc/source_lines.h"

#include <algorithm>
#include <cstring>

#include "txl/text_origin.h"

namespace quillet {

source_lines::source_lines(std::string_view text)
    : size_(static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), no_source_offset - 1))) {
  starts_.push_back(0);
  for (const char* p = text.data(), *end = text.data() + size_;;) {
    const void* lf = p < end ? std::memchr(p, '\n', static_cast<std::size_t>(end - p)) : nullptr;
    if (!lf)
      return;
    p = static_cast<const char*>(lf) + 1;
    starts_.push_back(static_cast<std::uint32_t>(p - text.data()));
  }
}

source_position source_lines::position_of(std::uint32_t offset) const {
  if (offset > size_)
    return {};
  auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  auto line = static_cast<std::uint32_t>(after - starts_.begin());
  return {line, offset - *(after - 1) + 1};
}

std::string source_place(std::string_view file, const source_lines& lines, std::uint32_t offset) {
  std::string out(file);
  source_position at = lines.position_of(offset);
  if (at.line > 0)
    out += ':' + std::to_string(at.line) + ':' + std::to_string(at.column);
  out += ": ";
  return out;
}

}  // namespace quillet
