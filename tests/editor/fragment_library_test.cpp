// Every fragment of the library in every language, inserted with its default values into a
// new document, gives a report without failure markers and without problems: in the editor's
// preview over the simulated source, and (the English ones) from `quillet report` over the
// simulated source and a history store of the demo plant. The translated libraries hold the
// English fragments with the same parameters and expressions.
#include <filesystem>
#include <regex>

#include <gtest/gtest.h>

#include "../app/program_run.h"
#include "editor_fixture.h"

namespace quillet::editor {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class fragment_library_test : public editor_fixture {};

const std::regex marker("#[A-Z\\[\\]()_]+ ?:|#[A-Z_!]+#");

// Runs `quillet report` on `path` with `extra` arguments; expects a clean run and report.
void expect_clean_report(const std::string& path, std::vector<std::string> extra, const std::string& dir) {
  std::vector<std::string> args{"report", path, "--log", "--out", "r", "--time", "2026-12-04T00:00"};
  args.insert(args.end(), extra.begin(), extra.end());
  test::program_result run = test::run_program(QUILLET_PROGRAM, args, dir, {"TZ=UTC"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string report = test::file_text(dir + "/r/" + fs::path(path).stem().string() + ".htm");
  std::smatch m;
  EXPECT_FALSE(std::regex_search(report, m, marker)) << m.str(0) << "\n" << report;
}

// The parts of an inserted fragment that must not differ between languages.
json language_neutral(const json& piece) {
  json params = json::array();
  for (const json& p : piece["fragment"]["params"])
    params.push_back({p["name"], p["type"], p["value"]});
  return {piece["definitions"], piece["variables"], params, piece["id"]};
}

TEST_F(fragment_library_test, each_fragment_reports_cleanly_with_its_defaults) {
  start();
  const std::string work = dir.string();
  test::program_result import = test::run_program(QUILLET_PROGRAM, {"import", "--store", "plant.db", "--demo-plant",
      "--from", "2026-12-01T00:00", "--to", "2026-12-04T00:00"}, work, {"TZ=UTC"});
  ASSERT_EQ(import.exit_code, 0) << import.err;
  int seen = 0;
  for (const char* language : {"en", "it", "ru", "zh"})
  for (const auto& entry : fs::directory_iterator(fs::path(QUILLET_FRAGMENTS) / language)) {
    if (entry.path().extension() != ".htt")
      continue;
    ++seen;
    SCOPED_TRACE(entry.path().string());
    json doc, piece, preview, saved, english;
    ASSERT_EQ(post("/api/new", json::object(), &doc), 200);
    ASSERT_EQ(post("/api/fragment", {{"path", entry.path().string()}, {"base", 0}}, &piece), 200);
    fs::path en = fs::path(QUILLET_FRAGMENTS) / "en" / entry.path().filename();
    ASSERT_EQ(post("/api/fragment", {{"path", en.string()}, {"base", 0}}, &english), 200);
    EXPECT_EQ(language_neutral(piece), language_neutral(english));
    EXPECT_FALSE(piece["fragment"]["params"].empty());
    std::string html = doc["html"];
    std::size_t body = html.rfind("</BODY>");
    ASSERT_NE(body, std::string::npos) << html;
    html.insert(body, piece["html"].get<std::string>());
    json state = doc["state"];
    state["definitions"] = piece["definitions"];
    state["variables"] = piece["variables"];
    ASSERT_EQ(post("/api/preview", {{"html", html}, {"state", state}, {"time", 1767225600}}, &preview), 200) << preview.dump();
    EXPECT_EQ(preview["problems"], json::array());
    httplib::Result report = client->Get(preview["url"].get<std::string>());
    ASSERT_TRUE(report);
    std::smatch m;
    EXPECT_FALSE(std::regex_search(report->body, m, marker)) << m.str(0) << "\n" << report->body;
    if (std::string(language) != "en")
      continue;
    const std::string path = work + "/" + entry.path().stem().string() + ".html";
    ASSERT_EQ(post("/api/save", {{"path", path}, {"html", html}, {"state", state}}, &saved), 200) << saved.dump();
    expect_clean_report(path, {}, work);
    expect_clean_report(path, {"--store", "plant.db"}, work);
  }
  EXPECT_EQ(seen, 20);
}

}  // namespace
}  // namespace quillet::editor
