// The element property catalogue: its rows, which elements they apply to, and how values and
// expressions are read and written, walked over every row; and its routes.
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "editor/property_catalogue.h"
#include "editor/web_assets.h"
#include "editor_fixture.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet::editor {
namespace {

using nlohmann::json;

catalogue_element element(std::string tag) {
  catalogue_element e;
  e.tag = std::move(tag);
  return e;
}

const catalogue_row& row(std::string_view key) {
  const catalogue_row* r = find_catalogue_row(key);
  EXPECT_NE(r, nullptr) << key;
  return *r;
}

std::set<std::string> applying(const catalogue_element& e) {
  std::set<std::string> keys;
  for (const catalogue_row& r : property_catalogue())
    if (row_applies(r, e))
      keys.insert(std::string(r.key));
  return keys;
}

TEST(property_catalogue, rows_nest_under_their_groups_with_unique_keys) {
  auto rows = property_catalogue();
  ASSERT_EQ(rows.size(), 206u);
  std::set<std::string_view> keys;
  int group_level = -1;
  for (const catalogue_row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_TRUE(keys.insert(r.key).second);
    EXPECT_FALSE(r.display_text().empty() && r.kind != row_kind::font);
    if (r.kind == row_kind::group) {
      EXPECT_LE(r.level, group_level + 1);
      group_level = r.level;
      continue;
    }
    EXPECT_EQ(r.level, group_level + 1);
    EXPECT_EQ(r.kind == row_kind::attribute, r.key.starts_with("A_"));
  }
}

// Every row over elements of each kind: an applying row stores and reads back its expression
// under its dynamic name, and its static value unless it has none.
TEST(property_catalogue, every_row_reads_back_what_it_writes_on_every_kind_of_element) {
  for (const char* tag : {"SPAN", "TD", "FONT", "LI", "TABLE", "UL", "BODY", "IMG", "TBODY", "A", "INPUT", "P"}) {
    for (const catalogue_row& r : property_catalogue()) {
      catalogue_element e = element(tag);
      SCOPED_TRACE(std::string(tag) + " " + std::string(r.key));
      if (!row_applies(r, e))
        continue;
      std::string out;
      bool expressions = r.kind != row_kind::font;
      EXPECT_EQ(row_set_expression(r, e, "1 + 2"), expressions);
      EXPECT_EQ(row_get_expression(r, e, out), expressions);
      if (expressions) {
        EXPECT_EQ(out, "1 + 2");
        EXPECT_EQ(e.definition.front().first, row_dynamic_name(r));
      }
      bool settable = !(r.flags & (catalogue_row::DYNAMIC_ONLY | catalogue_row::FONT_PAGE));
      EXPECT_EQ(row_set_value(r, e, "v"), settable);
      if (settable) {
        ASSERT_TRUE(row_get_value(r, e, out));
        EXPECT_EQ(out, "v");
      }
      if (r.flags & catalogue_row::DYNAMIC_ONLY) {
        ASSERT_TRUE(row_get_value(r, e, out));
        EXPECT_EQ(out, "1 + 2");
      }
      EXPECT_TRUE(row_set_expression(r, e, "") || !expressions);
      EXPECT_FALSE(row_get_expression(r, e, out));
    }
  }
}

TEST(property_catalogue, cells_lists_and_inline_elements_get_their_template_rows) {
  struct case_row {
    const char* tag;
    std::set<std::string> in, out;
  };
  for (const case_row& c : std::vector<case_row>{
           {"TD", {"VALUE", "ROWSPAN", "COLSPAN", "COLS", "ROWS", "A_ROWSPAN", "A_BGCOLOR", "A_NOWRAP"}, {"REPEAT", "LROWS"}},
           {"SPAN", {"VALUE", "REPEAT", "A_ID", "A_ONCLICK", "S_COLOR"}, {"ROWSPAN", "COLSPAN", "COLS", "ROWS", "A_HREF"}},
           {"LI", {"VALUE", "LROWS", "A_TYPE", "A_VALUE"}, {"REPEAT", "S_LIST_TYPE", "COLS"}},
           {"OL", {"REPEAT", "S_LIST_STYLE", "S_LIST_TYPE", "A_START"}, {"VALUE"}},
           {"TBODY", {"REPEAT", "A_VALIGN"}, {"VALUE", "A_BGCOLOR"}},
           {"FONT", {"VALUE", "A_COLOR", "A_SIZE_FONT", "A_FACE"}, {"A_SIZE", "A_ONCLICK"}},
           {"HTML", {"A_VERSION", "FONT", "COLOR"}, {"A_ID", "A_CLASS", "REPEAT", "VALUE"}},
           {"DIV", {"VALUE", "REPEAT", "A_ALIGN"}, {"A_ACCESSKEY_A", "A_ACCESSKEY"}},
       }) {
    SCOPED_TRACE(c.tag);
    std::set<std::string> keys = applying(element(c.tag));
    for (const std::string& k : c.in)
      EXPECT_TRUE(keys.contains(k)) << k;
    for (const std::string& k : c.out)
      EXPECT_FALSE(keys.contains(k)) << k;
  }
}

TEST(property_catalogue, colour_and_size_rows_write_the_attribute_expression_only_for_its_tags) {
  struct case_row {
    const char* key;
    const char* tag;
    const char* style;  // the style property's dynamic name
    const char* attr;   // the attribute's, kept or cleared
    bool kept;
  };
  for (const case_row& c : std::vector<case_row>{
           {"COLOR", "FONT", "STYLE.color", "ATTR.COLOR", true},
           {"COLOR", "SPAN", "STYLE.color", "ATTR.COLOR", false},
           {"BGCOLOR", "TD", "STYLE.background-color", "ATTR.BGCOLOR", true},
           {"BGCOLOR", "DIV", "STYLE.background-color", "ATTR.BGCOLOR", false},
           {"WIDTH", "TABLE", "STYLE.width", "ATTR.WIDTH", false},
           {"HEIGHT", "TD", "STYLE.height", "ATTR.HEIGHT", false},
       }) {
    SCOPED_TRACE(std::string(c.key) + " " + c.tag);
    catalogue_element e = element(c.tag);
    e.definition = {{c.attr, "old"}};
    std::string out;
    ASSERT_TRUE(row_get_expression(row(c.key), e, out));
    EXPECT_EQ(out, "old");  // no style expression: the attribute's
    ASSERT_TRUE(row_set_expression(row(c.key), e, "X"));
    std::map<std::string, std::string> defs(e.definition.begin(), e.definition.end());
    EXPECT_EQ(defs[c.style], "X");
    EXPECT_EQ(defs.contains(c.attr), c.kept);
    if (c.kept) {
      EXPECT_EQ(defs[c.attr], "X");
    }
  }
}

TEST(property_catalogue, background_rows_read_the_hyphenated_property_and_keep_underscored_names) {
  catalogue_element e = element("DIV");
  e.style = parse_style_text(" Background-Image : url(a.png) ;color:red;; bad");
  std::string out;
  ASSERT_TRUE(row_get_value(row("S_BKG_IMAGE"), e, out));
  EXPECT_EQ(out, "url(a.png)");
  EXPECT_EQ(row_dynamic_name(row("S_BKG_IMAGE")), "STYLE.background_image");
  ASSERT_TRUE(row_set_value(row("S_COLOR"), e, ""));
  EXPECT_EQ(style_text(e.style), "background-image: url(a.png)");
}

// The sections of the help page by their ids.
std::map<std::string, std::string> help_sections(const std::string& page) {
  std::map<std::string, std::string> sections;
  for (std::size_t at = page.find("<section id=\""); at != std::string::npos; at = page.find("<section id=\"", at + 1)) {
    std::size_t id_end = page.find('"', at + 13);
    std::size_t end = page.find("</section>", id_end);
    if (id_end == std::string::npos || end == std::string::npos)
      break;
    sections[page.substr(at + 13, id_end - at - 13)] = page.substr(id_end, end - id_end);
  }
  return sections;
}

// The text of the page's markup with the entities it uses decoded.
std::string unescaped(std::string text) {
  const std::pair<std::string, std::string> entities[] = {{"&quot;", "\""}, {"&#x27;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}};
  for (const auto& [entity, c] : entities)
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, entity.size(), c);
  return text;
}

// Whether every %{...}% example of the section compiles.
bool examples_compile(const std::string& section) {
  for (std::size_t at = section.find("%{"); at != std::string::npos; at = section.find("%{", at + 2)) {
    std::size_t end = section.find("}%", at);
    std::string text = unescaped(section.substr(at + 2, end - at - 2));
    rc_ptr<txl_user_function> fn = make_rc<txl_user_function>("VALUE", text);
    if (end == std::string::npos || txl_compiler().compile(text, fn.get()) != 0)
      return false;
  }
  return true;
}

// Each property's section says what it does with an example of its own that compiles; the
// page holds no section the catalogue does not name.
TEST(property_catalogue, the_property_help_has_a_section_for_every_help_key) {
  std::optional<web_file> help = find_web_file("help/attrhelp.html", "");
  ASSERT_TRUE(help);
  std::map<std::string, std::string> sections = help_sections(help->bytes);
  EXPECT_TRUE(sections.contains("UNKNOWN"));
  for (const catalogue_row& r : property_catalogue()) {
    ASSERT_TRUE(sections.contains(std::string(r.key))) << r.key;
    const std::string& text = sections[std::string(r.key)];
    if (r.kind == row_kind::group)
      continue;
    EXPECT_NE(text.find("Example:"), std::string::npos) << r.key;
    EXPECT_EQ(text.find("%{&quot;...&quot;}%"), std::string::npos) << r.key;
    EXPECT_GT(text.size(), 160u) << r.key;
    EXPECT_TRUE(examples_compile(text)) << r.key;
  }
  EXPECT_EQ(sections.size(), property_catalogue().size() + 1);
}

class property_routes : public editor_fixture {};

TEST_F(property_routes, rows_and_writes_go_through_the_server) {
  start();
  json catalogue, rows, set;
  ASSERT_EQ(get("/api/catalogue", &catalogue), 200);
  EXPECT_EQ(catalogue.size(), 206u);
  json td = {{"tag", "td"}, {"attributes", {{"bgcolor", "red"}, {"VXDYNELT", "1"}}}, {"style", "width: 5px"},
             {"html", "a<b>b</b>"}, {"definition", {{{"name", "COLS"}, {"expr", "3"}}}}};
  ASSERT_EQ(post("/api/element/rows", {{"element", td}}, &rows), 200);
  std::map<std::string, json> by_key;
  for (const json& r : rows["rows"])
    by_key[r["key"]] = r;
  EXPECT_EQ(by_key["BGCOLOR"]["value"], "red");
  EXPECT_EQ(by_key["VALUE"]["value"], "a<b>b</b>");
  EXPECT_EQ(by_key["COLS"]["expression"], "3");
  EXPECT_TRUE(by_key["ROWS"]["expression"].is_null());
  EXPECT_EQ(post("/api/element/set", {{"element", td}, {"key", "COLS"}, {"value", "4"}}, &set), 400);
  EXPECT_EQ(set["error"], "Invalid value");
  EXPECT_EQ(post("/api/element/set", {{"element", td}, {"key", "A_ALIGN"}, {"expression", "1 +"}}, &set), 400);
  EXPECT_EQ(set["error"], "Invalid expression");
  ASSERT_EQ(post("/api/element/set", {{"element", td}, {"key", "A_ALIGN"}, {"value", "center"},
                                      {"expression", "\"left\""}}, &set), 200);
  EXPECT_EQ(set["element"]["attributes"]["ALIGN"], "center");
  EXPECT_EQ(set["element"]["definition"][1]["name"], "ATTR.ALIGN");
}

TEST_F(property_routes, typed_colours_are_read_as_reports_read_them) {
  start();
  json names;
  ASSERT_EQ(get("/api/colors", &names), 200);
  ASSERT_EQ(names.size(), 140u);
  EXPECT_EQ(names[17], json({{"name", "CORNFLOWER"}, {"rgb", "#6495ED"}}));
  const std::pair<json, json> rows[] = {
      {"red", "#FF0000"},       {"Red", "#FF0000"},       {"#f00", "#FF0000"},  {"skyblue", "#87CEEB"},
      {"#12345678", "#123456"}, {"#8fbc8f", "#8FBC8F"},   {"cornflowerblue", nullptr},
      {"#GGG", nullptr},        {"reddish", nullptr},     {"", nullptr},        {5, nullptr},
  };
  for (const auto& [text, want] : rows) {
    json answer;
    ASSERT_EQ(post("/api/color", {{"text", text}}, &answer), 200) << text;
    EXPECT_EQ(answer["ok"], !want.is_null()) << text;
    EXPECT_EQ(answer.value("color", json()), want) << text;
  }
}

}  // namespace
}  // namespace quillet::editor
