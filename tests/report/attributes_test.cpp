// Computed attributes and styles of dynamic elements, and the inline-style reader.
#include <gtest/gtest.h>

#include <algorithm>

#include "report/html_dyn_elt.h"
#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct attr_row {
  const char* name;
  const char* body;
  const char* expected;
};

const attr_row attr_rows[] = {
    {"own attributes without computed ones are written as read",
     "<SPAN ID=a TITLE=\"x y\" DATA='q\"r' HIDDEN><!--$VX ELT VALUE=%{1}%--></SPAN>"
     "<TABLE><TR ALIGN=left><TD NOWRAP><!--$VX ELT ROWS=%{2}%--></TD></TR></TABLE>",
     "<SPAN ID=a TITLE=\"x y\" DATA='q\"r' HIDDEN>1</SPAN><TABLE><TR ALIGN=left><TD NOWRAP></TD></TR>\r\n"
     "<TR ALIGN=left><TD NOWRAP></TD></TR>\r\n</TABLE>"},
    {"ATTR replaces in place", "<TABLE BGCOLOR=white BORDER=1><!--$VX ELT ATTR.BGCOLOR=%{\"#FF0000\"}%--></TABLE>",
     "<TABLE BGCOLOR=\"#FF0000\" BORDER=1></TABLE>"},
    {"ATTR of a missing attribute is appended", "<SPAN ID=a><!--$VX ELT ATTR.TITLE=%{\"t\"}%-->x</SPAN>",
     "<SPAN ID=a TITLE=t>x</SPAN>"},
    {"ATTR items keep property order",
     "<SPAN><!--$VX ELT ATTR.B=%{2}%\r\n ATTR.A=%{1}%-->x</SPAN>", "<SPAN B=2 A=1>x</SPAN>"},
    {"failing ATTR adds nothing", "<SPAN ID=a><!--$VX ELT ATTR.ID=%{NOSUCH()}%-->x</SPAN>", "<SPAN ID=a>x</SPAN>"},
    {"later ATTR of the same name wins", "<SPAN><!--$VX ELT ATTR.X=%{1}%\r\n ATTR.X=%{2}%-->x</SPAN>",
     "<SPAN X=2>x</SPAN>"},
    {"attribute values are not encoded", "<SPAN><!--$VX ELT ATTR.TITLE=%{\"a<b\"}%-->x</SPAN>",
     "<SPAN TITLE=\"a<b\">x</SPAN>"},
    {"STYLE item replaced in place", "<SPAN STYLE=\"color: red; width: 10px\"><!--$VX ELT STYLE.color=%{\"blue\"}%-->x</SPAN>",
     "<SPAN STYLE=\"color:blue; width:10px;\">x</SPAN>"},
    {"new STYLE items follow the parsed ones",
     "<SPAN STYLE=\"width: 10px\"><!--$VX ELT STYLE.color=%{\"blue\"}%\r\n STYLE.height=%{\"2px\"}%-->x</SPAN>",
     "<SPAN STYLE=\"width:10px; color:blue; height:2px;\">x</SPAN>"},
    {"STYLE names compare byte-wise", "<SPAN STYLE=\"COLOR: red\"><!--$VX ELT STYLE.color=%{\"blue\"}%-->x</SPAN>",
     "<SPAN STYLE=\"COLOR:red; color:blue;\">x</SPAN>"},
    {"STYLE without a style attribute", "<SPAN><!--$VX ELT STYLE.color=%{\"blue\"}%-->x</SPAN>",
     "<SPAN STYLE=\"color:blue;\">x</SPAN>"},
    {"failing STYLE keeps the parsed items", "<SPAN STYLE=\"color:red\"><!--$VX ELT STYLE.color=%{NOSUCH()}%-->x</SPAN>",
     "<SPAN STYLE=\"color:red;\">x</SPAN>"},
    {"ATTR items come before STYLE",
     "<SPAN><!--$VX ELT STYLE.color=%{\"blue\"}%\r\n ATTR.ID=%{\"k\"}%-->x</SPAN>",
     "<SPAN ID=k STYLE=\"color:blue;\">x</SPAN>"},
    {"ATTR.STYLE yields to the merged STYLE",
     "<SPAN><!--$VX ELT ATTR.STYLE=%{\"a:1\"}%\r\n STYLE.b=%{2}%-->x</SPAN>", "<SPAN STYLE=\"b:2;\">x</SPAN>"},
    {"row span written with a computed span",
     "<TABLE><TR><TD><!--$VX ELT ATTR.ROWSPAN=%{2}%\r\n ROWS=%{2}%-->c</TD></TR></TABLE>",
     "<TABLE><TR><TD ROWSPAN=2>c</TD></TR>\r\n<TR></TR>\r\n</TABLE>"},
    {"bad row span counts as 1", "<TABLE><TR><TD ROWSPAN=x>c</TD></TR></TABLE>",
     "<TABLE><TR><TD ROWSPAN=x>c</TD></TR></TABLE>"},
    {"each computed item takes the next own item of its name",
     "<SPAN STYLE=\"color: red; x: 1; color: green\"><!--$VX ELT STYLE.color=%{\"blue\"}%\r\n STYLE.color=%{2}%-->x</SPAN>",
     "<SPAN STYLE=\"color:blue; x:1; color:2;\">x</SPAN>"},
    {"a style failing in one repetition leaves the own item there",
     "<SPAN STYLE=\"color: red; y: 2\"><!--$VX ELT REPEAT=%{3}%\r\n STYLE.color=%{if IDX() == 1 then NOSUCH() else \"c\" + IDX()}%\r\n STYLE.z=%{IDX()}%-->x</SPAN>",
     "<SPAN STYLE=\"color:c0; y:2; z:0;\">x</SPAN>\r\n<SPAN STYLE=\"color:red; y:2; z:1;\">x</SPAN>\r\n"
     "<SPAN STYLE=\"color:c2; y:2; z:2;\">x</SPAN>\r\n"},
    {"a lone style whose first item fails in one repetition",
     "<SPAN><!--$VX ELT REPEAT=%{3}%\r\n STYLE.a=%{if IDX() == 1 then NOSUCH() else IDX()}%\r\n STYLE.bb=%{IDX()}%-->x</SPAN>",
     "<SPAN STYLE=\"a:0; bb:0;\">x</SPAN>\r\n<SPAN STYLE=\"bb:1;\">x</SPAN>\r\n<SPAN STYLE=\"a:2; bb:2;\">x</SPAN>\r\n"},
    {"a lone style growing and shrinking",
     "<SPAN><!--$VX ELT REPEAT=%{3}%\r\n STYLE.a=%{if IDX() == 1 then \"a \\\"long\\\" one\" else \"v\"}%-->x</SPAN>",
     "<SPAN STYLE=\"a:v;\">x</SPAN>\r\n<SPAN STYLE='a:a \"long\" one;'>x</SPAN>\r\n<SPAN STYLE=\"a:v;\">x</SPAN>\r\n"},
    {"each repetition writes its own values",
     "<SPAN><!--$VX ELT REPEAT=%{3}%\r\n ATTR.A=%{IDX()}%\r\n ATTR.B=%{\"b c\" + IDX() * 100}%-->x</SPAN>",
     "<SPAN A=0 B=\"b c0\">x</SPAN>\r\n<SPAN A=1 B=\"b c100\">x</SPAN>\r\n<SPAN A=2 B=\"b c200\">x</SPAN>\r\n"},
};

TEST(ComputedAttributes, MergeIntoTheStartTag) {
  for (const attr_row& row : attr_rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(body_report(row.body), row.expected);
  }
}

// A tag whose computed style is all it has is written on a path of its own; the same
// properties on a tag with an attribute of its own go through the general merge. Both must
// give the same STYLE, quotes included.
TEST(ComputedAttributes, LoneStyleMatchesTheGeneralMerge) {
  struct row {
    const char* props;
    const char* style;  // the STYLE attribute written, after a space
  };
  const row rows[] = {
      {"STYLE.color=%{\"blue\"}%", "STYLE=\"color:blue;\""},
      {"STYLE.a=%{1}%\r\n STYLE.b=%{2.5}%", "STYLE=\"a:1; b:2.5;\""},
      {"STYLE.a=%{NOSUCH()}%", "STYLE=\"\""},
      {"STYLE.a=%{1}%\r\n STYLE.b=%{NOSUCH()}%\r\n STYLE.c=%{3}%", "STYLE=\"a:1; c:3;\""},
      {"STYLE.font=%{\"\\\"A B\\\"\"}%", "STYLE='font:\"A B\";'"},
      {"STYLE.font=%{\"'A'\"}%", "STYLE=\"font:'A';\""},
      {"STYLE.a=%{\"'x'\"}%\r\n STYLE.b=%{\"\\\"y\\\"\"}%", "STYLE=\"a:'x'; b:&quot;y&quot;;\""},
      {"\"STYLE.a'b\"=%{1}%", "STYLE=\"a'b:1;\""},
      {"STYLE.a=%{\"x\" + IDX()}%\r\n REPEAT=%{2}%", "STYLE=\"a:x0;\""},
      {"STYLE.a=%{\"x\\\"y'z\"}%", "STYLE=\"a:x&quot;y'z;\""},
      {"STYLE.a=%{1.5}%", "STYLE=\"a:1.5;\""},
  };
  for (const row& r : rows) {
    for (std::string gap : {"", "\r\n"}) {
      SCOPED_TRACE(r.props + gap);
      std::string lone = body_report("<SPAN>" + gap + "<!--$VX ELT " + r.props + "-->x</SPAN>");
      std::string merged = body_report("<SPAN ID=a>" + gap + "<!--$VX ELT " + r.props + "-->x</SPAN>");
      EXPECT_EQ(lone.substr(0, lone.find('>') + 1 + gap.size()), "<SPAN " + std::string(r.style) + ">" + gap);
      EXPECT_EQ(merged.substr(0, merged.find('>') + 1 + gap.size()), "<SPAN ID=a " + std::string(r.style) + ">" + gap);
    }
  }
}

// The same for a tag whose one ATTR. property is all it has, with and without a line break
// after the start tag.
TEST(ComputedAttributes, LoneAttributeMatchesTheGeneralMerge) {
  struct row {
    const char* props;
    const char* attr;  // the attribute written, after a space, or "" for none
  };
  const row rows[] = {
      {"ATTR.T=%{\"ab\"}%", " T=ab"},
      {"ATTR.T=%{\"\"}%", " T=\"\""},
      {"ATTR.T=%{\"a b\"}%", " T=\"a b\""},
      {"ATTR.T=%{\"a\\\"b\"}%", " T='a\"b'"},
      {"ATTR.T=%{\"a'b\"}%", " T=\"a'b\""},
      {"ATTR.T=%{\"a\\\"b'c\"}%", " T=\"a&quot;b'c\""},
      {"ATTR.T=%{2.5}%", " T=2.5"},
      {"ATTR.T=%{NOSUCH()}%", ""},
      {"ATTR.T=%{\"background-color: white\"}%", " T=\"background-color: white\""},
  };
  for (const row& r : rows) {
    for (const char* gap : {"", "\r\n"}) {
      SCOPED_TRACE(std::string(r.props) + (*gap ? " (line break)" : ""));
      std::string tail = std::string(gap) + "<!--$VX ELT " + r.props + "-->x</SPAN>";
      std::string lone = body_report("<SPAN>" + tail);
      std::string merged = body_report("<SPAN ID=a>" + tail);
      EXPECT_EQ(lone, std::string("<SPAN") + r.attr + ">" + gap + "x</SPAN>");
      EXPECT_EQ(merged, std::string("<SPAN ID=a") + r.attr + ">" + gap + "x</SPAN>");
    }
  }
}

// Copies of one element whose attribute or style gives the same text again, or another one,
// write on every copy what the general merge writes.
TEST(ComputedAttributes, RepeatedLoneValuesMatchTheGeneralMerge) {
  const std::string values =
      "var v = LIST(\"ab\", \"ab\", \"a b\", \"a b\", \"\", \"\", \"a\\\"b\", \"a\\\"b\", \"a'b\\\"c\", "
      "\"a'b\\\"c\", \"ab\", 3.5, 3.5, \"ab\"); v[IDX()];";
  for (const char* prop : {"ATTR.T", "STYLE.a"}) {
    SCOPED_TRACE(prop);
    std::string tail = std::string("<!--$VX ELT REPEAT=%{14}%\r\n ") + prop + "=%{" + values + "}%-->x</B>";
    std::string lone = body_report("<B>" + tail);
    std::string merged = body_report("<B ID=a>" + tail);
    for (std::size_t at = merged.find(" ID=a"); at != std::string::npos; at = merged.find(" ID=a"))
      merged.erase(at, 5);
    EXPECT_EQ(lone, merged);
    EXPECT_EQ(std::count(lone.begin(), lone.end(), 'x'), 14) << lone;
  }
}

struct style_row {
  const char* text;
  const char* items;  // name=value|...
};

const style_row style_rows[] = {
    {"", ""},
    {"color: red; width: 10px", "color=red|width=10px|"},
    {"color=red;width=10px;", "color=red|width=10px|"},
    {"  /* note */ color /* c */ : /* v */ red /* t */ ; x", "color=red|x=|"},
    {"font-family: 'A;B', \"C;D\"", "font-family='A;B', \"C;D\"|"},
    {"content: 'it\\'s;x'", "content='it\\'s;x'|"},
    {"a; b: 1", "a=|b=1|"},
    {"a: 1  ", "a=1|"},
    {"!bad: 1", ""},
    {"a: 1; !b: 2", "a=1|"},
    {"a: 'open", "a='open|"},
    {"a /* never closed", "a=|"},
    {"x_y-2: v", "x_y-2=v|"},
};

TEST(InlineStyle, ReadsNamesAndValues) {
  for (const style_row& row : style_rows) {
    SCOPED_TRACE(row.text);
    std::string got;
    for (const style_item& item : parse_inline_style(row.text))
      got += item.name + "=" + item.value + "|";
    EXPECT_EQ(got, row.items);
  }
}

// The lookups the embedded controls use for their size.
TEST(ComputedAttributes, StyleAndAttributeLookups) {
  auto doc = read_document(
      "<HTML><BODY><OBJECT WIDTH=40 STYLE=\"Height: 7px\"><!--$VX ELT ATTR.ID=%{\"z\"}%--></OBJECT></BODY></HTML>");
  htdoc_processor processor;
  processor.setup(*doc);
  ASSERT_EQ(processor.dyn_elements().size(), 1u);
  html_dyn_elt& element = *processor.dyn_elements()[0];
  struct lookup {
    const char* style;
    const char* attr;
    bool ok;
    bool dynamic;
    const char* text;
  };
  const lookup rows[] = {
      {"height", "HEIGHT", true, false, "7px"},
      {"width", "WIDTH", true, false, "40"},
      {"depth", "ID", true, true, "z"},
      {"depth", "DEPTH", false, false, ""},
  };
  for (const lookup& row : rows) {
    SCOPED_TRACE(row.style);
    anyval value;
    bool dynamic = !row.dynamic;
    EXPECT_EQ(element.get_style_value(row.style, row.attr, value, dynamic), row.ok);
    EXPECT_EQ(dynamic, row.dynamic);
    std::string text;
    value.to_text(text);
    EXPECT_EQ(text, row.text);
  }
  processor.reset();
  doc->clear();
}

}  // namespace
}  // namespace quillet::test
