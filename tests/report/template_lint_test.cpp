// The check's rules: each rule of the table with a template that breaks it and one that keeps
// it, and the table has no rule without its row.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "report/htdoc_check.h"

namespace quillet {
namespace {

struct lint_row {
  const char* rule;   // the rule the body breaks
  const char* head;   // HEAD content
  const char* body;   // BODY content
  int line, column;   // where the finding points: the property's text, the call, the comment or tag
};

const char* const clean_body =
    "<TABLE><TR><TD><!--$VX ELT ROWS=%{2}% VALUE=%{DTIME(TIME(), \"HR\", ROW())}%-->x</TD></TR></TABLE>"
    "<OBJECT CLASSID=\"CLSID:{12175724-4241-11D2-9C51-0000E8DBF60C}\"><!--$VX ELT CHANNEL=%{0}% DT=%{60}%--></OBJECT>"
    "<UL><LI><!--$VX ELT ROWS=%{2}% STYLE.color=%{\"red\"}%-->i</LI></UL><P><!--$VX ELT REPEAT=%{2}%-->p</P>";

const lint_row rows[] = {
    {"unknown-directive", "", "\n<!--$VX ETL VALUE=%{1}%-->", 2, 1},
    {"unknown-directive", "", "<!--$vx ELT VALUE=%{1}%-->", 1, 1},
    {"unknown-property", "", "<P><!--$VX ELT VALU=%{1}%-->x</P>", 1, 23},
    {"unknown-property", "", "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\"><!--$VX ELT CHANEL=%{1}%--></OBJECT>",
     1, 83},
    {"rows-on-row", "", "<TABLE><TR><!--$VX ELT ROWS=%{24}%--><TD>x</TD></TR></TABLE>", 1, 31},
    {"repeat-in-table", "", "<TABLE><TR><TD><!--$VX ELT REPEAT=%{2}%-->x</TD></TR></TABLE>", 1, 37},
    {"repetition-without-effect", "", "<P><!--$VX ELT COLS=%{2}%-->x</P>", 1, 23},
    {"argument-count", "", "<P><!--$VX ELT VALUE=%{1 + SQRT(1, 2)}%-->x</P>", 1, 28},
    {"argument-count", "<!--$VX VAR NAME=v VALUE=%{IF(1, 2)}%-->", "", 1, 28},
    {"time-unit", "", "<P><!--$VX ELT VALUE=%{RTIME(TIME(), \"HOUR\")}%-->x</P>", 1, 24},
    {"trend-class", "", "<OBJECT CLASSID=\"clsid:12175724-4241-11D2-9C51-0000E8DBF60C\"></OBJECT>", 1, 9},
    {"trend-class", "", "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60D\"></OBJECT>", 1, 9},
    {"missing-project", "<!--$VX DOC PRJ=%{\"gone.json\"}%-->", "", 1, 19},
};

std::vector<htdoc_problem> check(const std::string& head, const std::string& body, std::string& text) {
  text = "<HTML><HEAD>" + head + "</HEAD><BODY>" + body + "</BODY></HTML>";
  rc_ptr<html_document> doc = make_rc<html_document>();
  EXPECT_TRUE(doc->read(text));
  std::vector<htdoc_problem> problems = check_template(*doc, QUILLET_TEST_DATA);
  doc->clear();
  return problems;
}

TEST(TemplateLint, EachRuleFindsItsMistakeWhereItIs) {
  for (const lint_row& row : rows) {
    SCOPED_TRACE(row.body[0] ? row.body : row.head);
    std::string text;
    std::vector<htdoc_problem> problems = check(row.head, row.body, text);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rule, row.rule);
    EXPECT_EQ(problems[0].severity, lint_rule_named(row.rule).severity);
    // Lines and columns are counted within the BODY or HEAD content of the row.
    const std::string part = row.body[0] ? row.body : row.head;
    source_position at = source_lines(text).position_of(problems[0].offset);
    std::size_t part_at = text.find(part);
    source_position start = source_lines(text).position_of(static_cast<std::uint32_t>(part_at));
    EXPECT_EQ(at.line - start.line + 1, static_cast<std::uint32_t>(row.line));
    if (at.line == start.line) {
      EXPECT_EQ(at.column - start.column + 1, static_cast<std::uint32_t>(row.column));
    }
  }
}

TEST(TemplateLint, EveryRuleHasARowAndASoundTemplateHasNoFinding) {
  std::set<std::string> covered;
  for (const lint_row& row : rows)
    covered.insert(row.rule);
  for (const lint_rule& r : lint_rules())
    EXPECT_TRUE(covered.count(r.id)) << r.id << " has no row";
  std::string text;
  EXPECT_TRUE(check("<!--$VX DOC PRJ=%{\"html_roundtrip\"}%-->", clean_body, text).empty());
}

}  // namespace
}  // namespace quillet
