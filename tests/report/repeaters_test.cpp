// Repeating elements: REPEAT with IDX, table rows and cells with ROW and COL, row spans,
// COLS, list items and definition terms, VALUE and its failures.
#include <gtest/gtest.h>

#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct repeat_row {
  const char* name;
  const char* body;
  const char* expected;
};

const repeat_row repeat_rows[] = {
    {"plain div unchanged", "<DIV>x</DIV>", "<DIV>x</DIV>"},
    {"repeat 3 counts IDX", "<DIV><!--$VX ELT REPEAT=%{3}%\r\n VALUE=%{IDX()}%--></DIV>",
     "<DIV>0</DIV>\r\n<DIV>1</DIV>\r\n<DIV>2</DIV>\r\n"},
    {"repeat 0 removes", "a<DIV><!--$VX ELT REPEAT=%{0}%-->x</DIV>b", "ab"},
    {"repeat negative removes", "a<SPAN><!--$VX ELT REPEAT=%{-4}%-->x</SPAN>b", "ab"},
    {"failing repeat writes once", "<SPAN><!--$VX ELT REPEAT=%{NOSUCH()}%-->x</SPAN>", "<SPAN>x</SPAN>"},
    {"repeat 1 adds no break", "<SPAN><!--$VX ELT REPEAT=%{1}%-->x</SPAN>", "<SPAN>x</SPAN>"},
    {"nested repeats: outer and inner IDX",
     "<P><!--$VX ELT REPEAT=%{2}%--><B><!--$VX ELT REPEAT=%{2}%\r\n VALUE=%{IDX(1)*10+IDX(0)}%--></B></P>",
     "<P><B>0</B>\r\n<B>1</B>\r\n</P>\r\n<P><B>10</B>\r\n<B>11</B>\r\n</P>\r\n"},
    {"value encodes markup", "<SPAN><!--$VX ELT VALUE=%{\"a < b & c > d\"}%--></SPAN>",
     "<SPAN>a &lt; b &amp; c &gt; d</SPAN>"},
    {"value replaces children", "<SPAN><!--$VX ELT VALUE=%{1+2}%-->old<B>x</B></SPAN>", "<SPAN>3</SPAN>"},
    {"failing value writes its error text encoded", "<SPAN><!--$VX ELT VALUE=%{@'a<b'()}%--></SPAN>",
     "<SPAN>#UNK:a&lt;b:#</SPAN>"},
    {"failing value without text writes the marker", "<SPAN><!--$VX ELT VALUE=%{NOSUCH()}%--></SPAN>",
     "<SPAN>#UNK:NOSUCH:#</SPAN>"},
    {"empty value writes nothing", "<SPAN><!--$VX ELT VALUE=%{LIST()[5]}%--></SPAN>", "<SPAN></SPAN>"},
    {"cells ROWS 2, 5 and none give 5 rows",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{2}%\r\n VALUE=%{ROW()}%--></TD>"
     "<TD><!--$VX ELT ROWS=%{5}%\r\n VALUE=%{ROW()}%--></TD><TD><!--$VX ELT VALUE=%{ROW()}%--></TD></TR></TABLE>",
     "<TABLE><TR><TD>0</TD><TD>0</TD><TD>0</TD></TR>\r\n<TR><TD>1</TD><TD>1</TD><TD>1</TD></TR>\r\n"
     "<TR><TD>2</TD><TD>2</TD><TD>2</TD></TR>\r\n<TR><TD>3</TD><TD>3</TD><TD>3</TD></TR>\r\n"
     "<TR><TD>4</TD><TD>4</TD><TD>4</TD></TR>\r\n</TABLE>"},
    {"row span 2 over 4 rows",
     "<TABLE><TR><TD ROWSPAN=2><!--$VX ELT VALUE=%{ROW()}%--></TD><TD><!--$VX ELT ROWS=%{4}%\r\n VALUE=%{ROW()}%--></TD></TR></TABLE>",
     "<TABLE><TR><TD ROWSPAN=2>0</TD><TD>0</TD></TR>\r\n<TR><TD>1</TD></TR>\r\n"
     "<TR><TD ROWSPAN=2>1</TD><TD>2</TD></TR>\r\n<TR><TD>3</TD></TR>\r\n</TABLE>"},
    {"a span that changes from one copy of the table to the next",
     "<DIV><!--$VX ELT REPEAT=%{2}%--><TABLE><TR><TD><!--$VX ELT ATTR.ROWSPAN=%{IDX() + 1.5}%\r\n VALUE=%{\"v\"}%-->"
     "</TD></TR></TABLE></DIV>",
     "<DIV><TABLE><TR><TD ROWSPAN=1.5>v</TD></TR></TABLE></DIV>\r\n"
     "<DIV><TABLE><TR><TD ROWSPAN=2>v</TD></TR></TABLE></DIV>\r\n"},
    {"COLS 3 writes three cells", "<TABLE><TR><TD><!--$VX ELT COLS=%{3}%\r\n VALUE=%{COL()}%--></TD></TR></TABLE>",
     "<TABLE><TR><TD>0</TD>\r\n<TD>1</TD>\r\n<TD>2</TD>\r\n</TR></TABLE>"},
    {"COLS 0 writes no cell", "<TABLE><TR><TH><!--$VX ELT COLS=%{0}%-->x</TH><TD>y</TD></TR></TABLE>",
     "<TABLE><TR><TD>y</TD></TR></TABLE>"},
    {"cell ROW and COL together",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{2}%\r\n COLS=%{2}%\r\n VALUE=%{ROW()*10+COL()}%--></TD></TR></TABLE>",
     "<TABLE><TR><TD>0</TD>\r\n<TD>1</TD>\r\n</TR>\r\n<TR><TD>10</TD>\r\n<TD>11</TD>\r\n</TR>\r\n"
     "</TABLE>"},
    {"cells around spans, COLS, texts and inner tables each see their own ROW and COL",
     "<TABLE><TR><!--$VX ELT ATTR.ID=%{ROW()}%--><TD><!--$VX ELT ROWS=%{2}%\r\n VALUE=%{ROW()*10+COL()}%--></TD> x "
     "<TD ROWSPAN=2><!--$VX ELT VALUE=%{ROW()}%--></TD><TD><!--$VX ELT COLS=%{2}%\r\n VALUE=%{COL()}%--></TD>"
     "<TD><TABLE><TR><TD><!--$VX ELT VALUE=%{ROW(1)*10+ROW()}%--></TD></TR></TABLE></TD>"
     "<TD><!--$VX ELT VALUE=%{ROW()}%--></TD></TR></TABLE>",
     "<TABLE><TR><TD>0</TD> x <TD ROWSPAN=2>0</TD><TD>0</TD>\r\n<TD>1</TD>\r\n"
     "<TD><TABLE><TR><TD>0</TD></TR></TABLE></TD><TD>0</TD></TR>\r\n"
     "<TR><TD>10</TD> x <TD>0</TD>\r\n<TD>1</TD>\r\n<TD><TABLE><TR><TD>10</TD></TR></TABLE></TD><TD>1</TD></TR>\r\n"
     "</TABLE>"},
    {"row REPEAT has no effect", "<TABLE><TR><!--$VX ELT REPEAT=%{3}%--><TD>x</TD></TR></TABLE>",
     "<TABLE><TR><TD>x</TD></TR></TABLE>"},
    {"row with VALUE writes the value", "<TABLE><TR><!--$VX ELT VALUE=%{\"v\"}%--><TD>x</TD></TR></TABLE>",
     "<TABLE><TR>v</TR></TABLE>"},
    {"cell outside a row writes nothing", "<DIV><TD>x</TD></DIV>", "<DIV></DIV>"},
    {"list item ROWS 3 counts ROW", "<UL><LI><!--$VX ELT ROWS=%{3}%\r\n VALUE=%{ROW()}%--></LI></UL>",
     "<UL><LI>0</LI>\r\n<LI>1</LI>\r\n<LI>2</LI>\r\n</UL>"},
    {"DT takes its DDs along", "<DL><DT><!--$VX ELT ROWS=%{2}%-->t<DD>a<DD>b</DL>",
     "<DL><DT>t</DT>\r\n<DD>a</DD>\r\n<DD>b</DD>\r\n\r\n<DT>t</DT>\r\n<DD>a</DD>\r\n<DD>b</DD>\r\n\r\n</DL>"},
    {"repeat inside a cell sees ROW and IDX",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{2}%--><I><!--$VX ELT REPEAT=%{2}%\r\n VALUE=%{ROW()*10+IDX()}%--></I></TD></TR></TABLE>",
     "<TABLE><TR><TD><I>0</I>\r\n<I>1</I>\r\n</TD></TR>\r\n<TR><TD><I>10</I>\r\n<I>11</I>\r\n</TD></TR>\r\n"
     "</TABLE>"},
};

TEST(Repeaters, WriteAsTheirPropertiesSay) {
  for (const repeat_row& row : repeat_rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(body_report(row.body), row.expected);
  }
}

}  // namespace
}  // namespace quillet::test
