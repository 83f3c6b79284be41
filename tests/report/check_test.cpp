// The template check: each kind of problem named with its place.
#include <gtest/gtest.h>

#include "report/htdoc_check.h"
#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct check_row {
  const char* name;
  const char* head;
  const char* body;
  std::vector<std::string> problems;  // "where: message"
};

const check_row check_rows[] = {
    {"sound template", "<!--$VX VAR NAME=a VALUE=%{1}%-->",
     "<TABLE><TR><TD><!--$VX ELT VALUE=%{@a+CHAN(\"x\")}%\r\n ROWS=%{2}%--></TD></TR></TABLE>", {}},
    {"compile error in a property", "", "<P>a</P><P><!--$VX ELT VALUE=%{1+}%--></P>",
     {"element 2 <P>, property VALUE: Line 1: syntax error"}},
    {"compile error in a variable", "<!--$VX VAR NAME=v VALUE=%{(1}%-->", "",
     {"variable v: Line 1: syntax error"}},
    {"unknown function and user function", "<!--$VX VAR NAME=v VALUE=%{NOSUCH(1)}%-->",
     "<B><!--$VX ELT VALUE=%{@w}%--></B>",
     {"variable v: unknown function: NOSUCH", "element 1 <B>, property VALUE: unknown user function: w"}},
    {"recursion", "<!--$VX VAR NAME=a VALUE=%{@b}%--><!--$VX VAR NAME=b VALUE=%{@a}%-->", "",
     {"variable a: recursive function: a", "variable b: recursive function: b"}},
    {"unreadable element directive", "", "<B><!--$VX ELT VALUE 1--></B>",
     {"element 1 <B>: the element directive cannot be read"}},
    {"unreadable variable directive", "<!--$VX VAR NAME=a VALUE=%{1}%--><!--$VX VAR VALUE=1-->", "",
     {"variable directive 2: the directive cannot be read"}},
    {"setting that does not compile", "<!--$VX DOC PRJ=%{\"p\"}%\r\n REFRESH=%{*}%-->", "",
     {"document setting REFRESH: Line 1: syntax error"}},
};

TEST(TemplateCheck, NamesEveryProblem) {
  for (const check_row& row : check_rows) {
    SCOPED_TRACE(row.name);
    auto doc = read_document(std::string("<HTML><HEAD>") + row.head + "</HEAD><BODY>" + row.body + "</BODY></HTML>");
    std::vector<std::string> got;
    for (const htdoc_problem& p : check_template(*doc))
      got.push_back(p.where + ": " + p.message);
    EXPECT_EQ(got, row.problems);
    doc->clear();
  }
}

}  // namespace
}  // namespace quillet::test
