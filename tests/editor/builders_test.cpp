// The expression builders: what each recognises in a text, the exact text each writes, and
// that writing what was recognised from a builder's own text gives that text again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/builders/builders.h"
#include "editor/channel_tree_cache.h"
#include "editor_fixture.h"

namespace quillet::editor {
namespace {

using nlohmann::json;

json recognize(const char* builder, const std::string& text, const json& options = json::object()) {
  return find_builder(builder)->recognize(text, options);
}

// The written text, or "refused: message row".
std::string emit(const char* builder, const json& fields) {
  std::string text;
  builder_refusal refusal;
  if (find_builder(builder)->emit(fields, text, refusal))
    return text;
  return "refused: " + refusal.message + " " + std::to_string(refusal.row);
}

struct recognition_row {
  const char* builder;
  std::string text;
  json expected;  // the fields that must match
};

TEST(builders, recognise_their_shapes_and_give_defaults_otherwise) {
  const recognition_row rows[] = {
      {"channel_value", "FORMAT( \"%.2f\", GETVAL( CHAN(\"T1\", 0, \"N\") ) )",
       {{"format", true}, {"spec", "%.2f"}, {"historical", false}, {"channel", "CHAN(\"T1\", 0, \"N\")"}}},
      {"channel_value", "READVAL(c1(), TIME() - 60)", {{"format", false}, {"historical", true}, {"channel", "c1()"}, {"time", "TIME() - 60"}}},
      {"channel_value", "FORMAT( x(), GETVAL( 1 ) )", {{"format", false}, {"spec", "%f"}, {"channel", ""}}},
      {"channel_value", "GETVAL( 1, 2 )", {{"channel", ""}, {"time", "TIME()"}}},
      {"statistics", "AVG(RNSTAT(C(), TIME()-3600, TIME()))", {{"function", "AVG"}, {"channel", "C()"}, {"from", "TIME()-3600"}}},
      {"statistics", "SUM2( RTSTAT( a(), 1, 2 ) )", {{"function", ""}, {"channel", "a()"}, {"to", "2"}}},
      {"statistics", "", {{"function", "SUM"}, {"from", "TIME()"}, {"to", "TIME()"}}},
      {"statistics", "MAX( RTSTAT( a(), 1 ) )", {{"function", "SUM"}, {"channel", ""}}},
      {"time", "TIMESTR( \"%H:%M\", RTIME( TIME( t0() ), \"HR\", -1 ) )",
       {{"format", true}, {"spec", "%H:%M"}, {"rounding", true}, {"mode", "RTIME"}, {"unit", "HR"}, {"offset", "-1"}, {"base", "t0()"}}},
      {"time", "DTIME( TIME(), \"WK\", 2 )", {{"format", false}, {"mode", "DTIME"}, {"unit", "WK"}, {"base", ""}}},
      {"time", "DTIME( TIME(), \"FORTNIGHT\", 2 )", {{"rounding", true}, {"unit", ""}}},
      {"time", "t0() + 5", {{"rounding", false}, {"base", "t0() + 5"}}},
      {"time", "", {{"format", false}, {"base", ""}}},
      {"array", "LIST( 1, a() + 2, \"x\" )", {{"rows", {"1", "a() + 2", "\"x\""}}}},
      {"array", "LIST()", {{"rows", json::array()}}},
      {"array", "SIZE( 1 )", {{"rows", json::array()}}},
      {"string_array", "LIST( \"a\\\"b\", 3, \"\" )", {{"rows", {"a\"b", "", ""}}}},
      {"channel_selection", "SELCHAN( OBJECT( \"N1\", \"Pumps\" ), 4 )", {{"node", "N1"}, {"object", "Pumps"}, {"condition", 4}}},
      {"channel_selection", "SELCHAN( 2, 3, 8 )", {{"node", 2}, {"object", 3}, {"condition", 8}}},
      {"channel_selection", "SELCHAN( 2, 3, 9 )", {{"condition", 0}}},
      {"channel_selection", "SELCHAN( n(), 3, 5 )", {{"node", ""}, {"condition", 0}}},
      {"channel", "NAME( CHAN( \"T1\", \"Hi\", \"N1\", \"Pumps\" ) )",
       {{"name", true}, {"channel", "T1"}, {"attribute", "Hi"}, {"node", "N1"}, {"object", "Pumps"}}},
      {"channel", "CHAN( \"T1\", 0, \"N1\")", {{"name", false}, {"attribute", 0}, {"object", ""}}},
      {"object", "OBJECT( \"N1\", \"Pumps\" )", {{"node", "N1"}, {"object", "Pumps"}}},
      {"literal", "\"bold 12pt Arial\"", {{"text", "bold 12pt Arial"}}},
  };
  for (const recognition_row& r : rows) {
    SCOPED_TRACE(std::string(r.builder) + ": " + r.text);
    json fields = recognize(r.builder, r.text);
    for (const auto& [key, value] : r.expected.items())
      EXPECT_EQ(fields[key], value) << key;
  }
}

TEST(builders, an_empty_time_opened_for_a_formatted_time_formats_with_c) {
  json fields = recognize("time", "", {{"formatted", true}});
  EXPECT_EQ(fields["format"], true);
  EXPECT_EQ(emit("time", fields), "TIMESTR( \"%c\", TIME() )");
}

struct emission_row {
  const char* builder;
  json fields;
  std::string text;
};

TEST(builders, write_their_fixed_fragments_exactly) {
  const emission_row rows[] = {
      {"channel_value", {{"channel", "c()"}}, "GETVAL( c() )"},
      {"channel_value", {{"format", true}, {"spec", "%5.1f \"C\""}, {"historical", true}, {"channel", "c()"}, {"time", "t()"}},
       "FORMAT( \"%5.1f \\\"C\\\"\", READVAL( c(), t() ) )"},
      {"channel_value", {{"channel", "c("}}, "refused:  -1"},
      {"channel_value", {{"channel", ""}}, "refused:  -1"},
      {"statistics", {{"function", "STDEV"}, {"channel", "c()"}, {"from", "1"}, {"to", "2"}}, "STDEV( RTSTAT( c(), 1, 2 ) )"},
      {"statistics", {{"function", "SUM2"}, {"channel", "c()"}, {"from", "1"}, {"to", "2"}}, "refused:  -1"},
      {"time", {{"rounding", true}, {"mode", "DTIME"}, {"unit", "MON"}, {"offset", "1"}}, "DTIME( TIME(), \"MON\", 1 )"},
      {"time", {{"format", true}, {"spec", "%d.%m"}, {"base", "t0()"}}, "TIMESTR( \"%d.%m\", TIME( t0() ) )"},
      {"time", {{"rounding", true}, {"unit", ""}}, "refused:  -1"},
      {"time", {}, "TIME()"},
      {"array", {{"rows", json::array()}}, "LIST()"},
      {"array", {{"rows", {"1", "a() + 2"}}}, "LIST(\r\n    1,\r\n    a() + 2\r\n)"},
      {"array", {{"rows", {"1", "2 +", "x("}}}, "refused: Some of the array items are incorrect 1"},
      {"string_array", {{"rows", {"a\"b", "c\\d"}}}, "LIST(\r\n    \"a\\\"b\",\r\n    \"c\\\\d\"\r\n)"},
      {"channel_selection", {{"node", "N1"}, {"object", 0}, {"condition", 3}}, "SELCHAN( OBJECT( \"N1\", 0 ), 3 )"},
      {"channel_selection", {{"node", "N1"}, {"object", "O"}, {"condition", 9}}, "refused:  -1"},
      {"channel", {{"channel", "T1"}, {"attribute", 0}, {"node", "N1"}}, "CHAN( \"T1\", 0, \"N1\")"},
      {"channel", {{"channel", "T1"}, {"attribute", "Hi"}, {"node", "N1"}, {"object", "P"}, {"name", true}},
       "NAME( CHAN( \"T1\", \"Hi\", \"N1\", \"P\") )"},
      {"object", {{"node", "N1"}, {"object", "Pumps"}}, "OBJECT( \"N1\", \"Pumps\" )"},
      {"value_format", {{"conversion", "f"}, {"width", 5}, {"precision", 2}}, "%5.2f"},
      {"value_format", {{"conversion", "f"}, {"left", true}, {"sign", true}, {"alternate", true}, {"zeros", true}, {"width", 8}}, "%-+#08f"},
      {"value_format", {{"conversion", "u"}, {"sign", true}, {"zeros", true}, {"width", -3}, {"precision", -1}}, "%u"},
      {"value_format", {{"conversion", "d"}, {"sign", true}}, "%+d"},
      {"value_format", {{"conversion", "e"}}, "refused:  -1"},
      {"literal", {{"text", "#FF0000"}}, "\"#FF0000\""},
  };
  for (const emission_row& r : rows) {
    SCOPED_TRACE(std::string(r.builder) + ": " + r.fields.dump());
    EXPECT_EQ(emit(r.builder, r.fields), r.text);
  }
}

TEST(builders, a_value_format_shows_in_the_controls_only_when_they_can_write_it_back) {
  const std::pair<const char*, bool> rows[] = {
      {"%5.2f", true},   {"%-+#08.3f", true}, {"%X", true},  {"%s", true},    {"%+d", true},
      {"%5.2lf", false}, {"T=%5.2f", false},  {"%%%d", false}, {"%--d", false}, {"%005d", false},
      {"%.05f", false},  {"%x", false},       {"%g", false}, {"%#d", false},  {"% d", false},
      {"%5.2f%", false}, {"", false},         {"%q", false}, {"%", false},    {"%08s", false},
  };
  for (const auto& [spec, representable] : rows) {
    SCOPED_TRACE(spec);
    EXPECT_EQ(recognize("value_format", spec)["representable"], representable);
  }
}

// Texts of every builder's own shape: recognising and writing gives the same text, and
// recognising that again gives the same fields.
TEST(builders, round_trip_through_recognition_and_emission) {
  const std::pair<const char*, std::string> rows[] = {
      {"channel_value", "GETVAL( CHAN( \"T1\", 0, \"N1\") )"},
      {"channel_value", "FORMAT( \"%.1f \\\\ \\\"x\\\"\", READVAL( c(), TIME() - 3600 ) )"},
      {"statistics", "MIN( RTSTAT( c(), RTIME( TIME(), \"DAY\", 0 ), TIME() ) )"},
      {"time", "TIMESTR( \"%c\", DTIME( TIME( t0() + 1 ), \"SEC\", -30 ) )"},
      {"time", "RTIME( TIME(), \"YR\", 0 )"},
      {"value_format", "%-12.4f"},
      {"array", "LIST(\r\n    LIST(\r\n        1\r\n    ),\r\n    \"a\"\r\n)"},
      {"array", "LIST()"},
      {"string_array", "LIST(\r\n    \"tab\\tquote\\\"\",\r\n    \"\"\r\n)"},
      {"channel_selection", "SELCHAN( OBJECT( \"N1\", \"Pumps\" ), 8 )"},
      {"channel", "NAME( CHAN( \"T1\", \"Hi\", \"N1\", \"P\") )"},
      {"channel", "CHAN( \"T1\", 0, \"N1\")"},
      {"object", "OBJECT( \"N1\", \"Pumps\" )"},
      {"literal", "\"italic bold 10pt \\\"DejaVu Sans\\\"\""},
  };
  for (const auto& [builder, text] : rows) {
    SCOPED_TRACE(text);
    json fields = recognize(builder, text);
    std::string written = emit(builder, fields);
    EXPECT_EQ(written, text);
    EXPECT_EQ(recognize(builder, written), fields);
  }
}

class builder_routes_test : public editor_fixture {};

TEST_F(builder_routes_test, recognise_and_emit_through_the_server) {
  start();
  json answer;
  ASSERT_EQ(post("/api/builder/recognize", {{"builder", "statistics"}, {"text", "MAX(RNSTAT(c(), 1, 2))"}}, &answer), 200);
  EXPECT_EQ(answer["fields"]["function"], "MAX");
  ASSERT_EQ(post("/api/builder/emit", {{"builder", "statistics"}, {"fields", answer["fields"]}}, &answer), 200);
  EXPECT_EQ(answer["text"], "MAX( RTSTAT( c(), 1, 2 ) )");
  ASSERT_EQ(post("/api/builder/emit", {{"builder", "array"}, {"fields", {{"rows", {"1 +"}}}}}, &answer), 200);
  EXPECT_EQ(answer, json({{"ok", false}, {"message", "Some of the array items are incorrect"}, {"row", 0}}));
  EXPECT_EQ(post("/api/builder/emit", {{"builder", "nope"}}, &answer), 400);
}

TEST_F(builder_routes_test, the_channel_map_needs_a_project_and_lists_nodes_objects_channels_and_attributes) {
  start();
  json tree;
  ASSERT_EQ(get("/api/channels", &tree), 200);
  EXPECT_EQ(tree, json({{"loaded", false}, {"message", "Project file not specified. Please, select one"}}));
  ASSERT_EQ(post("/api/project", {{"path", QUILLET_EXAMPLES "/demo_project.json"}}), 200);
  ASSERT_EQ(get("/api/channels", &tree), 200);
  ASSERT_EQ(tree["loaded"], true);
  const json& boilers = tree["nodes"][0];
  EXPECT_EQ(boilers["name"], "BOILERS");
  EXPECT_EQ(boilers["channels"][0], json({{"index", 0}, {"name", "T_SUPPLY"}, {"code", "TT-101"},
                                          {"comment", "Supply water temperature"}}));
  EXPECT_EQ(boilers["channels"][2]["code"], "");
  EXPECT_EQ(boilers["objects"][0], json({{"index", 1}, {"name", "PUMPS"}, {"channels", {2, 3}}}));
  EXPECT_EQ(tree["attributes"][0], json({{"code", 1}, {"name", "HI"}}));
}

TEST(channel_tree_cache, a_project_is_read_again_only_when_its_file_changes) {
  std::string path = testing::TempDir() + "channel_tree_cache.json";
  std::filesystem::copy_file(QUILLET_EXAMPLES "/demo_project.json", path, std::filesystem::copy_options::overwrite_existing);
  std::shared_ptr<const std::string> first = cached_channel_tree(path);
  ASSERT_TRUE(first);
  EXPECT_EQ(cached_channel_tree(path), first);
  std::string text = *first;
  std::ofstream(path, std::ios::trunc) << R"({"attributes": [], "nodes": [{"name": "N", "channels": [{"number": 0, "name": "C"}], "objects": []}]})";
  std::shared_ptr<const std::string> second = cached_channel_tree(path);
  ASSERT_TRUE(second);
  EXPECT_EQ(json::parse(*second)["nodes"][0]["channels"][0]["name"], "C");
  std::ofstream(path, std::ios::trunc) << "{";
  EXPECT_FALSE(cached_channel_tree(path));
  std::filesystem::remove(path);
  EXPECT_FALSE(cached_channel_tree(path));
}

}  // namespace
}  // namespace quillet::editor
