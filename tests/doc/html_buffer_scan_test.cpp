// The reader's direct scans of the input buffer (texts, names and values taken in one step)
// against the same inputs where characters were given back first, at the edges of the input;
// unknown names that share a definition cache slot; and start tags assembled by the writer.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "html_test_util.h"

namespace quillet {
namespace {

struct scan_row {
  const char* body;  // the content of <HTML><BODY>
  const char* tree;  // BODY's content as dumped
};

std::string body_tree(const std::string& body) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!test::read_string(*doc, "<HTML><BODY>" + body))
    return "(not a document)";
  if (!doc->body)
    return "(no body)";
  return test::dump_list(doc->body->children);
}

TEST(HtmlBufferScan, TextsNamesAndValuesAtEveryEdge) {
  const scan_row rows[] = {
      {"plain text at the end", "\"plain text at the end\""},
      {"a<", "\"a<\""},
      {"a</", "\"a</\""},
      {"a</1>b", "\"a</1>b\""},
      {"a<1<b>c", "\"a<1\" B[\"c\"]"},
      {"a<<<b>c", "\"a<<\" B[\"c\"]"},
      {"x<?p>y<!d>z", "\"x\" <?p> \"y\" <!d> \"z\""},
      {"x<!-y", "\"x\" <!-y>"},
      {"<i>", "I"},
      {"<span", "SPAN"},
      {"<span class", "SPAN(CLASS)"},
      {"<span class=", "SPAN(CLASS=)"},
      {"<span class=  ", "SPAN(CLASS=)"},
      {"<span class=ab", "SPAN(CLASS=ab)"},
      {"<span class=ab>c", "SPAN(CLASS=ab)[\"c\"]"},
      {"<span class=a/b id=c>", "SPAN(CLASS=a/b,ID=c)"},
      {"<span class=  ab  id=\"c d\">", "SPAN(CLASS=ab,ID=c d)"},
      {"<span class=\n'a>b' id=>", "SPAN(CLASS=a>b,ID=)"},
      {"<span class='unclosed>x", "SPAN(CLASS=unclosed>x)"},
      {"<span a=1 b c=\"\" d='' e=2>", "SPAN(A=1,B,C=,D=,E=2)"},
      {"<span class=a\tid=b\r\nx=y>", "SPAN(CLASS=a,ID=b,X=y)"},
      {"<span data-x.y=1>", "SPAN(DATA-X.Y=1)"},
      {"<sPaN ClAsS=MiXeD>", "SPAN(CLASS=MiXeD)"},
      {"<b>x</b\n>y", "B{t}[\"x\"] \"y\""},
      {"<b>x</b", "B{t}[\"x\"]"},
  };
  for (const scan_row& r : rows) {
    SCOPED_TRACE(r.body);
    EXPECT_EQ(body_tree(r.body), r.tree);
  }
}

// A NUL ends a stored text or value; the bytes after it up to the next markup are dropped.
TEST(HtmlBufferScan, NulEndsTextsAndValues) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> rows[] = {
      {"a\0b<i>c"s, "\"a\" I[\"c\"]"},
      {"<span class=a\0b id='c\0d'>"s, "SPAN(CLASS=a,ID=c)"},
  };
  for (const auto& [body, tree] : rows) {
    SCOPED_TRACE(tree);
    EXPECT_EQ(body_tree(body), tree);
  }
}

// Names of one length with the same first and last letters, read in turns, each keep their own
// definition; end tags find the element they close.
TEST(HtmlBufferScan, LookalikeUnknownNamesKeepTheirOwnDefinitions) {
  const scan_row rows[] = {
      {"<ABC>1</ABC><AXC>2</AXC><ABC>3", "ABC{t}[\"1\"] AXC{t}[\"2\"] ABC[\"3\"]"},
      {"<TD-X>a</TD-X><TXXD>b</TXXD>", "TD-X{t}[\"a\"] TXXD{t}[\"b\"]"},
      {"<BR><BX>x</BX><BR>", "BR BX{t}[\"x\"] BR"},
      {"<TTT>a</TTT><TT>b</TT><T>c</T>", "TTT{t}[\"a\"] TT{t}[\"b\"] T{t}[\"c\"]"},
      {"<abcdefgh>1</ABCDEFGH><abcdefghi>2</abcdefghi><ABCDEFGH>3",
       "ABCDEFGH{t}[\"1\"] ABCDEFGHI{t}[\"2\"] ABCDEFGH[\"3\"]"},
  };
  for (const scan_row& r : rows) {
    SCOPED_TRACE(r.body);
    EXPECT_EQ(body_tree(r.body), r.tree);
  }
}

// Names around the length kept in the reader's fixed buffer, mid-input and at its very end.
TEST(HtmlBufferScan, NamesOfEveryLengthAroundTheFixedBuffer) {
  for (std::size_t n : {31, 32, 33, 64}) {
    std::string name(n - 1, 'q');
    name += 'z';
    std::string upper(n - 1, 'Q');
    upper += 'Z';
    SCOPED_TRACE(n);
    EXPECT_EQ(body_tree("<" + name + " " + name + "=1>x</" + name + ">"), upper + "(" + upper + "=1){t}[\"x\"]");
    EXPECT_EQ(body_tree("<i " + name), "I(" + upper + ")");
  }
}

// Whole start and end tags as written, with and without normalised end tags. Each input is the
// body of <HTML><BODY>...</BODY></HTML>; the reader adds the missing HEAD.
TEST(HtmlBufferScan, StartTagsWrittenWhole) {
  struct row {
    const char* body;
    const char* as_read;     // BODY's content written with flags 0
    const char* normalized;  // and with flags 2
  };
  const row rows[] = {
      {"<P A=1 B C='x y' D='say \"hi\"' E=\"it's &quot;\">t</P>",
       "<P A=1 B C=\"x y\" D='say \"hi\"' E=\"it's &quot;\">t</P>",
       "<P A=1 B C=\"x y\" D='say \"hi\"' E=\"it's &quot;\">t</P>"},
      {"a<<B X=1>b</B>", "a<<B X=1>b</B>", "a<<B X=1>b</B>"},
      {"<TABLE>\r\n<TR>\r\n<TD ALIGN=left>1\r\n</TABLE>",
       "<TABLE>\r\n<TR>\r\n<TD ALIGN=left>1\r\n</TABLE>",
       "<TABLE>\r\n<TR>\r\n<TD ALIGN=left>1\r\n</TD>\r\n</TR>\r\n</TABLE>"},
      {"<IMG SRC=a.png ALT=\"\"><BR>", "<IMG SRC=a.png ALT=\"\"><BR>", "<IMG SRC=a.png ALT=\"\"><BR>"},
      {"<I a b=1 c d='' e f g h i j k l m n o p>x</I>", "<I A B=1 C D=\"\" E F G H I J K L M N O P>x</I>",
       "<I A B=1 C D=\"\" E F G H I J K L M N O P>x</I>"},
      {"<I a b=1 c d='' e f g h i j k l m n o p q='\"'>x</I>",
       "<I A B=1 C D=\"\" E F G H I J K L M N O P Q='\"'>x</I>",
       "<I A B=1 C D=\"\" E F G H I J K L M N O P Q='\"'>x</I>"},
  };
  const std::string tail = "</BODY></HTML>";
  for (const row& r : rows) {
    SCOPED_TRACE(r.body);
    std::string in = "<HTML><BODY>" + std::string(r.body) + tail;
    EXPECT_EQ(test::reformat(in, 0), "<HTML><HEAD>\r\n<BODY>" + std::string(r.as_read) + tail);
    EXPECT_EQ(test::reformat(in, 2), "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>" + std::string(r.normalized) + tail);
  }
}

}  // namespace
}  // namespace quillet
