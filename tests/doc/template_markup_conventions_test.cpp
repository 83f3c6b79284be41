// The editor's load and save conventions, and the fragment header with its wizard parameters.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "doc/editor_conventions.h"
#include "doc/template_markup.h"
#include "html_test_util.h"

namespace quillet {
namespace {

std::string pairs_of(const txl_prop_list& props) {
  std::string s;
  for (const auto& p : props)
    s += (s.empty() ? "" : "|") + p->name + "=" + p->text;
  return s;
}

rc_ptr<html_document> parse(const std::string& html) {
  auto doc = make_rc<html_document>();
  EXPECT_TRUE(test::read_string(*doc, html)) << html;
  return doc;
}

const char* const sample_template =
    "<HTML><HEAD><TITLE>Shift &amp; hours</TITLE>\r\n"
    "<!--$VX DOC PRJ=%{\"plant.prj\"}%\r\n REFRESH=%{\"60\"}%-->"
    "<!--$VX VAR NAME=total VALUE=%{SUM(1,2)}%-->\r\n"
    "<!--$VX VAR NAME=\"Obj1.x\" VALUE=%{@total * 2}%-->\r\n"
    "</HEAD><BODY><!--$VX ELT \"ATTR.BGCOLOR\"=%{'red'}%-->"
    "<TABLE><TR><TD><!--$VX ELT VALUE=%{ROW()}%-->1</TD><TD BGCOLOR=red>2</TD></TR></TABLE>"
    "<IMG SRC=a.png><!--$VX ELT \"ATTR.SRC\"=%{'b.png'}%--><P VXDYNELT=1>stale</P>"
    "</BODY></HTML>";

TEST(TemplateMarkupConventions, LoadMovesDirectivesOut) {
  auto doc = parse(sample_template);
  template_markup_state state;
  apply_load_conventions(*doc, state);
  EXPECT_EQ(state.project, "plant.prj");
  EXPECT_EQ(state.refresh, 60);
  EXPECT_EQ(state.title, "Shift & hours");
  EXPECT_EQ(state.fragment.clsid, "");
  EXPECT_EQ(state.fragment.name, "Obj");
  EXPECT_EQ(pairs_of(state.variables), "total=SUM(1,2)|Obj1.x=@total * 2");
  ASSERT_EQ(state.definitions.size(), 3u);
  EXPECT_EQ(pairs_of(state.definitions[0]), "ATTR.BGCOLOR='red'");
  EXPECT_EQ(pairs_of(state.definitions[1]), "VALUE=ROW()");
  EXPECT_EQ(pairs_of(state.definitions[2]), "ATTR.SRC='b.png'");
  EXPECT_EQ(test::write_string(*doc, 6),
            "<HTML><HEAD><TITLE>Shift &amp; hours</TITLE>\r\n</HEAD>"
            "<BODY VXDYNELT=1><TABLE><TR><TD VXDYNELT=2>1</TD><TD BGCOLOR=red>2</TD></TR></TABLE>"
            "<IMG SRC=a.png VXDYNELT=3><P>stale</P></BODY></HTML>");
}

// A STORE setting survives loading and saving; without one none is written.
TEST(TemplateMarkupConventions, StoreSettingIsKept) {
  auto doc = parse("<HTML><HEAD><!--$VX DOC PRJ=%{\"p.json\"}% STORE=%{\"plant.db\"}%--></HEAD><BODY></BODY></HTML>");
  template_markup_state state;
  apply_load_conventions(*doc, state);
  EXPECT_EQ(state.store, "plant.db");
  std::ostringstream out;
  save_template(*doc, state, "en", out);
  EXPECT_NE(out.str().find("STORE=%{\"plant.db\"}%"), std::string::npos) << out.str();
  auto again = parse(out.str());
  template_markup_state reloaded;
  apply_load_conventions(*again, reloaded);
  EXPECT_EQ(reloaded.store, "plant.db");
  reloaded.store.clear();
  std::ostringstream without;
  save_template(*again, reloaded, "en", without);
  EXPECT_EQ(without.str().find("STORE"), std::string::npos) << without.str();
}

// What the editor saves: the HEAD in its fixed order, ELT comments back in their elements.
TEST(TemplateMarkupConventions, SaveRestoresDirectives) {
  auto doc = parse(sample_template);
  template_markup_state state;
  apply_load_conventions(*doc, state);
  std::string edited = test::write_string(*doc, 6);
  state.title = "A < B";
  state.refresh = 30;

  auto again = parse(edited);
  std::ostringstream out;
  save_template(*again, state, "en", out);
  EXPECT_EQ(out.str(),
            "<HTML><HEAD>"
            "<!--$VX DOC PRJ=%{\"plant.prj\"}%\r\n REFRESH=%{\"30\"}%--><TITLE>A &lt; B</TITLE>\r\n"
            "<!--$VX VAR NAME=total VALUE=%{SUM(1,2)}%-->\r\n"
            "<!--$VX VAR NAME=\"Obj1.x\" VALUE=%{@total * 2}%-->\r\n"
            "</HEAD>"
            "<BODY><!--$VX ELT \"ATTR.BGCOLOR\"=%{'red'}%--><TABLE><TR>"
            "<TD><!--$VX ELT VALUE=%{ROW()}%-->1</TD><TD BGCOLOR=red>2</TD></TR></TABLE>"
            "<IMG SRC=a.png><!--$VX ELT \"ATTR.SRC\"=%{'b.png'}%--><P>stale</P></BODY></HTML>");

  auto reloaded = parse(out.str());
  template_markup_state state2;
  apply_load_conventions(*reloaded, state2);
  EXPECT_EQ(state2.title, "A < B");
  EXPECT_EQ(state2.refresh, 30);
  EXPECT_EQ(pairs_of(state2.variables), pairs_of(state.variables));
  ASSERT_EQ(state2.definitions.size(), 3u);
  EXPECT_EQ(pairs_of(state2.definitions[2]), "ATTR.SRC='b.png'");
}

TEST(TemplateMarkupConventions, ContentTypeMetaForRussian) {
  struct row {
    const char* language;
    const char* head;
    bool added;
  };
  const row rows[] = {
      {"ru", "", true},
      {"ru_RU.UTF-8", "", true},
      {"RU-ru", "", true},
      {"en", "", false},
      {"it", "", false},
      {"zh_CN", "", false},
      {"rus", "", false},
      {"", "", false},
      {"ru", "<META HTTP-EQUIV=content-type CONTENT=\"text/html; charset=koi8-r\">", false},
      {"ru", "<META HTTP-EQUIV=REFRESH CONTENT=5>", true},
      {"ru", "<META NAME=Content-Type>", true},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.language) + " " + r.head);
    auto doc = parse(std::string("<HTML><HEAD>") + r.head + "</HEAD><BODY></BODY></HTML>");
    template_markup_state state;
    apply_load_conventions(*doc, state);
    apply_save_conventions(*doc, state, r.language);
    std::string meta = "META(HTTP-EQUIV=Content-Type,CONTENT=text/html; charset=windows-1251){ne}";
    EXPECT_EQ(test::dump_node(doc->head->children) == meta, r.added) << test::dump_list(doc->head->children);
  }
}

TEST(TemplateMarkupConventions, VxdyneltPositions) {
  struct row {
    const char* attr;
    bool restored;
  };
  const row rows[] = {
      {"1", true}, {"2", true}, {"1x", true}, {"3", false}, {"0", false}, {"-1", false},
      {"x1", false}, {"", false}, {" 1", false}, {"99999999999", false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.attr);
    template_markup_state state;
    state.definitions.push_back({make_rc<txl_user_function>("VALUE", "1")});
    state.definitions.push_back({make_rc<txl_user_function>("VALUE", "1")});
    auto doc = parse(std::string("<HTML><BODY><SPAN VXDYNELT=\"") + r.attr + "\" ID=s>x</SPAN></BODY></HTML>");
    apply_save_conventions(*doc, state, "en");
    const auto* span = static_cast<const html_elt_tag*>(doc->body->children);
    EXPECT_EQ(test::dump_node(span), r.restored ? "SPAN(ID=s){t}[!--$VX ELT VALUE=%{1}%-- \"x\"]"
                                                : "SPAN(ID=s){t}[\"x\"]");
  }
}

TEST(TemplateMarkupConventions, EmptyDefinitionWritesNoComment) {
  auto doc = parse("<HTML><BODY><P><!--$VX ELT-->x</P></BODY></HTML>");
  template_markup_state state;
  apply_load_conventions(*doc, state);
  ASSERT_EQ(state.definitions.size(), 1u);
  EXPECT_TRUE(state.definitions[0].empty());
  apply_save_conventions(*doc, state, "en");
  EXPECT_EQ(test::dump_list(doc->body->children), "P{t}[\"x\"]");
}

TEST(TemplateMarkupConventions, FailedDirectivesAreDropped) {
  auto doc = parse(
      "<HTML><HEAD><!--$VX VAR NAME=a VALUE=%{1}%--><!--$VX VAR VALUE=1--></HEAD>"
      "<BODY><P><!--$VX ELT VALUE=%{1}% 9=%{2}%-->x</P><P><!--$VX ELT VALUE=%{1}%--><!--$VX ELT X=%{2}%-->y</P>"
      "</BODY></HTML>");
  template_markup_state state;
  apply_load_conventions(*doc, state);
  EXPECT_EQ(pairs_of(state.variables), "a=1");
  ASSERT_EQ(state.definitions.size(), 1u);
  EXPECT_EQ(pairs_of(state.definitions[0]), "VALUE=1");
  EXPECT_EQ(test::dump_list(doc->body->children),
            "P{t}[\"x\"] P(VXDYNELT=1){t}[!--$VX ELT X=%{2}%-- \"y\"]");
}

// Nesting far deeper than any call stack would allow is walked all the same.
TEST(TemplateMarkupConventions, DeepNesting) {
  std::string html = "<HTML><BODY>";
  for (int i = 0; i < 100000; ++i)
    html += "<DIV>";
  html += "<SPAN><!--$VX ELT VALUE=%{1}%-->x</SPAN></BODY></HTML>";
  auto doc = parse(html);
  template_markup_state state;
  apply_load_conventions(*doc, state);
  EXPECT_EQ(state.definitions.size(), 1u);
  apply_save_conventions(*doc, state, "en");
  EXPECT_NE(test::write_string(*doc, 6).find("<SPAN><!--$VX ELT VALUE=%{1}%-->x</SPAN>"), std::string::npos);
}

const char* const sample_fragment =
    "<HTML><HEAD>"
    "<!--$VX WIZ CLSID=%{\"{1234}\"}%\r\n NAME=%{\"\"}%\r\n DESC=%{\"Pump block\"}%-->"
    "<!--$VX WPARM NAME=%{\"CH\"}%\r\n DESC=%{\"Channel\"}%\r\n TYPE=%{\"CHAN\"}%\r\n"
    " PROMPT=%{\"Pick a channel\"}%\r\n VALUE=%{CHAN(\"P1\")}%-->"
    "<!--$VX WPARM DESC=%{\"nameless\"}%\r\n VALUE=%{1}%-->"
    "<!--$VX WPARM NAME=%{\"ITEMS\"}%\r\n TYPE=%{\"EXPR\"}%\r\n VALUE=%{1, 2}%-->"
    "<!--$VX WPARM NAME=%{\"BAD\"}% 9=%{1}%-->"
    "<!--$VX WPARM NAME=%{\"LAST\"}%-->"
    "</HEAD><BODY></BODY></HTML>";

TEST(TemplateMarkupConventions, FragmentHeaderReadAndWritten) {
  auto doc = parse(sample_fragment);
  htdoc_fragment_header header;
  EXPECT_TRUE(read_fragment_header(doc->head->children, header));
  EXPECT_EQ(header.clsid, "{1234}");
  EXPECT_EQ(header.name, "Obj");
  EXPECT_EQ(header.desc, "Pump block");
  std::string params;
  for (const auto& p : header.params)
    params += p->fn->name + "/" + p->desc + "/" + p->type + "/" + p->prompt + "/" + p->fn->text + ";";
  EXPECT_EQ(params, "CH/Channel/CHAN/Pick a channel/CHAN(\"P1\");ITEMS//EXPR//1, 2;BAD////;LAST////;");
  EXPECT_EQ(doc->head->children, nullptr);
  EXPECT_EQ(pairs_of(fragment_param_list(header)), "CH=CHAN(\"P1\")|ITEMS=1, 2|BAD=|LAST=");

  write_fragment_header(doc->head->children, header);
  EXPECT_EQ(test::dump_list(doc->head->children),
            "!--$VX WIZ CLSID=%{\"{1234}\"}%\\r\\n NAME=%{\"Obj\"}%\\r\\n DESC=%{\"Pump block\"}%-- "
            "!--$VX WPARM NAME=%{\"CH\"}%\\r\\n DESC=%{\"Channel\"}%\\r\\n TYPE=%{\"CHAN\"}%\\r\\n"
            " PROMPT=%{\"Pick a channel\"}%\\r\\n VALUE=%{CHAN(\"P1\")}%-- "
            "!--$VX WPARM NAME=%{\"ITEMS\"}%\\r\\n TYPE=%{\"EXPR\"}%\\r\\n VALUE=%{1, 2}%-- "
            "!--$VX WPARM NAME=%{\"BAD\"}%-- !--$VX WPARM NAME=%{\"LAST\"}%--");

  htdoc_fragment_header plain;
  html_element* list = nullptr;
  write_fragment_header(list, plain);
  EXPECT_EQ(list, nullptr);
  EXPECT_FALSE(read_fragment_header(list, plain));
  EXPECT_EQ(plain.name, "Obj");
}

TEST(TemplateMarkupConventions, FragmentInstanceIds) {
  struct row {
    const char* name;
    std::vector<const char*> variables;
    const char* id;
  };
  const row rows[] = {
      {"Obj", {}, "Obj1"},
      {"Obj", {"Obj1.x"}, "Obj2"},
      {"Obj", {"Obj1.x", "Obj2.y", "Obj3"}, "Obj3"},
      {"Obj", {"Obj10.x", "obj1.x", "Obj1"}, "Obj1"},
      {"Pump", {"Pump1.a", "Pump2.a", "Pump3.a"}, "Pump4"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.id);
    txl_prop_list vars;
    for (const char* v : r.variables)
      vars.push_back(make_rc<txl_user_function>(v, "1"));
    EXPECT_EQ(fragment_instance_id(r.name, vars), r.id);
  }
}

// A fragment named Obj inserted twice: its variables become Obj1.x, then Obj2.x.
TEST(TemplateMarkupConventions, FragmentInsertedTwice) {
  txl_prop_list target_vars;
  for (int insertion = 1; insertion <= 2; ++insertion) {
    auto frag = parse("<HTML><HEAD><!--$VX WIZ CLSID=%{\"{9}\"}%--><!--$VX WPARM NAME=%{\"P\"}% VALUE=%{5}%-->"
                      "<!--$VX VAR NAME=\"{$ID}.x\" VALUE=%{{$P} + 1}%--></HEAD><BODY></BODY></HTML>");
    htdoc_fragment_header header;
    read_fragment_header(frag->head->children, header);
    txl_prop_list params{make_rc<txl_user_function>("ID", fragment_instance_id(header.name, target_vars))};
    for (const auto& p : fragment_param_list(header))
      params.push_back(p);
    read_directive_vars(frag->head->children, target_vars, mode_keep_text, &params);
  }
  EXPECT_EQ(pairs_of(target_vars), "Obj1.x=5 + 1|Obj2.x=5 + 1");
}

TEST(TemplateMarkupConventions, ParameterTypes) {
  struct row {
    const char* keyword;
    const char* display;
  };
  const row rows[] = {
      {"STR", "STR (string)"}, {"NUM", "NUM (number)"}, {"INT", "INT (integer)"},
      {"OBJ", "OBJ (VELMOR object)"}, {"CHAN", "CHAN (VELMOR channel)"}, {"LIST", "LIST (array)"},
      {"STRLIST", "STRLIST (string array)"}, {"TIME", "TIME (time)"}, {"COLOR", "COLOR (color)"},
      {"FONT", "FONT (font)"}, {"EXPR", "EXPR (expression)"}, {"str", ""}, {"", ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.keyword);
    EXPECT_EQ(wparm_type_display(r.keyword), r.display);
  }
  EXPECT_EQ(wparm_types[0].keyword, "STR");
  EXPECT_EQ(wparm_types[10].keyword, "EXPR");
}

}  // namespace
}  // namespace quillet
