// Nodes nested as they are read: where a line break after an end tag lands (on the element it
// closed, or on a stray end tag), which comments stay with an empty element, unknown names in
// mixed case; and the tag table's hashed lookup against names that nearly match a row.
#include <gtest/gtest.h>

#include <string>

#include "doc/html_elt_def.h"
#include "html_test_util.h"

namespace quillet {
namespace {

struct build_row {
  const char* body;  // the content of <HTML><BODY>
  const char* tree;  // BODY's content as dumped
};

std::string body_tree(const std::string& body) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!test::read_string(*doc, "<HTML><BODY>" + body) || !doc->body)
    return "(not a document)";
  return test::dump_list(doc->body->children);
}

TEST(HtmlStreamedBuild, LineBreaksAndDirectiveCommentsLandWhereTheyBelong) {
  const build_row rows[] = {
      // A line break after an end tag that closes several elements marks only its own element.
      {"<B><I>x</B>\r\n<U>y", "B{et}[I[\"x\"]] U[\"y\"]"},
      {"<TABLE><TR><TD>1</TABLE>\n<P>x</P >\n\n", "TABLE{et}[TR[TD[\"1\"]]] P{et}[\"x\"]"},
      // A stray end tag keeps its own line break.
      {"<B>x</I>\n<U>y", "B[\"x\" /I{n} U[\"y\"]]"},
      {"<P>a\n</B>\n</P>", "P{t}[\"a\\n\" /B{n}]"},
      // Raw text: the end tag after the content takes the line break.
      {"<XMP>a</XMP>\n<U>b", "XMP{et}[\"a\"] U[\"b\"]"},
      {"<STYLE>s</style \n>\r\n<P>", "STYLE{et}[\"s\"] P"},
      {"<DIV>\r\n</DIV><!--x-->\n", "DIV{nt} !--x--{n}"},
      // Directive comments join an empty element across blank lines, up to the first other node.
      {"<IMG>\n<!--$VX ELT a-->\n<!--$VX ELT b-->\n<!--c-->\nx",
       "IMG{n}[!--$VX ELT a--{n} !--$VX ELT b--{n}] !--c-- \"\\nx\""},
      {"<IMG><!--$VX ELT a--></B><!--$VX ELT b-->", "IMG[!--$VX ELT a--] /B !--$VX ELT b--"},
      {"<INPUT><!--$VX ELT a-->x<!--$VX ELT b-->", "INPUT[!--$VX ELT a--] \"x\" !--$VX ELT b--"},
      {"<IMG><BR><!--$VX ELT a-->", "IMG BR[!--$VX ELT a--]"},
      // Unknown names share one definition whatever their case.
      {"<Foo>a</fOO>\n<FOO>b</Foo >c", "FOO{et}[\"a\"] FOO{t}[\"b\"] \"c\""},
  };
  for (const build_row& r : rows) {
    SCOPED_TRACE(r.body);
    EXPECT_EQ(body_tree(r.body), r.tree);
  }
}

TEST(HtmlStreamedBuild, EveryRowIsFoundByItsNameAndNoNearMiss) {
  for (std::size_t i = 0; i < tag_table_size; ++i) {
    const html_elt_def* row = tag_def_by_index(i);
    SCOPED_TRACE(std::string(row->name));
    EXPECT_EQ(find_tag_def(row->name), row);
  }
  const char* misses[] = {"",     "T",     "TX",     "TDX",        "H0",         "H7",   "BB",
                          "AA",   "DI",    "DIVV",   "IMGS",       "XMPP",       "TBOD", "td",
                          "Td",   "B ",    " B",     "BLOCKQUOTEX", "BLOCKQUOTES", "SPANSPAN",
                          "TDTD", "HTM",   "HTMLL",  "OBJECTS",    "TITLE1",     "A-",   "COLGROUP2"};
  for (const char* name : misses) {
    SCOPED_TRACE(name);
    EXPECT_EQ(find_tag_def(name), nullptr);
  }
}

}  // namespace
}  // namespace quillet
