// Where diagnostics point: the template check's problems and the processor's messages name the
// file line and column of the character they are about.
#include <gtest/gtest.h>

#include "doc/source_lines.h"
#include "report/htdoc_check.h"
#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct position_row {
  const char* name;
  std::string html;
  std::vector<std::string> lines;  // what the check prints, or the processor's log
};

std::string wrap(const std::string& head, const std::string& body) {
  return "<HTML><HEAD>" + head + "</HEAD><BODY>" + body + "</BODY></HTML>";
}

// A property 250 elements deep, each start tag on a line of its own.
std::string deep_body() {
  std::string body;
  for (int i = 0; i < 250; ++i)
    body += "<DIV>\n";
  return body + "<B><!--$VX ELT VALUE=%{)}%--></B>";
}

const std::vector<position_row> check_rows = {
    {"compile error on a later line", wrap("", "\n<P>a</P>\n<P><!--$VX ELT VALUE=%{1+}%--></P>"),
     {"t.html:3:26: error: element 2 <P>, property VALUE: Line 1: syntax error"}},
    {"after entities and a CR LF inside the directive",
     wrap("", "<TD><!--$VX ELT VALUE=%{\"&lt;&amp;\" &lt; 2}%\r\n ROWS=%{2 +* 3}%--></TD>"),
     {"t.html:2:12: error: element 1 <TD>, property ROWS: Line 1: syntax error"}},
    {"the error names the second of two entities",
     wrap("", "<B><!--$VX ELT VALUE=%{1 &amp;&amp; 2}%--></B>"),
     {"t.html:1:56: error: element 1 <B>, property VALUE: Line 1: syntax error"}},
    {"a multi-line expression", wrap("", "<B>\r\n<!--$VX ELT VALUE=%{1 +\r\n (2 *\r\n )}%--></B>"),
     {"t.html:4:2: error: element 1 <B>, property VALUE: Line 3: syntax error"}},
    {"a bare value", wrap("", "<B><!--$VX ELT VALUE= (1 REPEAT=2--></B>"),
     {"t.html:1:50: error: element 1 <B>, property VALUE: Line 1: syntax error"}},
    {"variable", wrap("\n<!--$VX VAR NAME=v VALUE=%{1 &lt;&gt; }%-->", ""),
     {"t.html:2:34: error: variable v: Line 1: syntax error"}},
    {"unknown functions at their calls, recursion at the variable",
     wrap("\n<!--$VX VAR NAME=a VALUE=%{1 + NOSUCH(1)}%-->\n<!--$VX VAR NAME=r VALUE=%{ @r}%-->",
          "<B><!--$VX ELT VALUE=%{2 * @w}%--></B>"),
     {"t.html:2:32: error: variable a: unknown function: NOSUCH",
      "t.html:3:76: error: element 1 <B>, property VALUE: unknown user function: w",
      "t.html:3:28: error: variable r: recursive function: r"}},
    {"document setting", wrap("<!--$VX DOC PRJ=%{\"p\"}%\r\n REFRESH=%{*}%-->", ""),
     {"t.html:2:12: error: document setting REFRESH: Line 1: syntax error"}},
    {"fragment parameter and its substitution",
     wrap("<!--$VX WIZ CLSID=%{\"c\"}%-->\n<!--$VX WPARM NAME=%{\"P\"}% VALUE=%{NOSUCH()}%-->",
          "\n<B><!--$VX ELT VALUE=%{1 + {$P}}%--></B>\n<I><!--$VX ELT VALUE=%{{$P} + )}%--></I>"),
     {"t.html:4:31: error: element 2 <I>, property VALUE: Line 1: syntax error",
      "t.html:2:36: error: fragment parameter P: unknown function: NOSUCH",
      "t.html:3:28: error: element 1 <B>, property VALUE: unknown function: NOSUCH"}},
    {"directives that do not read", wrap("\n<!--$VX VAR VALUE=1-->", "<IMG>\n<!--$VX ELT VALUE 1-->"),
     {"t.html:2:1: error: variable directive 1: the directive cannot be read",
      "t.html:3:1: error: element 1 <IMG>: the element directive cannot be read"}},
    {"an element nested deep", wrap("", deep_body()),
     {"t.html:251:24: error: element 251 <B>, property VALUE: Line 1: syntax error"}},
};

TEST(SourcePositions, CheckNamesTheCharacterOfEachProblem) {
  for (const position_row& row : check_rows) {
    SCOPED_TRACE(row.name);
    auto doc = read_document(row.html);
    source_lines lines(row.html);
    std::vector<std::string> got;
    for (const htdoc_problem& p : check_template(*doc))
      got.push_back(problem_text("t.html", lines, p));
    EXPECT_EQ(got, row.lines);
    doc->clear();
  }
}

// List items `depth` lists deep.
std::string nested_items(int depth) {
  std::string body;
  for (int i = 0; i < depth; ++i)
    body += "<UL><LI>";
  return body;
}

// Keeps each message after the place it names, as the command line's log prints it.
class placed_sink : public txl_diagnostic_sink {
public:
  explicit placed_sink(const std::string& html) : lines_(html) {}
  void report(const txl_diagnostic& d) override {
    std::string_view message = d.message.substr(0, d.message.size() - 1);
    got.push_back(source_place("t.html", lines_, txl_diagnostic_offset(d)) + std::string(message));
  }
  std::vector<std::string> got;

private:
  source_lines lines_;
};

const std::vector<position_row> log_rows = {
    {"binding, recursion and evaluation",
     wrap("\n<!--$VX VAR NAME=a VALUE=%{NOSUCH(1)}%-->\n<!--$VX VAR NAME=r VALUE=%{@r}%-->",
          "\n<B><!--$VX ELT VALUE=%{@a}%--></B>"),
     {"t.html:2:28: unknown function: NOSUCH", "t.html:3:28: recursive function: r",
      "t.html:4:24: compute error (VALUE): #UNK:NOSUCH:#"}},
    {"a message from inside an evaluation names its property",
     wrap("", "<TABLE><TR>\r\n<TD><!--$VX ELT VALUE=%{DEBUG(\"&lt;\")}%--></TD></TR></TABLE>"),
     {"t.html:2:25: DEBUG:<"}},
    {"nesting too deep names the element", wrap("", nested_items(201)),
     {"t.html:1:1626: nesting too deep: dynamic elements below 200 levels are written as they are"}},
};

TEST(SourcePositions, ProcessorMessagesNameTheirPlace) {
  for (const position_row& row : log_rows) {
    SCOPED_TRACE(row.name);
    placed_sink sink(row.html);
    report_of(row.html, sink);
    EXPECT_EQ(sink.got, row.lines);
  }
}

}  // namespace
}  // namespace quillet::test
