// Attribute lists: lookup, reading values, and setting with duplicate removal.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "doc/html_attr_ops.h"
#include "html_test_util.h"

namespace quillet {
namespace {

// Builds a list from "NAME=value" / "NAME" items; "#text" items are non-attribute nodes.
html_element* make_list(const std::vector<std::string>& items) {
  html_element* list = nullptr;
  for (const std::string& it : items) {
    if (it[0] == '#') {
      append_node(list, new html_elt_text(it.substr(1)));
      continue;
    }
    auto eq = it.find('=');
    if (eq == std::string::npos)
      append_node(list, new html_attr(it, std::nullopt));
    else
      append_node(list, new html_attr(it.substr(0, eq), std::string_view(it).substr(eq + 1)));
  }
  return list;
}

TEST(AttrOps, SetAttr) {
  struct row {
    std::vector<std::string> before;
    const char* name;
    std::optional<std::string> value;
    const char* after;
  };
  const row rows[] = {
      {{}, "A", "1", "A=1"},
      {{"A=1"}, "A", "2", "A=2"},
      {{"A=1", "B=2"}, "C", "3", "A=1,B=2,C=3"},
      {{"A=1", "B=2", "A=3", "A"}, "A", "x", "A=x,B=2"},
      {{"A=1", "B=2", "A=3"}, "A", std::nullopt, "A,B=2"},
      {{"A"}, "A", "", "A="},
      {{"a=1"}, "A", "2", "a=1,A=2"},
      {{"#t", "A=1", "#u", "A=2"}, "A", "9", "\"t\",A=9 \"u\""},
      {{"#t"}, "B", "1", "\"t\",B=1"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.after);
    html_element* list = make_list(r.before);
    set_attr(list, r.name, r.value ? std::optional<std::string_view>(*r.value) : std::nullopt);
    EXPECT_EQ(test::dump_list(list), r.after);
    release_list(list);
  }
}

TEST(AttrOps, FindAndGet) {
  html_element* list = make_list({"#x", "SRC=a.png", "ALT", "EMPTY=", "SRC=b.png"});
  EXPECT_EQ(find_attr(list, "SRC"), list->next);
  EXPECT_STREQ(get_attr(list, "SRC"), "a.png");
  EXPECT_NE(find_attr(list, "ALT"), nullptr);
  EXPECT_EQ(get_attr(list, "ALT"), nullptr);
  EXPECT_STREQ(get_attr(list, "EMPTY"), "");
  EXPECT_EQ(get_attr(list, "src"), nullptr);
  EXPECT_EQ(find_attr(list, "x"), nullptr);
  EXPECT_EQ(get_attr(nullptr, "SRC"), nullptr);
  release_list(list);
}

TEST(AttrOps, SetAttrIntAndNullValue) {
  struct row {
    int n;
    const char* text;
  };
  const row rows[] = {{0, "0"}, {-1, "-1"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  for (const row& r : rows) {
    html_element* list = make_list({"W=5", "W=6"});
    set_attr_int(list, "W", r.n);
    EXPECT_EQ(test::dump_list(list), std::string("W=") + r.text);
    set_attr(list, "W", static_cast<const char*>(nullptr));
    EXPECT_EQ(test::dump_list(list), "W");
    release_list(list);
  }
}

TEST(AttrOps, LongValuesSurviveReplacement) {
  html_element* list = nullptr;
  std::string long_value(1000, 'v');
  set_attr(list, "STYLE", "x");
  set_attr(list, "STYLE", std::optional<std::string_view>(long_value));
  EXPECT_EQ(get_attr(list, "STYLE"), long_value);
  auto* a = find_attr(list, "STYLE");
  a->value.assign(a->value.view().substr(1, 5));  // assigning from its own bytes
  EXPECT_STREQ(get_attr(list, "STYLE"), "vvvvv");
  release_list(list);
}

}  // namespace
}  // namespace quillet
