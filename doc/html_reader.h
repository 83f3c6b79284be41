// The three passes of reading a document, used by html_document::read: the tokenizer that turns
// bytes into a flat node list, the tree builder that nests that list, and the normaliser that
// guarantees the HTML, HEAD and BODY skeleton.
#pragma once

#include <string_view>

#include "doc/html_node.h"

namespace quillet {

// The flat list of nodes of `input`: start tags with their attributes, end tags, texts,
// comments and declarations, with line-break flags. The caller owns the list.
html_element* tokenize_html(std::string_view input);

// Nests a flat list (which it takes over) into a tree and returns the top-level list.
html_element* build_html_tree(html_element* flat);

// Brings the top-level list into the shape HTML(HEAD, BODY); false when the first node after
// declarations and comments is not an HTML element (the list is then left as it was).
bool normalize_html_tree(html_element*& top);

}  // namespace quillet
