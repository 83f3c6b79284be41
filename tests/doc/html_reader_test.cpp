// The reader: tokenizing, nesting by content masks, end-tag matching, and the skeleton repairs.
#include <gtest/gtest.h>

#include <string>

#include "html_test_util.h"

namespace quillet {
namespace {

// The structure read from `html`, or "(not a document)"; checks the head and body pointers.
std::string structure(const std::string& html) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!test::read_string(*doc, html)) {
    EXPECT_EQ(doc->top, nullptr);
    EXPECT_EQ(doc->head, nullptr);
    return "(not a document)";
  }
  EXPECT_TRUE(doc->head && doc->head->name() == "HEAD");
  EXPECT_TRUE(doc->body && doc->body->name() == "BODY");
  return test::dump_list(doc->top);
}

struct reader_row {
  const char* in;
  const char* tree;
};

// Runs the rows; with `in_body`, each input is wrapped in <HTML><BODY>...</BODY></HTML> and its
// tree is what BODY holds.
void check_rows(const reader_row* rows, std::size_t n, bool in_body) {
  for (std::size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(rows[i].in);
    if (!in_body) {
      EXPECT_EQ(structure(rows[i].in), rows[i].tree);
      continue;
    }
    std::string in = std::string("<HTML><BODY>") + rows[i].in + "</BODY></HTML>";
    EXPECT_EQ(structure(in), std::string("HTML{t}[HEAD{ne} BODY{t}[") + rows[i].tree + "]]");
  }
}

// Rows whose input is the body of <HTML><BODY>...</BODY></HTML>; the tree shown is BODY's content.
TEST(HtmlReader, BodyContent) {
  const reader_row rows[] = {
      {"<p class=x>a<p>b", "P(CLASS=x)[\"a\"] P[\"b\"]"},
      {"<TABLE><TR><TD>1<TD>2<TR><TD>3</TABLE>", "TABLE{t}[TR[TD[\"1\"] TD[\"2\"]] TR[TD[\"3\"]]]"},
      {"<B>x</I>y</B>", "B{t}[\"x\" /I \"y\"]"},
      {"<SCRIPT>if (a<b) x=\"</p>\";</SCRIPT>", "SCRIPT{t}[\"if (a<b) x=\"</p>\";\"]"},
      {"a < b", "\"a < b\""},
      {"a<<b>c", "\"a<\" B[\"c\"]"},
      {"<IMG SRC=a.png><!--$VX ELT a--><!--$VX ELT b--><!--x-->",
       "IMG(SRC=a.png)[!--$VX ELT a-- !--$VX ELT b--] !--x--"},
      {"<IMG SRC=a.png>\n<!--$VX ELT a-->", "IMG(SRC=a.png){n}[!--$VX ELT a--]"},
      {"<BR><!--$VX ELTX--><!--$VX VAR a-->", "BR[!--$VX ELTX--] !--$VX VAR a--"},
      {"<TD A='say \"x\"' 1width=3>", "TD(A=say \"x\",WIDTH=3)"},
      {"<BR/><INPUT disabled value=\"\" x = 'y'>", "BR INPUT(DISABLED,VALUE=,X=y)"},
      {"<A HREF= x.html TITLE=\"a>b\" C=d<e>z</A>", "A(HREF=x.html,TITLE=a>b,C=d<e){t}[\"z\"]"},
      {"<A HREF=>x</A>", "A(HREF=){t}[\"x\"]"},
      {"<UL><LI>a<LI>b</UL>", "UL{t}[LI[\"a\"] LI[\"b\"]]"},
      {"<DL><DT>t<DD>d<DT>u</DL>", "DL{t}[DT[\"t\"] DD[\"d\"] DT[\"u\"]]"},
      {"<P><B>x<DIV>y</DIV>", "P[B[\"x\"]] DIV{t}[\"y\"]"},
      {"<DIV><DIV>a</DIV>b</DIV>", "DIV{t}[DIV{t}[\"a\"] \"b\"]"},
      {"<B>x</B> <I>y</I>", "B{t}[\"x\"] I{t}[\"y\"]"},
      {"<FOO a=1>x</FOO><foo>y", "FOO(A=1){t}[\"x\"] FOO[\"y\"]"},
      {"<SCRIPT>a</scriptx></Script >b", "SCRIPT{t}[\"a</scriptx>\"] \"b\""},
      {"<SCRIPT>a</SCRIPT\n x='>'>b", "SCRIPT{t}[\"a\"] \"b\""},
      {"<XMP></XMP>", "XMP{t}[\"\"]"},
      {"<XMP><B>x</B></XMP>", "XMP{t}[\"<B>x</B>\"]"},
      {"<!----><!--a-b--><!--a- -->", "!---- !--a-b-- !--a- --"},
      {"<!-- x -- y --><!-- x -->", "!-- x -- !-- x --"},
      {"<!--a--b-->c", "!--a-- \"c\""},
      {"<!-x><!><?pi a>", "<!-x> <!> <?pi a>"},
      {"a</ x><>b", "\"a</ x><>b\""},
      {"<B>x</B title=\">\">y", "B{t}[\"x\"] \"y\""},
      {"x<!--c-->y<!d>z", "\"x\" !--c-- \"y\" <!d> \"z\""},
      {"<DIV><HTML><BODY>x</BODY></HTML></DIV>", "DIV{t}[\"x\"]"},
      {"<UL><BODY a=1><LI>x</UL>", "UL{t}[LI[\"x\"]]"},
      {"<P>a\n<P>b\n</P>\n", "P[\"a\\n\"] P{et}[\"b\\n\"]"},
      {"<TABLE>\r\n<TR>\r\n<TD>1</TD>\r\n</TR>\r\n</TABLE>",
       "TABLE{nt}[TR{net}[TD{et}[\"1\"]]]"},
  };
  check_rows(rows, std::size(rows), true);
}

TEST(HtmlReader, WholeDocuments) {
  const reader_row rows[] = {
      {"<HTML>x</HTML>", "HTML{t}[HEAD{ne} BODY{ne}[\"x\"]]"},
      {"<HTML><!-- x -- y --><!-- x --></HTML>", "HTML{t}[HEAD{ne}[!-- x -- !-- x --] BODY{ne}]"},
      {"<!DOCTYPE HTML PUBLIC \"a>b\" 'c'>\n<HTML></HTML>",
       "<!DOCTYPE HTML PUBLIC \"a>b\" 'c'>{n} HTML{t}[HEAD{ne} BODY{ne}]"},
      {"<!--c--><HTML>", "!--c-- HTML[HEAD{ne} BODY{ne}]"},
      {"<?xml version=\"1.0\"?><HTML>", "<?xml version=\"1.0\"?> HTML[HEAD{ne} BODY{ne}]"},
      {"text<HTML></HTML>", "(not a document)"},
      {"</B><HTML></HTML>", "(not a document)"},
      {"<P><HTML></HTML>", "(not a document)"},
      {"", "(not a document)"},
      {"  \r\n ", "(not a document)"},
      {"<!--only a comment-->", "(not a document)"},
      {"<HTML><HEAD><TITLE>t</TITLE></HEAD><!--c--><BODY BGCOLOR=red><P>x</BODY></HTML>",
       "HTML{t}[HEAD{t}[TITLE{t}[\"t\"]] BODY{ne}[!--c-- P[\"x\"]]]"},
      {"<HTML>\r\n<HEAD>\r\n<TITLE>t</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>x</P>\r\n</BODY>\r\n</HTML>\r\n",
       "HTML{net}[HEAD{net}[TITLE{et}[\"t\"]] BODY{net}[P{et}[\"x\"]]]"},
      {"<HTML><TITLE>t</TITLE><META NAME=a><!--c--><P>x</HTML>",
       "HTML{t}[HEAD{ne}[TITLE{t}[\"t\"] META(NAME=a) !--c--] BODY{ne}[P[\"x\"]]]"},
      {"<HTML><!--c--><HEAD><HTML><BODY><LINK></BODY></HTML></HEAD><BODY></BODY></HTML>",
       "HTML{t}[!--c-- HEAD{t}[LINK] BODY{t}]"},
      {"<HTML><TITLE>t</TITLE><HEAD><META></HEAD>x</HTML>",
       "HTML{t}[HEAD{ne}[TITLE{t}[\"t\"] META] BODY{ne}[\"x\"]]"},
      {"<HTML><HEAD></HEAD>x<BODY>y</BODY></HTML>", "HTML{t}[HEAD{t} BODY{ne}[\"x\" \"y\"]]"},
      {"<HTML><BODY>a</BODY></HTML><P>b", "HTML{t}[HEAD{ne} BODY{t}[\"a\" P[\"b\"]]]"},
      {"<HTML><BODY>a</BODY></HTML>\r\n<!--end-->", "HTML{et}[HEAD{ne} BODY{t}[\"a\" !--end--]]"},
      {"<HTML><BODY><STYLE>p {}", "HTML[HEAD{ne} BODY[STYLE{t}[\"p {}\"]]]"},
      {"<HTML><BODY><SCRIPT>a</SCRIPT", "HTML[HEAD{ne} BODY[SCRIPT{t}[\"a\"]]]"},
      {"<HTML><BODY><!-- abc", "HTML[HEAD{ne} BODY[!-- abc--]]"},
      {"<HTML><BODY><!-- abc-", "HTML[HEAD{ne} BODY[!-- abc--]]"},
      {"<HTML><BODY>a<", "HTML[HEAD{ne} BODY[\"a<\"]]"},
      {"<HTML><BODY><A HREF='x", "HTML[HEAD{ne} BODY[A(HREF=x)]]"},
      {"<HTML><BODY><!DOCTYPE \"x", "HTML[HEAD{ne} BODY[<!DOCTYPE \"x>]]"},
      {"<html><body bgColor=Red></body></html>", "HTML{t}[HEAD{ne} BODY(BGCOLOR=Red){t}]"},
      {"<HTML></HTML></HTML>", "HTML{t}[HEAD{ne} BODY{ne}[/HTML]]"},
  };
  check_rows(rows, std::size(rows), false);
}

TEST(HtmlReader, BodyRowsInsideSkeleton) {
  // The same body rows must also hold when the skeleton is written out in full.
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY><p class=x>a<p>b</BODY></HTML>"));
  EXPECT_EQ(test::dump_list(doc->body->children), "P(CLASS=x)[\"a\"] P[\"b\"]");
  EXPECT_EQ(doc->body->flags, html_object::HAS_END_TAG);
}

TEST(HtmlReader, UnknownTagsShareTheirDefinition) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY><FOO>x</foo></Foo><foo>y</BODY></HTML>"));
  auto* first = static_cast<html_elt_tag*>(doc->body->children);
  auto* stray = static_cast<html_elt_etag*>(first->next);
  auto* second = static_cast<html_elt_tag*>(stray->next);
  ASSERT_EQ(stray->kind, html_kind::etag);
  EXPECT_EQ(first->def, stray->def);
  EXPECT_EQ(first->def, second->def);
  EXPECT_EQ(first->def->flags, html_elt_def::DYNAMIC);
  EXPECT_EQ(first->def->content, 0u);
  EXPECT_EQ(static_cast<const html_elt_def_dynamic*>(first->def)->ref_count(), 3);
}

TEST(HtmlReader, ReadReplacesTheOldTree) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY>one</BODY></HTML>"));
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY>two</BODY></HTML>"));
  EXPECT_EQ(test::dump_list(doc->body->children), "\"two\"");
  EXPECT_FALSE(test::read_string(*doc, "no"));
  EXPECT_EQ(doc->top, nullptr);
  EXPECT_EQ(doc->body, nullptr);
}

}  // namespace
}  // namespace quillet
