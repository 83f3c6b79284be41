// The parameter input's conversions and the insertion of a fragment with its parameters.
#include <gtest/gtest.h>

#include "editor/parameter_input.h"
#include "editor_fixture.h"

namespace quillet::editor {
namespace {

using nlohmann::json;

TEST(parameter_input, converts_only_complete_numbers_in_their_mode) {
  struct row {
    parameter_mode mode;
    std::string typed;
    std::optional<std::string> value;
  };
  const parameter_mode i = parameter_mode::integer, f = parameter_mode::floating, t = parameter_mode::text;
  const std::vector<row> rows = {
      {i, "0x1F", "31"},       {i, "017", "15"},        {i, "-12", "-12"},      {i, "0", "0"},
      {i, "12abc", {}},        {i, "1.5", {}},          {i, "", {}},            {i, " 7", {}},
      {i, "7 ", {}},           {i, "0x", {}},           {i, "08", {}},          {i, "4294967296", {}},
      {f, "1.5", "1.5"},       {f, "1.5x", {}},         {f, "", {}},            {f, "nan", {}},
      {f, "1e999", {}},        {f, "-2.25e3", "-2250.0"},
      {t, "say \"hi\"", "\"say \\\"hi\\\"\""}, {t, "", "\"\""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::to_string(static_cast<int>(r.mode)) + " '" + r.typed + "'");
    EXPECT_EQ(parameter_input_value(r.typed, r.mode), r.value);
  }
}

TEST(parameter_input, the_field_opens_with_the_constant_text_of_the_value) {
  EXPECT_EQ(parameter_input_text("\"Level\""), "Level");
  EXPECT_EQ(parameter_input_text("0x10"), "16");
}

class fragment_test : public editor_fixture {};

// A fragment with a parameter used in a variable's name and text and in two definitions, one
// reference to an unknown parameter, and a stray VXDYNELT attribute of its own.
const char* const fragment_file =
    "<HTML><HEAD><!--$VX WIZ CLSID=%{\"{1}\"}% NAME=%{\"Stat\"}%-->"
    "<!--$VX WPARM NAME=%{\"CH\"}% TYPE=%{\"CHAN\"}% VALUE=%{\"Tank1\"}%-->"
    "<!--$VX WPARM NAME=%{\"N\"}% TYPE=%{\"INT\"}% VALUE=%{5}%-->"
    "<!--$VX VAR NAME={$ID}.avg VALUE=%{avg({$CH}, {$N})}%-->"
    "<!--$VX VAR NAME=Shared VALUE=%{1}%-->"
    "</HEAD><BODY><P VXDYNELT=\"1\"><!--$VX ELT VALUE=%{{$ID}.avg}%-->x</P>"
    "<TABLE><TR><TD><!--$VX ELT COLS=%{{$N} + {$Q}}%-->y</TD></TR></TABLE></BODY></HTML>";

TEST_F(fragment_test, insertion_substitutes_the_wizard_values_and_numbers_after_the_document) {
  start();
  std::string path = write_file("stat.htt", fragment_file);
  struct row {
    json variables;
    json params;
    std::string id;
    std::string avg;
    json added;
    json conflicts;
  };
  const std::vector<row> rows = {
      {json::array(), json::array(), "Stat1", "avg(\"Tank1\", 5)", {"Stat1.avg", "Shared"}, json::array()},
      {{{{"name", "Stat1.avg"}, {"expr", "0"}}, {{"name", "Shared"}, {"expr", "2"}}},
       {{{"name", "N"}, {"value", "0x10"}}}, "Stat2", "avg(\"Tank1\", 0x10)", {"Stat2.avg"}, {"Shared"}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.id);
    json answer;
    ASSERT_EQ(post("/api/fragment", {{"path", path}, {"base", 3}, {"params", r.params}, {"variables", r.variables}},
                   &answer), 200);
    EXPECT_EQ(answer["id"], r.id);
    json names = json::array();
    for (const json& v : answer["variables"])
      names.push_back(v["name"]);
    EXPECT_EQ(names, r.added);
    EXPECT_EQ(answer["conflicts"], r.conflicts);
    EXPECT_EQ(answer["variables"][0]["expr"], r.avg);
    ASSERT_EQ(answer["definitions"].size(), 2u);
    EXPECT_EQ(answer["definitions"][0][0]["expr"], r.id + ".avg");
    EXPECT_EQ(answer["definitions"][1][0]["expr"], (r.params.empty() ? "5" : "0x10") + std::string(" + {$Q}"));
    std::string html = answer["html"];
    EXPECT_NE(html.find("VXDYNELT=4"), std::string::npos) << html;
    EXPECT_NE(html.find("VXDYNELT=5"), std::string::npos) << html;
    EXPECT_EQ(html.find("VXDYNELT=1"), std::string::npos) << html;
  }
}

}  // namespace
}  // namespace quillet::editor
