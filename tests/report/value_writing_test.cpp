// How a dynamic element writes its VALUE and its computed attributes: entities, texts longer
// than the writer's parts, values that are not strings, and the output bound over them.
#include <gtest/gtest.h>

#include "doc/html_printer.h"
#include "report/html_dyn_elt.h"
#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct value_row {
  const char* name;
  std::string body;
  std::string expected;
};

std::string repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i)
    text.append(piece);
  return text;
}

// A special byte at every place of texts of 1 to 20 bytes is found, and bytes that differ
// from one only in the top bit are not taken for it.
TEST(ValueWriting, EverySpecialByteIsFound) {
  for (std::size_t n = 1; n <= 20; ++n) {
    for (std::size_t k = 0; k < n; ++k) {
      std::string text(n, '\xA6');
      text[k] = '<';
      SCOPED_TRACE(n * 100 + k);
      EXPECT_EQ(body_report("<B><!--$VX ELT VALUE=%{\"" + text + "\"}%--></B>"),
                "<B>" + text.replace(k, 1, "&lt;") + "</B>");
    }
    std::string lookalikes(n, '\xBC');
    EXPECT_EQ(body_report("<B><!--$VX ELT VALUE=%{\"" + lookalikes + "\"}%--></B>"), "<B>" + lookalikes + "</B>");
  }
}

TEST(ValueWriting, ValuesAreEncodedWhole) {
  const value_row rows[] = {
      {"plain string", "<B><!--$VX ELT VALUE=%{\"abc\"}%-->old</B>", "<B>abc</B>"},
      {"entities", "<B><!--$VX ELT VALUE=%{\"a&b<c>d\"}%-->x</B>", "<B>a&amp;b&lt;c&gt;d</B>"},
      {"only specials", "<B><!--$VX ELT VALUE=%{\"<>&\"}%-->x</B>", "<B>&lt;&gt;&amp;</B>"},
      {"empty string", "<B><!--$VX ELT VALUE=%{\"\"}%-->x</B>", "<B></B>"},
      {"integer", "<B><!--$VX ELT VALUE=%{6 * 7}%-->x</B>", "<B>42</B>"},
      {"integer bounds",
       "<B><!--$VX ELT VALUE=%{INT(-2147483648.0)}%-->x</B><I><!--$VX ELT VALUE=%{2147483647}%--></I>",
       "<B>-2147483648</B><I>2147483647</I>"},
      {"integer without an end tag in the source", "<P><!--$VX ELT VALUE=%{0}%-->x<P>y",
       "<P>0</P>\r\n<P>y</P>\r\n"},
      {"float", "<B><!--$VX ELT VALUE=%{1.5}%-->x</B>", "<B>1.5</B>"},
      {"failure shows its marker", "<B><!--$VX ELT VALUE=%{NOSUCH()}%-->x</B>", "<B>#UNK:NOSUCH:#</B>"},
      {"long text across parts",
       "<B><!--$VX ELT VALUE=%{\"" + std::string(4095, 'x') + "<" + std::string(4096, 'y') + "&\"}%-->x</B>",
       "<B>" + std::string(4095, 'x') + "&lt;" + std::string(4096, 'y') + "&amp;</B>"},
      {"long text of specials", "<B><!--$VX ELT VALUE=%{\"" + std::string(9000, '>') + "\"}%-->x</B>",
       "<B>" + repeated("&gt;", 9000) + "</B>"},
      {"each repetition its own value", "<B><!--$VX ELT REPEAT=%{3}%\r\n VALUE=%{\"<\" + IDX()}%-->x</B>",
       "<B>&lt;0</B>\r\n<B>&lt;1</B>\r\n<B>&lt;2</B>\r\n"},
      {"own attributes", "<B ID=k T=\"a b\" Q='x\"y' E=\"\" N><!--$VX ELT REPEAT=%{2}%\r\n VALUE=%{IDX()}%-->x</B>",
       "<B ID=k T=\"a b\" Q='x\"y' E=\"\" N>0</B>\r\n<B ID=k T=\"a b\" Q='x\"y' E=\"\" N>1</B>\r\n"},
      {"own attribute with both quotes", "<B T=a'b\"c><!--$VX ELT VALUE=%{1}%-->x</B>", "<B T=\"a'b&quot;c\">1</B>"},
      {"seventeen own attributes",
       "<B" + repeated(" A=1", 17) + "><!--$VX ELT VALUE=%{\"v\"}%-->x</B>", "<B" + repeated(" A=1", 17) + ">v</B>"},
      {"own attribute too long to write whole",
       "<B T=\"" + std::string(5000, 'a') + "\"><!--$VX ELT VALUE=%{\"<\"}%-->x</B>",
       "<B T=" + std::string(5000, 'a') + ">&lt;</B>"},
  };
  for (const value_row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(body_report(row.body), row.expected);
  }
}

// An element's tags are kept for the printer they were made for: a later report, after the
// element's own attributes changed, and a printer with other options write them anew.
TEST(ValueWriting, TagsAreMadeAgainForAnotherPrinter) {
  body_run t("<P ID=a><!--$VX ELT VALUE=%{1}%-->x<P><!--$VX ELT VALUE=%{2}%\r\n ATTR.ID=%{\"b\"}%-->x");
  ASSERT_TRUE(t.processor.generate(t.run));
  EXPECT_EQ(body_of(t.report()), "<P ID=a>1</P>\r\n<P ID=b>2</P>\r\n");
  auto* first = static_cast<html_elt_tag*>(t.doc->body->children);
  static_cast<html_attr*>(first->attrs)->value = html_text("c");
  ASSERT_TRUE(t.processor.generate(t.run));
  EXPECT_EQ(body_of(t.report()), "<P ID=c>1</P>\r\n<P ID=b>2</P>\r\n");
  std::ostringstream plain;
  {
    html_obj_printer printer(plain, 0);  // end tags only where the template had them
    print_list(printer, t.doc->body->children);
  }
  EXPECT_EQ(plain.str(), "<P ID=c>1<P ID=b>2");
}

// Computed attributes that are all the tag has are written as each is evaluated; the text
// must be the one the general merge gives.
TEST(ValueWriting, ComputedAttributesAlone) {
  const value_row rows[] = {
      {"string and number", "<B><!--$VX ELT ATTR.A=%{\"x y\"}%\r\n ATTR.B=%{7}%-->x</B>", "<B A=\"x y\" B=7>x</B>"},
      {"failing one in the middle",
       "<B><!--$VX ELT ATTR.A=%{1}%\r\n ATTR.B=%{NOSUCH()}%\r\n ATTR.C=%{3}%-->x</B>", "<B A=1 C=3>x</B>"},
      {"both quotes", "<B><!--$VX ELT ATTR.T=%{\"a\\\"b'c\"}%-->x</B>", "<B T=\"a&quot;b'c\">x</B>"},
      {"long value", "<B><!--$VX ELT ATTR.T=%{\"" + repeated("v ", 3000) + "\"}%-->x</B>",
       "<B T=\"" + repeated("v ", 3000) + "\">x</B>"},
      {"same name twice still merges", "<B><!--$VX ELT ATTR.A=%{1}%\r\n ATTR.A=%{2}%\r\n ATTR.B=%{3}%-->x</B>",
       "<B A=2 B=3>x</B>"},
      {"own attributes still merge", "<B ID=k><!--$VX ELT ATTR.A=%{1}%-->x</B>", "<B ID=k A=1>x</B>"},
      {"cells with values and attributes",
       "<TABLE><TR><TD><!--$VX ELT ROWS=%{2}%\r\n VALUE=%{ROW()}%\r\n ATTR.STYLE=%{\"c: \" + ROW()}%--></TD></TR></TABLE>",
       "<TABLE><TR><TD STYLE=\"c: 0\">0</TD></TR>\r\n<TR><TD STYLE=\"c: 1\">1</TD></TR>\r\n</TABLE>"},
  };
  for (const value_row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(body_report(row.body), row.expected);
  }
}

// Values and attributes that fill the output past its bound stop the run, and the report
// written holds no more than the bound.
TEST(ValueWriting, OutputBoundStopsLongValues) {
  const std::string bodies[] = {
      "<B><!--$VX ELT REPEAT=%{100000}%\r\n VALUE=%{\"" + std::string(1000, '<') + "\"}%-->x</B>",
      "<B><!--$VX ELT REPEAT=%{100000}%\r\n ATTR.T=%{\"" + repeated("a b", 1000) + "\"}%-->x</B>",
      "<TABLE><TR><TD><!--$VX ELT ROWS=%{1000000}%\r\n VALUE=%{ROW()}%\r\n ATTR.STYLE=%{\"c: d\"}%--></TD></TR></TABLE>",
  };
  for (const std::string& body : bodies) {
    SCOPED_TRACE(body);
    body_run t(body);
    t.run.max_output = 300000;
    EXPECT_FALSE(t.processor.generate(t.run));
    EXPECT_TRUE(t.processor.output_limit_reached());
    EXPECT_LE(t.report().size(), t.run.max_output);
  }
}

}  // namespace
}  // namespace quillet::test
