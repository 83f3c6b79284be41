// The smaller routes: the expression check, the fragments folder's fallback, settings and
// the association entry.
#include <gtest/gtest.h>

#include "editor/editor_settings.h"
#include "editor/fragments.h"
#include "editor_fixture.h"

namespace quillet::editor {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class tools_test : public editor_fixture {};

TEST_F(tools_test, check_gives_the_compile_message_and_its_offset_in_the_page_text) {
  start();
  struct row {
    std::string expr;
    bool ok;
    std::string message;
    int offset;
  };
  for (const row& r : {row{"1 + 2", true, "", 0}, row{"1 +", false, "Line 1: syntax error", 3},
                       row{"\"\u00e9\u00e9\" + ", false, "Line 1: syntax error", 9}}) {
    SCOPED_TRACE(r.expr);
    json answer;
    ASSERT_EQ(post("/api/check", {{"expr", r.expr}}, &answer), 200);
    EXPECT_EQ(answer["ok"], r.ok);
    if (!r.ok) {
      EXPECT_EQ(answer["message"], r.message);
      EXPECT_EQ(answer["offset"], r.offset);
    }
  }
}

TEST_F(tools_test, the_fragments_folder_falls_back_to_english_then_to_the_plain_folder) {
  struct row {
    std::vector<std::string> folders;
    std::string language;
    std::string expect;  // relative to the program folder, "" for none
  };
  const std::vector<row> rows = {
      {{"fragments/ru", "fragments/en"}, "ru", "fragments/ru"},
      {{"fragments/ru", "fragments/en"}, "it", "fragments/en"},
      {{"fragments"}, "zh", "fragments"},
      {{}, "en", ""},
  };
  int n = 0;
  for (const row& r : rows) {
    SCOPED_TRACE(r.language + " " + std::to_string(n));
    fs::path program = dir / std::to_string(n++);
    for (const std::string& f : r.folders)
      fs::create_directories(program / f);
    std::string found = fragments_folder(program.string(), "", r.language);
    EXPECT_EQ(found, r.expect.empty() ? "" : (program / r.expect).string());
  }
}

TEST_F(tools_test, settings_keep_four_recent_files_and_the_association_entry_is_never_the_default) {
  start();
  for (int i = 0; i < 5; ++i) {
    std::string path = write_file("r" + std::to_string(i) + ".html", "<HTML><BODY></BODY></HTML>");
    ASSERT_EQ(post("/api/open", {{"path", path}}), 200);
  }
  json settings;
  ASSERT_EQ(post("/api/association", {{"answer", "yes"}}, &settings), 200);
  EXPECT_EQ(settings["associationAsked"], true);
  ASSERT_EQ(settings["recent"].size(), 4u);
  EXPECT_EQ(settings["recent"][0], (dir / "r4.html").string());
  json stored = json::parse(read_file((dir / "config/quillet/settings.json").string()));
  EXPECT_EQ(stored, settings);
  std::string entry = read_file((dir / "data/applications/quillet-editor.desktop").string());
  EXPECT_NE(entry.find("MimeType=text/html;"), std::string::npos);
  EXPECT_NE(entry.find(" edit %f"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "config/mimeapps.list"));
  EXPECT_FALSE(fs::exists(dir / "data/applications/mimeapps.list"));
  EXPECT_EQ(post("/api/settings", {{"language", "xx"}}), 400);
  EXPECT_EQ(post("/api/settings", {{"reportFolder", dir.string()}}, &settings), 200);
  EXPECT_EQ(settings["reportFolder"], dir.string());
}

TEST_F(tools_test, the_start_state_brings_the_string_table_and_answers_are_never_compressed) {
  start();
  json state;
  ASSERT_EQ(get("/api/state?strings=1", &state), 200);
  EXPECT_EQ(state["strings"]["status.ready"], "Ready");
  ASSERT_EQ(get("/api/state", &state), 200);
  EXPECT_FALSE(state.contains("strings"));
  httplib::Headers h = page_headers();
  h.emplace("Accept-Encoding", "gzip, deflate, br");
  client->set_decompress(false);
  auto res = client->Get("/web/app.js", h);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_FALSE(res->has_header("Content-Encoding"));
  EXPECT_EQ(res->body.rfind("//", 0), 0u);
}

TEST(editor_settings, toolbar_layout_takes_only_known_toolbars_and_sides) {
  struct row {
    std::string partial;  // the "toolbars" value sent
    bool ok;
  };
  const std::vector<row> rows = {
      {R"({"main": "left", "format": "bottom", "insert": "right"})", true},
      {R"({"insert": "top"})", true},
      {R"({})", true},
      {R"({"main": "middle"})", false},
      {R"({"status": "top"})", false},
      {R"({"main": 1})", false},
      {R"(["main", "left"])", false},
      {R"("left")", false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.partial);
    editor_settings settings;
    settings.toolbars = {{"format", "left"}};
    std::string error;
    EXPECT_EQ(merge_settings(json{{"toolbars", json::parse(r.partial)}}, settings, error), r.ok);
    json expect = r.ok ? json::parse(r.partial) : json{{"format", "left"}};
    EXPECT_EQ(settings_json(settings)["toolbars"], expect);
  }
}

}  // namespace
}  // namespace quillet::editor
