// Every fragment of the library, inserted with its default values into a new document, gives
// a report without failure markers and without problems.
#include <filesystem>
#include <regex>

#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace quillet::editor {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class fragment_library_test : public editor_fixture {};

TEST_F(fragment_library_test, each_fragment_reports_cleanly_with_its_defaults) {
  start();
  const std::regex marker("#[A-Z\\[\\]()_]+ ?:");
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(QUILLET_FRAGMENTS) / "en")) {
    if (entry.path().extension() != ".htt")
      continue;
    ++seen;
    SCOPED_TRACE(entry.path().filename().string());
    json doc, piece, preview;
    ASSERT_EQ(post("/api/new", json::object(), &doc), 200);
    ASSERT_EQ(post("/api/fragment", {{"path", entry.path().string()}, {"base", 0}}, &piece), 200);
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
  }
  EXPECT_GE(seen, 4);
}

}  // namespace
}  // namespace quillet::editor
