// Writing a tree as read (printer flags 0) leaves out the end tags the source left out. Where
// that would make the reader nest the following content inside the element (a HEAD without
// its end tag swallows the BODY after it), the element is given its end tag first; a stray end
// tag that would close an element around it is left out.
#pragma once

#include "doc/html_node.h"

namespace quillet {

// Marks with an end tag every element of the tree whose missing end tag would let the content
// after it move inside it on reading back; how many were marked.
std::size_t add_needed_end_tags(html_element* top);

// Removes every stray end tag (one that closed nothing when read) that lies inside an element
// of its own name: written there, it would close that element on reading back. This happens
// when the tree gained an element the source left implied (a `</body>` inside a list item of
// a page without a BODY start tag). How many were removed.
std::size_t drop_closing_stray_end_tags(html_element*& top);

}  // namespace quillet
