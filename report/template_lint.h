// The mistakes of a template that compile and run without a message but do not do what the
// author meant: a directive keyword or property name the report does not know, ROWS on a
// row, a built-in called with the wrong number of arguments, a time unit DTIME and RTIME do
// not know, a chart whose class is not the trend's, a project file that is not there. Each
// rule is a row of one table (template_lint.cpp) with its severity and hint.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "doc/html_document.h"
#include "doc/template_markup.h"
#include "txl/user_function.h"

namespace quillet {

enum class htdoc_severity { error, warning };

// One rule of the table.
struct lint_rule {
  const char* id;  // "rows-on-row"
  htdoc_severity severity;
  const char* hint;  // may be empty
};

// The table, for its tests and documentation.
const std::vector<lint_rule>& lint_rules();
const lint_rule& lint_rule_named(std::string_view id);

// A finding: the rule, what was found and the file offset it is about.
struct lint_finding {
  const lint_rule* rule;
  std::string message;
  std::uint32_t offset;
};

// Comments that look like directives but are not: "$VX ETL", "$vx ELT", "$VXELT".
void lint_comments(const html_document& document, std::vector<lint_finding>& out);
// The properties of one element's directive: names the element does not know, ROWS, COLS
// and REPEAT where they have no effect, the class of an OBJECT.
void lint_element(const html_elt_tag& tag, const txl_prop_list& props, std::vector<lint_finding>& out);
// The calls of a compiled function: argument counts of built-ins, constant time units.
void lint_calls(const txl_user_function& function, std::vector<lint_finding>& out);
// The PRJ setting: a constant file name that does not exist beside the template.
void lint_project(const txl_user_function& prj, std::string_view template_dir, std::vector<lint_finding>& out);

}  // namespace quillet
