// Deep trees: a million nested elements are read, written and freed without recursion, and
// nodes held from outside the tree survive its release with their content.
#include <gtest/gtest.h>

#include <string>

#include "html_test_util.h"

namespace quillet {
namespace {

constexpr int depth = 1000000;

std::string repeat(std::string_view s, int n) {
  std::string out;
  out.reserve(s.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

TEST(HtmlDepth, MillionNestedElements) {
  struct row {
    const char* name;
    std::string in;
    const char* innermost;     // name of the nested elements
    std::string written0;      // the body as flags 0 writes it
    std::string written2_end;  // how the flags-2 output ends
  };
  const row rows[] = {
      {"closed DIVs", repeat("<DIV>", depth) + "x" + repeat("</DIV>", depth), "DIV",
       repeat("<DIV>", depth) + "x" + repeat("</DIV>", depth), "</DIV></DIV></BODY></HTML>"},
      {"unclosed Bs", repeat("<B>", depth) + "x", "B", repeat("<B>", depth) + "x",
       "</B>\r\n</B>\r\n</BODY></HTML>"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    rc_ptr<html_document> doc = make_rc<html_document>();
    ASSERT_TRUE(test::read_string(*doc, "<HTML><HEAD></HEAD><BODY>" + r.in + "</BODY></HTML>"));
    int levels = 0;
    html_element* n = doc->body->children;
    for (; n && n->kind == html_kind::tag; n = static_cast<html_elt_tag*>(n)->children)
      levels += static_cast<html_elt_tag*>(n)->name() == r.innermost;
    EXPECT_EQ(levels, depth);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->kind, html_kind::text);
    EXPECT_EQ(test::write_string(*doc, 0), "<HTML><HEAD></HEAD><BODY>" + r.written0 + "</BODY></HTML>");
    std::string out2 = test::write_string(*doc, 2);
    ASSERT_GE(out2.size(), r.written2_end.size());
    EXPECT_EQ(out2.substr(out2.size() - r.written2_end.size()), r.written2_end);
    EXPECT_EQ(out2.size(), r.written0.size() + 39 + (r.innermost[0] == 'B' ? 6 * depth : 0));
    doc->clear();
  }
}

TEST(HtmlDepth, DeepSubtreeHeldOutsideOutlivesTheDocument) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY><P>a" + repeat("<SPAN>", depth) + "</BODY></HTML>"));
  auto* p = static_cast<html_elt_tag*>(doc->body->children);
  rc_ptr<html_elt_tag> held(p);  // a second reference, as a processor keeps elements
  doc.reset();
  ASSERT_EQ(held->ref_count(), 1);
  EXPECT_EQ(held->next, nullptr);
  EXPECT_EQ(test::dump_node(held->children), "\"a\"");
  int levels = 0;
  for (html_element* n = held->children->next; n; n = static_cast<html_elt_tag*>(n)->children)
    ++levels;
  EXPECT_EQ(levels, depth);
  held.reset();
}

TEST(HtmlDepth, LongSiblingListsAreFreedIteratively) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY>" + repeat("<BR>x", depth) + "</BODY></HTML>"));
  html_element* list = std::exchange(doc->body->children, nullptr);
  release_list(list);
  EXPECT_EQ(test::write_string(*doc, 2), "<HTML><HEAD>\r\n</HEAD>\r\n<BODY></BODY></HTML>");
}

}  // namespace
}  // namespace quillet
