// Checking a template without producing a report: every directive read, every expression
// compiled (variables, element properties, fragment parameters), every call bound and every
// variable checked for recursion; each problem named with the place it is in.
#pragma once

#include <string>
#include <vector>

#include "doc/html_document.h"

namespace quillet {

struct htdoc_problem {
  std::string where;    // "variable total", "element 3 <TD>, property VALUE", ...
  std::string message;  // the compile message or the processor's diagnostic, without "\n"
  // The element's number among the body's elements with a definition, in document order (the
  // number the editor gives it while the template is edited), 0 outside such an element.
  int definition = 0;
  std::string property;  // the element property the problem is in, else empty
};

// The problems of the template, in document order (head first, then body). The document's
// directive comments are consumed; the document is not a template afterwards.
std::vector<htdoc_problem> check_template(html_document& document);

}  // namespace quillet
