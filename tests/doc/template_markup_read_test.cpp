// Reading directive comments: keywords, name forms, values with and without "%{ }%", modes,
// entities, removal from the tree, parameter substitution, and properties read as settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc/template_markup.h"
#include "html_test_util.h"
#include "txl/anyval.h"
#include "txl/binding.h"

namespace quillet {
namespace {

// A document whose HEAD holds the given markup.
rc_ptr<html_document> head_with(const std::string& markup) {
  auto doc = make_rc<html_document>();
  EXPECT_TRUE(test::read_string(*doc, "<HTML><HEAD>" + markup + "</HEAD><BODY></BODY></HTML>"));
  return doc;
}

// "name=text|name=text" of a property list.
std::string pairs_of(const txl_prop_list& props) {
  std::string s;
  for (const auto& p : props)
    s += (s.empty() ? "" : "|") + p->name + "=" + p->text;
  return s;
}

TEST(TemplateMarkupRead, KeywordOfCommentText) {
  struct row {
    const char* text;
    int keyword;
  };
  const row rows[] = {
      {"$VX ELT VALUE=1", 0}, {"$VX VAR NAME=a VALUE=1", 1}, {"$VX DOC", 2}, {"$VX WIZ ", 3},
      {"$VX WPARM\r\nNAME=1", 4}, {"$VX ELT", 0}, {"$VX ELTX", -1}, {"$VX ELT.", -1}, {"$VX ELT_", -1},
      {"$VX ELT$", -1}, {"$VX ELT1", -1}, {"$VX ELT=1", 0}, {"$VX elt", -1}, {"$VXELT", -1},
      {" $VX ELT", -1}, {"$vx ELT", -1}, {"$VX  ELT", -1}, {"$VX WPAR", -1}, {"$VX OTHER", -1}, {"", -1},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(directive_keyword_of(r.text), r.keyword);
  }
}

TEST(TemplateMarkupRead, EntityDecoding) {
  struct row {
    const char* in;
    const char* out;
  };
  const row rows[] = {
      {"a &lt; b &gt; c &amp; d", "a < b > c & d"},
      {"&amp;lt;", "&lt;"},
      {"&quot;&nbsp;&#60;&LT;", "&quot;&nbsp;&#60;&LT;"},
      {"&amp", "&amp"},
      {"&&lt;", "&<"},
      {"", ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.in);
    EXPECT_EQ(decode_directive_entities(r.in), r.out);
  }
}

// ELT pairs in mode 1: names bare or quoted, values braced or bare.
TEST(TemplateMarkupRead, PairsOfAnElementDirective) {
  struct row {
    const char* comment;
    bool ok;
    const char* pairs;
  };
  const row rows[] = {
      {"$VX ELT VALUE=%{1+2}%", true, "VALUE=1+2"},
      {"$VX ELT VALUE=%{1}%\r\n \"ATTR.BGCOLOR\"=%{'red'}%", true, "VALUE=1|ATTR.BGCOLOR='red'"},
      {"$VX ELT 'STYLE.color' = %{ x }%", true, "STYLE.color= x "},
      {"$VX ELT \"a\\\"b\\n\"=%{1}%", true, "a\"b\n=1"},
      {"$VX ELT $a.b_1=%{1}%", true, "$a.b_1=1"},
      {"$VX ELT", true, ""},
      {"$VX ELT   \r\n ", true, ""},
      {"$VX ELT VALUE=%{'}%'}%", true, "VALUE='}%'"},
      {"$VX ELT VALUE=%{\"a\\\"}%\"}%", true, "VALUE=\"a\\\"}%\""},
      {"$VX ELT VALUE=%{1}%REPEAT=%{2}%", true, "VALUE=1|REPEAT=2"},
      {"$VX ELT VALUE=%{1 + 2", true, "VALUE=1 + 2"},
      {"$VX ELT VALUE=%{'open}% REPEAT=%{2}%", true, "VALUE='open}% REPEAT=%{2}%"},
      {"$VX ELT VALUE=%{}%", true, "VALUE="},
      {"$VX ELT VALUE=1 + 2 REPEAT=3", true, "VALUE=1 + 2|REPEAT=3"},
      {"$VX ELT VALUE=a == b", true, "VALUE=|a== b"},
      {"$VX ELT VALUE=B=C", true, "VALUE=|B=C"},
      {"$VX ELT VALUE=f(x)   'Q' = 2  ", true, "VALUE=f(x)|Q=2"},
      {"$VX ELT VALUE=  ", true, "VALUE="},
      {"$VX ELT VALUE", false, ""},
      {"$VX ELT VALUE=%{1}% 9=%{2}%", false, "VALUE=1"},
      {"$VX ELT 'open=%{1}%", false, ""},
      {"$VX ELT VALUE=%{1}% =2", false, "VALUE=1"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.comment);
    auto doc = head_with(std::string("<!--") + r.comment + "-->");
    txl_prop_list props;
    EXPECT_EQ(read_directive_list(doc->head->children, directive_elt, props, mode_keep_text), r.ok);
    EXPECT_EQ(pairs_of(props), r.pairs);
    EXPECT_EQ(doc->head->children, nullptr) << "the comment is removed also when it fails";
  }
}

TEST(TemplateMarkupRead, VariableDirective) {
  struct row {
    const char* comment;
    const char* pairs;
  };
  const row rows[] = {
      {"$VX VAR NAME=total VALUE=%{1+2}%", "total=1+2"},
      {"$VX VAR NAME=\"Obj1.x\" VALUE=%{3}%", "Obj1.x=3"},
      {"$VX VAR  NAME = a  VALUE = %{4}%", "a=4"},
      {"$VX VAR NAME=a VALUE=5", "a=5"},
      {"$VX VAR VALUE=%{1}% NAME=a", ""},
      {"$VX VAR NAME=a", ""},
      {"$VX VAR NAME= VALUE=%{1}%", ""},
      {"$VX VAR 'NAME'=a VALUE=%{1}%", ""},
      {"$VX VAR NAME=b VALUE=%{1 +}%", "b=1 +"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.comment);
    auto doc = head_with(std::string("<!--") + r.comment + "-->");
    txl_prop_list props;
    read_directive_vars(doc->head->children, props, mode_keep_text);
    EXPECT_EQ(pairs_of(props), r.pairs);
    EXPECT_EQ(doc->head->children, nullptr);
  }
}

// Which comment each keyword takes, and what stays in the list.
TEST(TemplateMarkupRead, FirstOfAKeywordIsTakenOthersStay) {
  auto doc = head_with(
      "<!-- plain --><!--$VX DOC PRJ=%{'a'}%--><!--$VX VAR NAME=v VALUE=%{1}%-->"
      "<!--$VX DOC PRJ=%{'b'}%--><!--$VX VAR NAME=w VALUE=%{2}%--><TITLE>t</TITLE>");
  txl_prop_list doc_props;
  EXPECT_TRUE(read_directive_list(doc->head->children, directive_doc, doc_props, mode_keep_text));
  EXPECT_EQ(pairs_of(doc_props), "PRJ='a'");
  txl_prop_list wiz;
  EXPECT_FALSE(read_directive_list(doc->head->children, directive_wiz, wiz, mode_keep_text));
  txl_prop_list vars;
  read_directive_vars(doc->head->children, vars, mode_keep_text);
  EXPECT_EQ(pairs_of(vars), "v=1|w=2");
  EXPECT_EQ(test::dump_list(doc->head->children), "!-- plain -- !--$VX DOC PRJ=%{'b'}%-- TITLE{t}[\"t\"]");
}

TEST(TemplateMarkupRead, EntitiesAreDecodedBeforeParsing) {
  auto doc = head_with("<!--$VX ELT VALUE=%{a &lt; b &amp;&amp; '&amp;gt;'}%\r\n \"x&gt;\"=%{1}%-->");
  txl_prop_list props;
  EXPECT_TRUE(read_directive_list(doc->head->children, directive_elt, props, mode_keep_text));
  EXPECT_EQ(pairs_of(props), "VALUE=a < b && '&gt;'|x>=1");
}

// Mode 0 keeps text and body, mode 2 only the body, mode 1 only the text; a value that does not
// compile fails the pair and leaves no property for it.
TEST(TemplateMarkupRead, Modes) {
  struct row {
    int mode;
    const char* comment;
    bool ok;
    const char* pairs;
    bool compiled;
  };
  const row rows[] = {
      {mode_keep_and_compile, "$VX ELT A=%{1+2}% B=%{3}%", true, "A=1+2|B=3", true},
      {mode_compile, "$VX ELT A=%{1+2}% B=%{3}%", true, "A=|B=", true},
      {mode_keep_text, "$VX ELT A=%{1+2}% B=%{3}%", true, "A=1+2|B=3", false},
      {mode_keep_and_compile, "$VX ELT A=%{1}% B=%{1 +}% C=%{2}%", false, "A=1", true},
      {mode_compile, "$VX ELT A=%{)}%", false, "", true},
      {mode_keep_text, "$VX ELT A=%{1}% B=%{1 +}% C=%{2}%", true, "A=1|B=1 +|C=2", false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.comment);
    auto doc = head_with(std::string("<!--") + r.comment + "-->");
    txl_prop_list props;
    EXPECT_EQ(read_directive_list(doc->head->children, directive_elt, props, r.mode), r.ok);
    EXPECT_EQ(pairs_of(props), r.pairs);
    for (const auto& p : props)
      EXPECT_EQ(static_cast<bool>(p->body), r.compiled) << p->name;
  }
}

TEST(TemplateMarkupRead, ParameterSubstitution) {
  txl_prop_list params{make_rc<txl_user_function>("P", "'text'"), make_rc<txl_user_function>("N", "42"),
                       make_rc<txl_user_function>("E", ""), make_rc<txl_user_function>("R", "{$P}")};
  struct row {
    const char* in;
    const char* out;
  };
  const row rows[] = {
      {"{$P}", "'text'"},
      {"a{$N}b{$N}", "a42b42"},
      {"{$Q}", "{$Q}"},
      {"{x}", "{x}"},
      {"{ $P}", "{ $P}"},
      {"{$E}.x", ".x"},
      {"{$R}", "{$P}"},
      {"{$P", "{$P"},
      {"{{$N}}", "{42}"},
      {"{$N{$P}", "{$N{$P}"},
      {"{$}", "{$}"},
      {"", ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.in);
    std::optional<std::string> out = substitute_params(r.in, params);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, r.out);
  }
}

// A text that would grow past the limit is refused rather than built.
TEST(TemplateMarkupRead, SubstitutionIsBounded) {
  txl_prop_list params{make_rc<txl_user_function>("B", std::string(1 << 20, 'x'))};
  std::string refs;
  for (int i = 0; i < 15; ++i)
    refs += "{$B}";
  EXPECT_TRUE(substitute_params(refs, params));
  refs += "{$B}{$B}";
  EXPECT_FALSE(substitute_params(refs, params));

  auto doc = head_with("<!--$VX ELT VALUE=%{" + refs + "}%-->");
  txl_prop_list props;
  EXPECT_EQ(read_directive(doc->head->children, directive_elt, props, mode_keep_text, &params),
            directive_found::failed);
  EXPECT_TRUE(props.empty());
  EXPECT_EQ(doc->head->children, nullptr);
}

TEST(TemplateMarkupRead, ParametersApplyBeforeTheKeywordIsChecked) {
  txl_prop_list params{make_rc<txl_user_function>("ID", "Obj2"), make_rc<txl_user_function>("K", "ELT")};
  auto doc = head_with("<!--$VX {$K} VALUE=%{@'{$ID}.x'}%--><!--$VX VAR NAME=\"{$ID}.x\" VALUE=%{{$ID}}%-->");
  txl_prop_list props;
  EXPECT_TRUE(read_directive_list(doc->head->children, directive_elt, props, mode_keep_text, &params));
  EXPECT_EQ(pairs_of(props), "VALUE=@'Obj2.x'");
  txl_prop_list vars;
  read_directive_vars(doc->head->children, vars, mode_keep_text, &params);
  EXPECT_EQ(pairs_of(vars), "Obj2.x=Obj2");
}

TEST(TemplateMarkupRead, PropertiesAsSettings) {
  struct row {
    const char* text;
    int index;
    const char* out;
  };
  const row rows[] = {
      {"'C:\\\\plant\\\\a.prj'", 0, "C:\\plant\\a.prj"},
      {"\"60\"", 0, "60"},
      {"7 * 6", 0, "42"},
      {"2.5", 0, "2.5"},
      {"LIST(1,2,3)", -1, ""},
      {"ABS(1)", -1, ""},
      {"1 +", -1, ""},
      {"", -1, ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    txl_prop_list props{make_rc<txl_user_function>("X", "1"), make_rc<txl_user_function>("S", r.text)};
    std::string out = "stale";
    int index = get_prop_string(props, "S", out);
    EXPECT_EQ(index, r.index < 0 ? -1 : 1);
    EXPECT_EQ(out, r.out);
  }
  txl_prop_list props;
  std::string out = "stale";
  EXPECT_EQ(get_prop_string(props, "S", out), -1);
  EXPECT_EQ(out, "");
}

TEST(TemplateMarkupRead, SetPropStringWritesALiteralAndDropsTheBody) {
  txl_prop_list props{make_rc<txl_user_function>("A", "1+1")};
  std::string out;
  ASSERT_EQ(get_prop_string(props, "A", out), 0);
  ASSERT_TRUE(props[0]->body);
  set_prop_string("A", "say \"hi\"\n\\", props);
  set_prop_string("B", "", props);
  EXPECT_EQ(pairs_of(props), "A=\"say \\\"hi\\\"\\n\\\\\"|B=\"\"");
  EXPECT_FALSE(props[0]->body);
  EXPECT_EQ(get_prop_string(props, "A", out), 0);
  EXPECT_EQ(out, "say \"hi\"\n\\");
}

TEST(TemplateMarkupRead, SettingNumbers) {
  struct row {
    const char* text;
    int value;
  };
  const row rows[] = {
      {"60", 60}, {"  30s", 30}, {"abc", 0}, {"", 0}, {"-5", -5}, {"+7", 7}, {"0x10", 0},
      {"2147483647", 2147483647}, {"99999999999999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(setting_number(r.text), r.value);
  }
}

TEST(TemplateMarkupRead, DocSettings) {
  struct row {
    const char* markup;
    bool found;
    const char* project;
    int refresh;
  };
  const row rows[] = {
      {"<!--$VX DOC PRJ=%{\"plant.prj\"}%\r\n REFRESH=%{\"60\"}%-->", true, "plant.prj", 60},
      {"<!--$VX DOC REFRESH=%{\"abc\"}%-->", true, "", 0},
      {"<!--$VX DOC REFRESH=%{30}%-->", true, "", 30},
      {"<!--$VX DOC PRJ=%{'p'}% REFRESH=%{1 +}%-->", false, "p", 0},
      {"<!-- no settings -->", false, "", 0},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.markup);
    auto doc = head_with(r.markup);
    std::string project = "stale";
    int refresh = -1;
    EXPECT_EQ(read_doc_settings(doc->head->children, mode_compile, project, refresh), r.found);
    EXPECT_EQ(project, r.project);
    EXPECT_EQ(refresh, r.refresh);
  }
}

}  // namespace
}  // namespace quillet
