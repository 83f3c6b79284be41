// Writing directive comments: the exact comment text, name forms, entity encoding, and round
// trips through the document writer and reader, including expressions that hold "--" and "}%".
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "doc/template_markup.h"
#include "html_test_util.h"
#include "txl/anyval.h"
#include "txl/binding.h"
#include "txl/compiler.h"

namespace quillet {
namespace {

txl_prop_list props_of(std::vector<std::pair<std::string, std::string>> pairs) {
  txl_prop_list props;
  for (auto& [name, text] : pairs)
    props.push_back(make_rc<txl_user_function>(name, text));
  return props;
}

std::string pairs_of(const txl_prop_list& props) {
  std::string s;
  for (const auto& p : props)
    s += (s.empty() ? "" : "|") + p->name + "=" + p->text;
  return s;
}

TEST(TemplateMarkupWrite, NameForms) {
  struct row {
    const char* name;
    const char* form;
  };
  const row rows[] = {
      {"VALUE", "VALUE"},
      {"_a1", "_a1"},
      {"ATTR.BGCOLOR", "\"ATTR.BGCOLOR\""},
      {"STYLE.font-size", "\"STYLE.font-size\""},
      {"1st", "\"1st\""},
      {"$x", "\"$x\""},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"say \"x\"\\", "\"say \\\"x\\\"\\\\\""},
      {"it's", "\"it\\'s\""},
      {"tab\there", "\"tab\\there\""},
      {"data--x", "\"data-\\-x\""},
      {"a---b", "\"a-\\-\\-b\""},
      {"\xE9t\xE9", "\"\xE9t\xE9\""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(directive_name_form(r.name), r.form);
  }
}

TEST(TemplateMarkupWrite, CommentTexts) {
  struct row {
    int index;
    txl_prop_list props;
    const char* text;
  };
  const row rows[] = {
      {directive_elt, props_of({{"VALUE", "1+2"}, {"ATTR.BGCOLOR", "IF(a<b,'red','white')"}}),
       "$VX ELT VALUE=%{1+2}%\r\n \"ATTR.BGCOLOR\"=%{IF(a&lt;b,'red','white')}%"},
      {directive_elt, props_of({}), "$VX ELT "},
      {directive_doc, props_of({{"PRJ", "\"a&b.prj\""}, {"REFRESH", "\"60\""}}),
       "$VX DOC PRJ=%{\"a&amp;b.prj\"}%\r\n REFRESH=%{\"60\"}%"},
      {directive_var, props_of({{"Obj1.x", "a > 1"}}), "$VX VAR NAME=\"Obj1.x\" VALUE=%{a &gt; 1}%"},
      {directive_var, props_of({{"total", ""}}), "$VX VAR NAME=total VALUE=%{}%"},
      {directive_wiz, props_of({{"NAME", "'x'"}}), "$VX WIZ NAME=%{'x'}%"},
      {directive_wparm, props_of({{"TYPE", "'STR'"}, {"VALUE", "{$P}"}}),
       "$VX WPARM TYPE=%{'STR'}%\r\n VALUE=%{{$P}}%"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(directive_comment_text(r.index, r.props), r.text);
  }
}

TEST(TemplateMarkupWrite, PlacementAndFlags) {
  auto doc = make_rc<html_document>();
  ASSERT_TRUE(test::read_string(*doc, "<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY><TD>x</TD></BODY></HTML>"));
  html_elt_tag& head = *doc->head;
  write_directive_list(head.children, directive_doc, props_of({{"PRJ", "'p'"}}), true);
  write_directive_list(head.children, directive_wiz, props_of({{"NAME", "'n'"}}), false);
  write_directive_vars(head.children, props_of({{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(test::dump_list(head.children),
            "!--$VX WIZ NAME=%{'n'}%-- TITLE{t}[\"t\"] !--$VX DOC PRJ=%{'p'}%-- "
            "!--$VX VAR NAME=a VALUE=%{1}%--{n} !--$VX VAR NAME=b VALUE=%{2}%--{n}");
  html_element* empty = nullptr;
  write_directive_list(empty, directive_elt, props_of({{"VALUE", "1"}}), false);
  EXPECT_EQ(test::dump_list(empty), "!--$VX ELT VALUE=%{1}%--");
  release_list(empty);
}

// The file form of expression texts: no "--", no "}%", and the same meaning.
TEST(TemplateMarkupWrite, ValueFormsOfHyphensAndPercents) {
  struct row {
    const char* text;
    const char* form;
  };
  const row rows[] = {
      {"1--2", "1- -2"},
      {"1---2", "1- - -2"},
      {"-(-1)", "-(-1)"},
      {"'a--b'", "'a-\\-b'"},
      {"\"a---b\"", "\"a-\\-\\-b\""},
      {"'}%'", "'}\\%'"},
      {"'}}%%'", "'}}\\%%'"},
      {"'a-\\-b'", "'a-\\-b'"},
      {"'\\--'", "'\\-\\-'"},
      {"'\\u--}%'", "'\\u00}0'"},
      {"'\\u12}%'", "'\\u12}0'"},
      {"'\\u123}%'", "'\\u123}\\%'"},
      {"'\\u12'", "'\\u12'"},
      {"'-' - '-'", "'-' - '-'"},
      {"1 // a--b }% c", "1 // a- -b } % c"},
      {"/* -- */ 2", "/* - - */ 2"},
      {"/* it's */ 3", "/* it''s */ 3"},
      {"/* 'quoted' and \"quoted\" */ 3", "/* 'quoted' and \"quoted\" */ 3"},
      {"// don't\n4", "// don''t\n4"},
      {"/* a\\'b */ 5", "/* a\\''b */ 5"},
      {"/* 'x\\'y' */ 6", "/* 'x\\'y' */ 6"},
      {"/* \" ' \" */ 7", "/* \" ' \" */ 7"},
      {"'open", "'open'"},
      {"'open\\", "'open\\''"},
      {"'a' /* open", "'a' /* open"},
      {"", ""},
      {"a}", "a}"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    std::string form = directive_value_form(r.text);
    EXPECT_EQ(form, r.form);
    EXPECT_EQ(form.find("--"), std::string::npos);
    EXPECT_EQ(form.find("}%"), std::string::npos);
  }
}

// Writes the properties into a BODY element, prints the document, reads it back and reads the
// element's directive again.
txl_prop_list write_and_read_back(const txl_prop_list& props, int mode, bool& ok) {
  auto doc = make_rc<html_document>();
  EXPECT_TRUE(test::read_string(*doc, "<HTML><HEAD></HEAD><BODY><P>x</P></BODY></HTML>"));
  auto* p = static_cast<html_elt_tag*>(doc->body->children);
  write_directive_list(p->children, directive_elt, props, false);
  std::string html = test::write_string(*doc, 6);
  auto again = make_rc<html_document>();
  EXPECT_TRUE(test::read_string(*again, html)) << html;
  auto* q = static_cast<html_elt_tag*>(again->body->children);
  txl_prop_list read;
  ok = read_directive_list(q->children, directive_elt, read, mode);
  EXPECT_EQ(test::dump_list(q->children), "\"x\"") << html;
  return read;
}

TEST(TemplateMarkupWrite, RoundTripsKeepNamesAndTexts) {
  struct row {
    const char* name;
    const char* text;
  };
  const row rows[] = {
      {"VALUE", "a < b && c > d"},
      {"ATTR.BGCOLOR", "IF(x, 'red', 'white')"},
      {"STYLE.font-size", "'12pt'"},
      {"weird \"name\" & <more>", "1"},
      {"data--set", "2"},
      {"REPEAT", "'&lt; stays an entity text'"},
      {"VALUE", "'it''s' + \"a\\\"b\""},
      {"VALUE", "x\r\n+ y"},
      {"VALUE", "'{$P}'"},
      {"VALUE", ""},
      {"VALUE", "1 /* don't */ + 2"},
      {"VALUE", "'\xE9t\xE9'"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    txl_prop_list props = props_of({{r.name, r.text}, {"NEXT", "'after'"}});
    bool ok = false;
    txl_prop_list read = write_and_read_back(props, mode_keep_text, ok);
    EXPECT_TRUE(ok);
    std::string expected = std::string(r.name) + "=" + directive_value_form(r.text) + "|NEXT='after'";
    EXPECT_EQ(pairs_of(read), expected);
  }
}

// The value of a compiled property as a literal, or its error text.
std::string outcome(txl_user_function& fn) {
  txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(fn);
  anyval result;
  std::string error;
  if (!evaluate_user_function(fn, anyval(), result, error))
    return "error " + error;
  std::string text;
  if (!write_literal(result, 0, text))
    return "no value";
  return text;
}

// Random expression texts built from the pieces that trouble a comment: hyphens, "}%",
// quotes in comments, escapes in strings, entities.
class expression_maker {
public:
  explicit expression_maker(unsigned seed) : rng_(seed) {}

  std::string make(int depth) {
    switch (pick(depth <= 0 ? 4 : 11)) {
    case 0: return std::to_string(pick(100));
    case 1: return std::to_string(pick(1000)) + "." + std::to_string(pick(10));
    case 2:
    case 3: return string_literal();
    case 4: return "-" + make(depth - 1);
    case 5: return make(depth - 1) + " " + op() + " " + make(depth - 1);
    case 6: return make(depth - 1) + op() + make(depth - 1);
    case 7: return "(" + make(depth - 1) + ")" + comment();
    case 8: return "STR(" + make(depth - 1) + ")";
    case 9: return "SIZE(LIST(" + make(depth - 1) + ", " + make(depth - 1) + "))";
    default: return comment() + make(depth - 1);
    }
  }

private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  std::string op() {
    static const char* ops[] = {"+", "-", "*", "/", "%", "<", ">", "==", "!=", "&", "|", "<=", ">>"};
    return ops[pick(13)];
  }

  std::string string_literal() {
    static const char* pieces[] = {"-",  "--", "}%", "}",   "%",   "a",      "\\\\",   "\\-",  "\\%",
                                   "<",  ">",  "&",  "&lt;", "*/", "//",     "{$X}",   " ",    "\\u0041",
                                   "\\u--}%", "\\u}%41", "\\u-0-4", "\\n", "-->", "<!--", "\\t"};
    char quote = pick(2) ? '"' : '\'';
    std::string s(1, quote);
    for (int n = pick(6); n > 0; --n)
      s += pieces[pick(25)];
    if (pick(3) == 0)
      s += quote == '"' ? "'\\\"" : "\"\\'";
    return s + quote;
  }

  std::string comment() {
    static const char* comments[] = {"", "", "/* it's -- }% */", "/* \"a\" -> b */", "// don't --\n",
                                     "/* \\' */", "/*-*/", "/* 'a\\'b' */", "// }%}\n"};
    return comments[pick(9)];
  }

  std::mt19937 rng_;
};

// Writing and reading back any expression that compiles gives one that evaluates equal, and the
// property after it in the same comment survives.
TEST(TemplateMarkupWrite, RoundTripsEvaluateEqual) {
  expression_maker maker(20261207);
  int compiled = 0;
  for (int i = 0; i < 600; ++i) {
    std::string text = maker.make(i % 5);
    auto original = make_rc<txl_user_function>("VALUE", text);
    if (txl_compiler().compile(text, original.get()) != 0)
      continue;
    ++compiled;
    SCOPED_TRACE(text);
    txl_prop_list props{original, make_rc<txl_user_function>("NEXT", "'after'")};
    bool ok = false;
    txl_prop_list read = write_and_read_back(props, mode_keep_and_compile, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0]->name, "VALUE");
    EXPECT_EQ(outcome(*read[0]), outcome(*original)) << read[0]->text;
    EXPECT_EQ(read[1]->text, "'after'");
    read[0]->unbind_calls();
    original->unbind_calls();
  }
  EXPECT_GT(compiled, 400);
}

}  // namespace
}  // namespace quillet
