// The user's language picks the code page of a session: text typed in the page reaches the
// saved template as bytes of that code page, reads back the same, and passes through a report.
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "platform/crt/char_class.h"
#include "report/report_run.h"

namespace quillet::editor {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

struct round_trip_row {
  std::string language;
  std::string codepage;  // as the state names it
  std::string typed;     // UTF-8, as the page sends it
  std::string bytes;     // in the file and in the report
  bool meta;             // the windows-1251 Content-Type META
};

class language_test : public editor_fixture, public ::testing::WithParamInterface<round_trip_row> {
protected:
  void SetUp() override {
    editor_fixture::SetUp();
    ::unsetenv("QUILLET_LANG");
    ::unsetenv("QUILLET_CODEPAGE");
  }
  // The other suites of this program expect the default code page.
  void TearDown() override {
    editor_fixture::TearDown();
    crt::set_codepage(crt::codepage::cp1252);
  }
};

TEST_P(language_test, typed_text_reaches_the_file_and_the_report_in_the_languages_code_page) {
  const round_trip_row& r = GetParam();
  fs::create_directories(dir / "config/quillet");
  std::ofstream(dir / "config/quillet/settings.json") << json{{"language", r.language}}.dump();
  start();
  json state;
  ASSERT_EQ(get("/api/state", &state), 200);
  EXPECT_EQ(state["language"], r.language);
  EXPECT_EQ(state["codepage"], r.codepage);

  std::string path = (dir / "t.html").string();
  json doc_state = {{"project", ""}, {"refresh", 0}, {"title", r.typed}, {"fragment", nullptr},
                    {"variables", json::array()}, {"definitions", json::array()}};
  json answer;
  ASSERT_EQ(post("/api/save", {{"path", path}, {"html", "<HTML><HEAD></HEAD><BODY><P>" + r.typed + "</P></BODY></HTML>"},
                               {"state", doc_state}}, &answer), 200) << answer.dump();
  std::string bytes = read_file(path);
  EXPECT_NE(bytes.find("<TITLE>" + r.bytes + "</TITLE>"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("<P>" + r.bytes), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("charset=windows-1251") != std::string::npos, r.meta) << bytes;

  ASSERT_EQ(post("/api/open", {{"path", path}}, &answer), 200);
  EXPECT_EQ(answer["state"]["title"], r.typed);
  EXPECT_NE(answer["html"].get<std::string>().find(r.typed), std::string::npos);

  report_request request;
  request.template_text = bytes;
  request.template_dir = dir.string();
  request.time = 1700000000;
  request.output_dir = (dir / "out").string();
  request.base_name = "r";
  fs::create_directories(request.output_dir);
  report_result result = produce_report(request);
  ASSERT_TRUE(result.ok());
  std::string report = read_file(result.report_path);
  EXPECT_NE(report.find("<TITLE>" + r.bytes + "</TITLE>"), std::string::npos) << report;
  EXPECT_NE(report.find("<P>" + r.bytes), std::string::npos) << report;
}

// A fragment is read in the code page its META declares, whatever the session's code page is:
// one of the session's language as it is, one of another as character references.
TEST_F(language_test, fragments_are_read_in_the_code_page_they_declare) {
  fs::create_directories(dir / "config/quillet");
  std::ofstream(dir / "config/quillet/settings.json") << json{{"language", "ru"}}.dump();
  start();
  struct row {
    std::string language;
    std::string desc;  // the start of the description, UTF-8
    std::string html;  // in the inserted markup
  };
  for (const row& r : {row{"ru", "\u0421\u0442\u0430\u0442\u0438\u0441\u0442\u0438\u043a\u0430", "\u041c\u0438\u043d\u0438\u043c\u0443\u043c"},
                       row{"zh", "&#19968;&#20010;", "&#26368;&#23567;&#20540;"},
                       row{"it", "Statistica", "Deviazione standard"}}) {
    SCOPED_TRACE(r.language);
    json piece;
    std::string path = (fs::path(QUILLET_FRAGMENTS) / r.language / "statistics.htt").string();
    ASSERT_EQ(post("/api/fragment", {{"path", path}, {"base", 0}}, &piece), 200);
    EXPECT_EQ(piece["fragment"]["desc"].get<std::string>().rfind(r.desc, 0), 0u) << piece["fragment"]["desc"];
    EXPECT_NE(piece["html"].get<std::string>().find(r.html), std::string::npos) << piece["html"];
  }
}

INSTANTIATE_TEST_SUITE_P(
    languages, language_test,
    ::testing::Values(
        round_trip_row{"en", "WINDOWS-1252", "Caf\u00e9 \u20ac", "Caf\xE9 \x80", false},
        round_trip_row{"it", "WINDOWS-1252", "Perch\u00e9 \u00e8 gi\u00e0 cos\u00ec", "Perch\xE9 \xE8 gi\xE0 cos\xEC", false},
        round_trip_row{"ru", "WINDOWS-1251", "\u0414\u0430\u0432\u043b\u0435\u043d\u0438\u0435 \u0451",
                       "\xC4\xE0\xE2\xEB\xE5\xED\xE8\xE5 \xB8", true},
        round_trip_row{"zh", "GBK", "\u6e29\u5ea6\u62a5\u544a", "\xCE\xC2\xB6\xC8\xB1\xA8\xB8\xE6", false}),
    [](const auto& info) { return info.param.language; });

}  // namespace
}  // namespace quillet::editor
