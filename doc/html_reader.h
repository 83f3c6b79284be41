// The three passes of reading a document, used by html_document::read: the tokenizer that turns
// bytes into a flat node list, the tree builder that nests that list, and the normaliser that
// guarantees the HTML, HEAD and BODY skeleton.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "doc/html_node.h"

namespace quillet {

// The flat list of nodes of `input`: start tags with their attributes, end tags, texts,
// comments and declarations, with line-break flags. The caller owns the list.
html_element* tokenize_html(std::string_view input);

// Nests a flat list (which it takes over) into a tree and returns the top-level list. When
// asked, counts the HTML, HEAD and BODY elements in the tree.
html_element* build_html_tree(html_element* flat, std::size_t* skeleton_tags = nullptr);

// Brings the top-level list into the shape HTML(HEAD, BODY); false when the first node after
// declarations and comments is not an HTML element (the list is then left as it was). With the
// count of HTML, HEAD and BODY elements from the builder, the search for misplaced ones inside
// HEAD and BODY is skipped when there can be none.
bool normalize_html_tree(html_element*& top, std::size_t skeleton_tags = SIZE_MAX);

}  // namespace quillet
