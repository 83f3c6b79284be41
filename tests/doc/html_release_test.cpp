// Releasing a tree frees every node it alone holds, in document order; a node that code
// outside holds survives with its attributes and content intact, whatever its place.
#include <gtest/gtest.h>

#include <string>

#include "html_test_util.h"

namespace quillet {
namespace {

// The first node of `list` whose dump starts with `prefix`, searched depth first.
html_element* find_node(html_element* list, const std::string& prefix) {
  for (html_element* n = list; n; n = n->next) {
    if (test::dump_node(n).rfind(prefix, 0) == 0)
      return n;
    if (n->kind != html_kind::tag)
      continue;
    auto* t = static_cast<html_elt_tag*>(n);
    if (html_element* a = find_node(t->attrs, prefix))
      return a;
    if (html_element* c = find_node(t->children, prefix))
      return c;
  }
  return nullptr;
}

TEST(HtmlRelease, HeldNodesSurviveTheirTree) {
  const std::string body =
      "<TABLE ID=t><TR><TD A=1 B=2>x<B>y</B>z</TD><TD>w</TD></TR></TABLE><P Q=r>s<I>u</I>\r\n"
      "<IMG SRC=a><!--$VX ELT e-->tail";
  struct row {
    const char* held;  // how the held node's dump starts
    const char* dump;  // its dump after the tree is gone
  };
  const row rows[] = {
      {"TABLE", "TABLE(ID=t){t}[TR{t}[TD(A=1,B=2){t}[\"x\" B{t}[\"y\"] \"z\"] TD{t}[\"w\"]]]"},
      {"TD(A", "TD(A=1,B=2){t}[\"x\" B{t}[\"y\"] \"z\"]"},
      {"B=", "B=2"},
      {"B{t}", "B{t}[\"y\"]"},
      {"\"z", "\"z\""},
      {"P(", "P(Q=r)[\"s\" I{et}[\"u\"] IMG(SRC=a)[!--$VX ELT e--] \"tail\"]"},
      {"IMG", "IMG(SRC=a)[!--$VX ELT e--]"},
      {"!--", "!--$VX ELT e--"},
      {"\"tail", "\"tail\""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.held);
    rc_ptr<html_document> doc = make_rc<html_document>();
    ASSERT_TRUE(test::read_string(*doc, "<HTML><BODY>" + body));
    html_element* n = find_node(doc->top, r.held);
    ASSERT_NE(n, nullptr);
    rc_ptr<html_element> held(n);
    doc.reset();
    EXPECT_EQ(held->next, nullptr);
    EXPECT_EQ(test::dump_node(held.get()), r.dump);
  }
}

}  // namespace
}  // namespace quillet
