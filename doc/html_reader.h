// Reading a document, used by html_document::read: the tokenizer that turns bytes into nodes
// and hands them to the tree builder as it goes, and the normaliser that guarantees the HTML,
// HEAD and BODY skeleton.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "doc/html_node.h"

namespace quillet {

// The tree of `input` as read, before the skeleton is checked: start tags with their
// attributes and content, stray end tags, texts, comments and declarations, with their
// line-break and end-tag flags. When asked, counts the HTML, HEAD and BODY elements in it.
// The caller owns the list.
html_element* parse_html_tree(std::string_view input, std::size_t* skeleton_tags = nullptr);

// Brings the top-level list into the shape HTML(HEAD, BODY); false when the first node after
// declarations and comments is not an HTML element (the list is then left as it was). With the
// count of HTML, HEAD and BODY elements from the builder, the search for misplaced ones inside
// HEAD and BODY is skipped when there can be none.
bool normalize_html_tree(html_element*& top, std::size_t skeleton_tags = SIZE_MAX);

}  // namespace quillet
