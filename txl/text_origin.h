// Where the bytes of an expression text stand in the file it was read from, so that a message
// about byte K of the text can name the file position of that byte. A text read from a template
// is its file's bytes with entities decoded and parameters put in; the origin records the few
// places where the one-to-one correspondence shifts. Texts the program made have no origin.
#pragma once

#include <cstdint>
#include <vector>

namespace quillet {

// A file offset that names no place: the node or text was not read from a file.
inline constexpr std::uint32_t no_source_offset = 0xFFFFFFFFu;

class txl_text_origin {
public:
  bool known() const { return !anchors_.empty(); }
  void clear() { anchors_.clear(); }

  // Text bytes from `text_at` on stand one to one at the file bytes from `file_at` on.
  void add_run(std::uint32_t text_at, std::uint32_t file_at) { add(text_at, file_at, false); }
  // Text bytes from `text_at` on all stand at `file_at`: text put in for a reference there.
  void add_point(std::uint32_t text_at, std::uint32_t file_at) { add(text_at, file_at, true); }

  // The file offset of text byte `k` (the text's size names the place just past its last
  // byte); no_source_offset when the origin is unknown.
  std::uint32_t file_offset(std::uint32_t k) const;
  // Appends the origin of bytes [begin, end) of the text `from` describes, as they stand from
  // byte `to` on in the text this describes.
  void append_slice(const txl_text_origin& from, std::uint32_t begin, std::uint32_t end, std::uint32_t to);
  // The origin of bytes [begin, end) of this text, as a text of their own.
  txl_text_origin slice(std::uint32_t begin, std::uint32_t end) const;

private:
  struct anchor {
    std::uint32_t text_at;
    std::uint32_t file_at;
    bool fixed;
  };
  void add(std::uint32_t text_at, std::uint32_t file_at, bool fixed);
  // The last anchor at or before text byte k; null when there is none.
  const anchor* anchor_for(std::uint32_t k) const;

  std::vector<anchor> anchors_;  // ascending text_at
};

}  // namespace quillet
