// A template document: the top-level node list (declarations, comments, the HTML element) and
// non-owning pointers to its HEAD and BODY. Reading fills it from HTML text; writing prints it.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string_view>

#include "doc/html_node.h"

namespace quillet {

class html_document : public dynamic_object {
public:
  html_element* top = nullptr;   // owned list
  html_elt_tag* head = nullptr;  // inside the HTML element, not owned
  html_elt_tag* body = nullptr;  // inside the HTML element, not owned

  html_document() = default;
  ~html_document() override;

  // Replaces the content with the tree read from `in`. False, leaving the document empty, when
  // the first node after declarations and comments is not an HTML element.
  bool read(std::istream& in);
  // The same from bytes in memory, which the caller keeps: the nodes' source offsets are
  // offsets into them.
  bool read(std::string_view bytes);
  // Prints every top-level node with the given printer options.
  void write(std::ostream& out, std::uint32_t flags);
  // Releases the tree.
  void clear();
};

}  // namespace quillet
