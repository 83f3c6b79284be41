// Nests the nodes of a document into a tree as the tokenizer produces them, one at a time, in
// document order. The builder owns every node it was given until finish() hands over the
// top-level list; end tags that close an element never become nodes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "doc/html_node.h"

namespace quillet {

class html_tree_builder {
public:
  html_tree_builder();
  html_tree_builder(const html_tree_builder&) = delete;
  html_tree_builder& operator=(const html_tree_builder&) = delete;
  ~html_tree_builder();

  // A start tag; the builder takes over the creator's reference. Its attributes may be added
  // after this call.
  void start_tag(html_elt_tag* tag);
  // An end tag at file offset `at`: it closes the open element of that definition, and every
  // element opened inside it, or it is kept in place as a stray end tag.
  void end_tag(const html_elt_def* def, std::uint32_t at = no_source_offset);
  // A text, comment or declaration node; the builder takes over the reference.
  void leaf(html_element* node);
  // Blank text with a line break: marks the node produced last (for an end tag that closed an
  // element, the element's end).
  void line_break();
  // The top-level list, handed to the caller; the builder is empty afterwards.
  html_element* finish();
  // HTML, HEAD and BODY elements placed so far.
  std::size_t skeleton_tags() const { return skeleton_tags_; }

private:
  struct open_element {
    html_elt_tag* tag;    // null for the top level
    html_element** tail;  // where the next child goes
  };

  void append(html_element* n);
  bool closes_innermost(const html_elt_def* start) const;
  std::size_t& open_count(const html_elt_def* def);
  void close_innermost();
  bool takes_directive_comment(html_element* n);
  void mark_last(std::uint32_t* flags, std::uint32_t bit) {
    last_flags_ = flags;
    last_bit_ = bit;
  }

  html_element* top_ = nullptr;
  std::vector<open_element> open_;
  std::size_t skeleton_tags_ = 0;
  // The empty element whose directive comments are being collected, and where they go.
  html_elt_tag* collecting_ = nullptr;
  html_element** collect_tail_ = nullptr;
  // The flags and bit a line break after the last node sets.
  std::uint32_t* last_flags_ = nullptr;
  std::uint32_t last_bit_ = 0;
  const html_elt_def* html_;
  const html_elt_def* head_;
  const html_elt_def* body_;
  const html_elt_def* rows_;
  std::array<std::size_t, tag_table_size> row_counts_{};
  std::unordered_map<const html_elt_def*, std::size_t> dynamic_counts_;
};

}  // namespace quillet
