// Opening, saving and previewing through the routes: fixed points over the examples, saves
// that fail before their rename, code-page conversion, and the preview's names and problems.
#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "platform/files/output_file.h"
#include "report/report_run.h"

namespace quillet::editor {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class document_test : public editor_fixture {
protected:
  // Opens `path` and saves it to `target`; the saved bytes.
  std::string open_and_save(const std::string& path, const std::string& target) {
    json doc;
    EXPECT_EQ(post("/api/open", {{"path", path}}, &doc), 200) << doc.dump();
    json saved;
    EXPECT_EQ(post("/api/save", {{"path", target}, {"html", doc["html"]}, {"state", doc["state"]}}, &saved), 200)
        << saved.dump();
    return read_file(target);
  }

  // The report of a template file at a fixed time into `out`.
  std::string report_of(const std::string& path, const std::string& out) {
    fs::create_directories(out);
    report_request r;
    r.template_text = read_file(path);
    r.template_dir = fs::path(path).parent_path().string();
    r.time = 1700000000;
    r.output_dir = out;
    r.base_name = "r";
    report_result result = produce_report(r);
    EXPECT_TRUE(result.ok()) << path;
    return read_file(result.report_path);
  }
};

TEST_F(document_test, every_example_is_a_fixed_point_after_its_first_save_and_reports_the_same) {
  start();
  for (const auto& entry : fs::directory_iterator(QUILLET_EXAMPLES)) {
    std::string ext = entry.path().extension().string();
    if (ext != ".html" && ext != ".htt")
      continue;
    SCOPED_TRACE(entry.path().string());
    // Saved beside the original so that its relative project path still holds.
    std::string copy = write_file("src/" + entry.path().filename().string(), read_file(entry.path().string()));
    fs::copy_file(fs::path(QUILLET_EXAMPLES) / "demo_project.json", dir / "src/demo_project.json",
                  fs::copy_options::skip_existing);
    std::string once = open_and_save(copy, (dir / "src" / ("1" + ext)).string());
    std::string twice = open_and_save((dir / "src" / ("1" + ext)).string(), (dir / "src" / ("2" + ext)).string());
    EXPECT_EQ(once, twice);
    // The save conventions put the TITLE and the directives at the end of HEAD; the report's
    // body is the original's.
    std::string original = report_of(copy, (dir / "a").string());
    std::string saved = report_of((dir / "src" / ("1" + ext)).string(), (dir / "b").string());
    EXPECT_EQ(original.substr(original.find("<BODY")), saved.substr(saved.find("<BODY")));
  }
}

// A save that fails after its bytes went to the temporary file (a full disk met at the last
// moment) leaves the previous file, no temporary file, and says why; a link at the target is
// replaced by the saved file, not written through.
TEST_F(document_test, a_failed_save_leaves_the_previous_file_and_nothing_else) {
  start();
  const std::string old_bytes = "<HTML><BODY>old</BODY></HTML>";
  std::string target = write_file("keep/t.html", old_bytes);
  const json doc = {{"html", "<HTML><BODY>new text</BODY></HTML>"},
                    {"state", {{"project", ""}, {"refresh", 0}, {"title", "T"}, {"fragment", nullptr},
                               {"variables", json::array()}, {"definitions", json::array()}}}};
  files::output_file_before_rename = [](const std::string& temp) {
    EXPECT_NE(read_file(temp).find("new text"), std::string::npos);
    errno = ENOSPC;
    return false;
  };
  for (const std::string& path : {target, (dir / "keep/new.html").string()}) {
    SCOPED_TRACE(path);
    json body = doc, answer;
    body["path"] = path;
    EXPECT_EQ(post("/api/save", body, &answer), 500);
    EXPECT_EQ(answer["title"], "Error saving document");
    EXPECT_NE(answer["error"].get<std::string>().find("No space left"), std::string::npos);
    EXPECT_EQ(read_file(target), old_bytes);
    EXPECT_FALSE(fs::exists(dir / "keep/new.html"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "keep"), fs::directory_iterator()), 1);
  }
  files::output_file_before_rename = nullptr;
  fs::create_symlink(target, dir / "keep/link.html");
  json body = doc, answer;
  body["path"] = (dir / "keep/link.html").string();
  ASSERT_EQ(post("/api/save", body, &answer), 200);
  EXPECT_FALSE(fs::is_symlink(dir / "keep/link.html"));
  EXPECT_NE(read_file((dir / "keep/link.html").string()).find("new text"), std::string::npos);
  EXPECT_EQ(read_file(target), old_bytes);
}

TEST_F(document_test, texts_cross_between_the_code_page_and_utf8) {
  start();
  std::string path = write_file("cp.html", "<HTML><HEAD><TITLE>Caf\xE9</TITLE></HEAD><BODY>\x80 5</BODY></HTML>");
  json doc;
  ASSERT_EQ(post("/api/open", {{"path", path}}, &doc), 200);
  EXPECT_EQ(doc["state"]["title"], "Caf\u00e9");
  EXPECT_NE(doc["html"].get<std::string>().find("\u20ac 5"), std::string::npos);
  struct row {
    std::string body_text;
    std::string title;
    int status;
    std::string expect;  // in the saved bytes
  };
  for (const row& r : {row{"\u20ac \u0101", "Caf\u00e9", 200, "\x80 &#257;"}, row{"x", "\u0101", 400, ""}}) {
    SCOPED_TRACE(r.expect);
    json state = doc["state"];
    state["title"] = r.title;
    json answer;
    EXPECT_EQ(post("/api/save", {{"path", path}, {"html", "<HTML><BODY>" + r.body_text + "</BODY></HTML>"}, {"state", state}},
                   &answer),
              r.status);
    if (r.status == 200) {
      EXPECT_NE(read_file(path).find(r.expect), std::string::npos);
    }
  }
}

TEST_F(document_test, previews_get_new_names_list_their_problems_and_a_failed_run_keeps_the_last) {
  start();
  const json state = {{"project", ""}, {"refresh", 0}, {"title", "P"}, {"fragment", nullptr},
                      {"variables", json::array()},
                      {"definitions", {{{{"name", "VALUE"}, {"expr", "1 +"}}}, {{{"name", "VALUE"}, {"expr", "NOSUCH(1)"}}}}}};
  const std::string html = "<HTML><BODY><SPAN VXDYNELT=1>a</SPAN><B VXDYNELT=2>b</B></BODY></HTML>";
  json first, second, failed;
  ASSERT_EQ(post("/api/preview", {{"html", html}, {"state", state}, {"time", 1700000000}}, &first), 200) << first.dump();
  ASSERT_GE(first["problems"].size(), 2u);
  EXPECT_EQ(first["problems"][0]["element"], 1);
  EXPECT_EQ(first["problems"][0]["property"], "VALUE");
  EXPECT_NE(first["problems"][0]["message"].get<std::string>().find("syntax error"), std::string::npos);
  EXPECT_EQ(first["problems"][1]["element"], 2);
  auto res = client->Get(first["url"].get<std::string>().c_str(), httplib::Headers{});  // no cookie: the key opens it
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(res->get_header_value("Content-Security-Policy"), "sandbox");
  ASSERT_EQ(post("/api/preview", {{"html", html}, {"state", state}, {"time", nullptr}}, &second), 200);
  EXPECT_NE(first["url"], second["url"]);
  EXPECT_EQ(client->Get(first["url"].get<std::string>().c_str())->status, 404);
  EXPECT_EQ(post("/api/preview", {{"html", "not html"}, {"state", state}}, &failed), 500);
  EXPECT_EQ(client->Get(second["url"].get<std::string>().c_str())->status, 200);
  server->stop();
  runner.join();
  std::string folder = server->context().preview.folder;
  server.reset();
  EXPECT_FALSE(fs::exists(folder));
}

// The restrictFiles setting holds the preview's lists to the template's folder and below.
TEST_F(document_test, the_restrict_files_setting_holds_preview_lists_to_the_template_folder) {
  start();
  write_file("out.txt", "1\n");
  write_file("tpl/in.txt", "2\n");
  json doc;
  ASSERT_EQ(post("/api/open", {{"path", write_file("tpl/t.html", "<HTML><BODY>x</BODY></HTML>")}}, &doc), 200);
  json state = doc["state"];
  state["definitions"] = {{{{"name", "VALUE"}, {"expr", "READLIST('../out.txt')"}}},
                          {{{"name", "VALUE"}, {"expr", "READLIST('in.txt')"}}}};
  const std::string html = "<HTML><BODY><B VXDYNELT=1>a</B><I VXDYNELT=2>b</I></BODY></HTML>";
  for (bool restrict : {false, true}) {
    SCOPED_TRACE(restrict);
    json settings, answer;
    ASSERT_EQ(post("/api/settings", {{"restrictFiles", restrict}}, &settings), 200);
    ASSERT_EQ(post("/api/preview", {{"html", html}, {"state", state}}, &answer), 200) << answer.dump();
    const std::string problems = answer["problems"].dump();
    EXPECT_EQ(problems.find("out.txt:-1):it is outside the folder") != std::string::npos, restrict) << problems;
    EXPECT_EQ(problems.find("in.txt"), std::string::npos) << problems;
  }
}

}  // namespace
}  // namespace quillet::editor
