// The writer: attribute quoting, end tags with and without normalisation, extra attributes.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "doc/html_attr_ops.h"
#include "doc/html_end_tags.h"
#include "doc/html_printer.h"
#include "html_test_util.h"
#include "platform/crt/char_class.h"

namespace quillet {
namespace {

std::string print_node(html_element& n, std::uint32_t flags) {
  std::ostringstream out;
  {
    html_obj_printer p(out, flags);
    n.print(p);
  }
  return out.str();
}

TEST(HtmlWriter, AttributeQuoting) {
  struct row {
    std::optional<std::string> value;
    const char* written;
    crt::codepage cp = crt::codepage::cp1252;
  };
  const row rows[] = {
      {std::nullopt, "A"},
      {"", "A=\"\""},
      {"100", "A=100"},
      {"-1.5", "A=-1.5"},
      {"left", "A=left"},
      {"a b", "A=\"a b\""},
      {"#fff", "A=\"#fff\""},
      {"50%", "A=\"50%\""},
      {"a:b", "A=\"a:b\""},
      {"a/b", "A=\"a/b\""},
      {"a_b", "A=\"a_b\""},
      {"it's", "A=\"it's\""},
      {"say \"hi\"", "A='say \"hi\"'"},
      {"\"", "A='\"'"},
      {"it's \"x\"", "A=\"it's &quot;x&quot;\""},
      {"'\"'\"", "A=\"'&quot;'&quot;\""},
      {"&quot;", "A=\"&quot;\""},
      {"\xE9t\xE9", "A=\xE9t\xE9"},
      {"\xE9t\xE9", "A=\"\xE9t\xE9\"", crt::codepage::gbk},
      {"\xC4\xE0", "A=\xC4\xE0", crt::codepage::cp1251},
  };
  crt::codepage saved = crt::current_codepage();
  for (const row& r : rows) {
    SCOPED_TRACE(r.written);
    crt::set_codepage(r.cp);
    auto a = make_rc<html_attr>("A", r.value ? std::optional<std::string_view>(*r.value) : std::nullopt);
    EXPECT_EQ(print_node(*a, 0), r.written);
    EXPECT_EQ(print_node(*a, 2), r.written);
  }
  crt::set_codepage(saved);
}

TEST(HtmlWriter, EndTagsPerFlags) {
  struct row {
    const char* in;
    std::uint32_t flags;
    const char* out;
  };
  const std::string head = "<HTML><HEAD></HEAD>";
  const row rows[] = {
      {"<BODY><P>text<P>more</BODY></HTML>", 0, "<BODY><P>text<P>more</BODY></HTML>"},
      {"<BODY><P>text<P>more</BODY></HTML>", 2, "<BODY><P>text</P>\r\n<P>more</P>\r\n</BODY></HTML>"},
      {"<BODY><P>text<P>more</BODY></HTML>", 6, "<BODY><P>text</P>\r\n<P>more</P>\r\n</BODY></HTML>"},
      {"<BODY>a<BR>b<IMG SRC=x.png></BODY></HTML>", 2, "<BODY>a<BR>b<IMG SRC=x.png></BODY></HTML>"},
      {"<BODY>a<BR>b</BR></BODY></HTML>", 0, "<BODY>a<BR>b</BR></BODY></HTML>"},
      {"<BODY>a<BR>b</BR></BODY></HTML>", 2, "<BODY>a<BR>b</BODY></HTML>"},
      {"<BODY>x</BODY></HTML></B>", 0, "<BODY>x</B></BODY></HTML>"},
      {"<BODY>x</BODY></HTML></B>", 2, "<BODY>x</BODY></HTML>"},
      {"<BODY>x</I>\r\ny</BODY></HTML>", 0, "<BODY>x</I>\r\ny</BODY></HTML>"},
      {"<BODY><B>x</B>\r\n<I>y</BODY></HTML>", 0, "<BODY><B>x</B>\r\n<I>y</BODY></HTML>"},
      {"<BODY><B>x</B>\r\n<I>y</BODY></HTML>", 2, "<BODY><B>x</B>\r\n<I>y</I>\r\n</BODY></HTML>"},
      {"<BODY>\n<DIV>\n<P>a\n</DIV>\n</BODY>\n</HTML>\n", 0,
       "<BODY>\r\n<DIV>\r\n<P>a\n</DIV>\r\n</BODY>\r\n</HTML>\r\n"},
      {"<BODY>\n<DIV>\n<P>a\n</DIV>\n</BODY>\n</HTML>\n", 2,
       "<BODY>\r\n<DIV>\r\n<P>a\n</P>\r\n</DIV>\r\n</BODY>\r\n</HTML>\r\n"},
      {"<BODY><FOO>x</foo><BAR>y</BODY></HTML>", 0, "<BODY><FOO>x</FOO><BAR>y</BODY></HTML>"},
      {"<BODY><FOO>x</foo><BAR>y</BODY></HTML>", 2, "<BODY><FOO>x</FOO><BAR>y</BAR>\r\n</BODY></HTML>"},
      {"<BODY><!--c-->\n<!x>\n</BODY></HTML>", 2, "<BODY><!--c-->\r\n<!x>\r\n</BODY></HTML>"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.in);
    SCOPED_TRACE(r.flags);
    EXPECT_EQ(test::reformat(head + r.in, r.flags), head + r.out);
  }
}

TEST(HtmlWriter, InputCutShortIsWrittenToReadBackTheSame) {
  struct row {
    const char* in;
    const char* out;
  };
  const row rows[] = {
      {"<HTML><BODY><!x \"abc", "<HTML><BODY><!x \"abc\">"},
      {"<HTML><BODY><?x 'a\"b", "<HTML><BODY><?x 'a\"b'>"},
      {"<HTML><BODY><!x 'a'", "<HTML><BODY><!x 'a'>"},
      {"<HTML><BODY><!--a-", "<HTML><BODY><!--a-->"},
      {"<HTML><BODY><!--a", "<HTML><BODY><!--a-->"},
      {"<HTML><BODY>a<", "<HTML><BODY>a<"},
      {"<HTML><BODY><SCRIPT>x", "<HTML><BODY><SCRIPT>x</SCRIPT>"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.in);
    std::string once = test::reformat(r.in, 0);
    EXPECT_EQ(once, std::string("<HTML><HEAD>\r\n") + (r.out + 6));
    std::string normalised = test::reformat(r.in, 2);
    EXPECT_EQ(test::reformat(normalised, 2), normalised);
  }
}

// Written as read after the end-tag pass, a tree reads back the same: an unclosed HEAD before
// the BODY gets its end tag, and a stray end tag inside an element of its name (one the
// reader made where the source left it implied) is left out.
TEST(HtmlWriter, WrittenAsReadReadsBackTheSame) {
  auto written_as_read = [](const char* in) {
    rc_ptr<html_document> doc = make_rc<html_document>();
    EXPECT_TRUE(test::read_string(*doc, in));
    drop_closing_stray_end_tags(doc->top);
    add_needed_end_tags(doc->top);
    return test::write_string(*doc, 0);
  };
  for (const char* in : {"<HTML><BODY BGCOLOR=red>x</BODY></HTML>",
                         "<HTML><!DOCTYPE html><li>hello<li>world<ul>how<li>do</ul>you</body><!--do-->",
                         "<HTML><title>foo/title><link></head><body>X", "<HTML><div></body><!--foo-->",
                         "<HTML><bdy></body><br foo=\"bar\">", "<HTML><BODY><P>a</B>b</P></BODY>"}) {
    SCOPED_TRACE(in);
    EXPECT_EQ(test::reformat(written_as_read(in), 2), test::reformat(in, 2));
  }
  EXPECT_NE(written_as_read("<HTML><P>a</B>b").find("a</B>b"), std::string::npos) << "a harmless stray stays";
}

TEST(HtmlWriter, CreatedSkeletonHasLineBreaks) {
  EXPECT_EQ(test::reformat("<HTML>x</HTML>", 0), "<HTML><HEAD>\r\n<BODY>\r\nx</HTML>");
  EXPECT_EQ(test::reformat("<HTML>x</HTML>", 2),
            "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>\r\nx</BODY>\r\n</HTML>");
}

// Builds a P element with the attributes, prints its start tag with the extras.
std::string start_tag_with_extras(const std::vector<std::string>& own, const std::vector<std::string>& extra) {
  auto make = [](const std::vector<std::string>& items) {
    html_element* list = nullptr;
    for (const std::string& it : items) {
      auto eq = it.find('=');
      auto v = eq == std::string::npos ? std::nullopt : std::optional<std::string_view>(std::string_view(it).substr(eq + 1));
      append_node(list, new html_attr(it.substr(0, eq), v));
    }
    return list;
  };
  auto tag = make_rc<html_elt_tag>(find_tag_def("P"));
  tag->attrs = make(own);
  html_element* extras = make(extra);
  std::ostringstream out;
  {
    html_obj_printer p(out, 2);
    tag->print_start_tag(p, tag->name(), tag->attrs, extras);
  }
  release_list(extras);
  return out.str();
}

TEST(HtmlWriter, ExtraAttributes) {
  struct row {
    std::vector<std::string> own, extra;
    const char* out;
  };
  const row rows[] = {
      {{"A=1", "B=2"}, {}, "<P A=1 B=2>"},
      {{"A=1", "B=2"}, {"A"}, "<P B=2>"},
      {{"A=1"}, {"A=x", "A=y"}, "<P A=y>"},
      {{"A=1", "B=2", "A=3"}, {"A=z"}, "<P A=z B=2>"},
      {{"A=1"}, {"C=3"}, "<P A=1 C=3>"},
      {{"A=1"}, {"C"}, "<P A=1>"},
      {{}, {"C=3", "C"}, "<P>"},
      {{"A=1"}, {"C=3", "C=4"}, "<P A=1 C=4>"},
      {{"B=1", "A=2"}, {"A=x", "B=y"}, "<P B=y A=x>"},
      {{"A", "A=2"}, {"A=a b"}, "<P A=\"a b\">"},
      {{"a=1"}, {"A=2"}, "<P a=1 A=2>"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.out);
    EXPECT_EQ(start_tag_with_extras(r.own, r.extra), r.out);
  }
}

// Tags with more attributes and extras than the writer keeps on its stack: 15 to 20 own
// attributes, one replaced, one removed and one added.
TEST(HtmlWriter, ExtraAttributesOnManyAttributes) {
  for (int count = 15; count <= 20; ++count) {
    SCOPED_TRACE(count);
    std::vector<std::string> own;
    std::string expected = "<P";
    for (int i = 1; i <= count; ++i) {
      own.push_back("A" + std::to_string(i) + "=" + std::to_string(i));
      if (i == 3)
        expected += " A3=x";
      else if (i != 5)
        expected += " A" + std::to_string(i) + "=" + std::to_string(i);
    }
    expected += " Z=9>";
    EXPECT_EQ(start_tag_with_extras(own, {"A3=x", "A5", "Z=9"}), expected);
  }
}

TEST(HtmlWriter, StreamAccessorKeepsOrder) {
  struct mixing_tag : html_elt_tag {
    using html_elt_tag::html_elt_tag;
    void print(html_obj_printer& p) override {
      p.write("<X>");
      p.stream() << "direct";
      p.write("</X>");
    }
  };
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY>a<B>b</B>c</BODY></HTML>"));
  html_element* b = doc->body->children->next;
  auto* x = new mixing_tag(find_tag_def("SPAN"));
  x->next = b->next;
  b->next = x;
  EXPECT_EQ(test::write_string(*doc, 2),
            "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>a<B>b</B><X>direct</X>c</BODY></HTML>");
}

TEST(HtmlWriter, HeldBackLessThanSign) {
  struct row {
    std::vector<std::string> texts;
    const char* out;
  };
  const row rows[] = {
      {{"a<", "b"}, "a&lt;b"},
      {{"a<", "/b"}, "a&lt;/b"},
      {{"a<", "!x"}, "a&lt;!x"},
      {{"a<", "?x"}, "a&lt;?x"},
      {{"a<", " b"}, "a< b"},
      {{"a<", "/ b"}, "a</ b"},
      {{"a<", "<b"}, "a<<b"},
      {{"a<"}, "a<"},
      {{"a<", "", "b"}, "a&lt;b"},
      {{"<", "<", "x"}, "<&lt;x"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.out);
    html_element* list = nullptr;
    for (const std::string& t : r.texts)
      append_node(list, new html_elt_text(t));
    std::ostringstream out;
    {
      html_obj_printer p(out, 2);
      print_list(p, list);
    }
    EXPECT_EQ(out.str(), r.out);
    release_list(list);
  }
}

}  // namespace
}  // namespace quillet
