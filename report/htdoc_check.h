// Checking a template without producing a report: every directive read, every expression
// compiled (variables, element properties, fragment parameters), every call bound and every
// variable checked for recursion; each problem named with the place it is in, as a record that
// the command line prints and the editor shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "doc/html_document.h"
#include "doc/source_lines.h"
#include "report/template_lint.h"

namespace quillet {

struct htdoc_problem {
  std::string where;    // "variable total", "element 3 <TD>, property VALUE", ...
  std::string message;  // the compile message or the processor's diagnostic, without "\n"
  // The element's number among the body's elements with a definition, in document order (the
  // number the editor gives it while the template is edited), 0 outside such an element.
  int definition = 0;
  std::string property;  // the element property the problem is in, else empty
  // The byte of the template file the problem names: the character a compile error names,
  // the call of an unknown function, the start of a property's text or of a directive that
  // does not read; no_source_offset when the document was not read from a file.
  std::uint32_t offset = no_source_offset;
  int element = 0;  // 1-based number of the element among the body's tags; 0 outside them
  htdoc_severity severity = htdoc_severity::error;
  std::string rule = {};  // the check's rule ("rows-on-row"); empty for compile and binding problems
  std::string hint = {};  // how to put it right, when the rule has a hint
};

// The problem as the command line prints it: "FILE:LINE:COLUMN: error: where: message", and
// the hint on a line of its own ("    hint: ...") when there is one.
std::string problem_text(std::string_view file, const source_lines& lines, const htdoc_problem& problem);

// The problems of the template, in document order (head first, then body). The document's
// directive comments are consumed; the document is not a template afterwards.
// With the template's folder, a PRJ setting that names no file there is a problem too.
std::vector<htdoc_problem> check_template(html_document& document, std::string_view template_dir = {});

}  // namespace quillet
