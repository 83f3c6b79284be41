// Every template of examples/ passes `quillet check` without a problem and makes its report
// without a logged problem or a marker of an embedded chart.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/program_run.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

TEST(Examples, CheckCleanAndReportWithoutProblems) {
  const fs::path examples = fs::path(QUILLET_TEST_DATA) / ".." / ".." / "examples";
  std::string pattern = (fs::temp_directory_path() / "quillet-examples-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const std::vector<std::string> env = {"TZ=UTC", "LC_ALL=C"};
  int templates = 0;
  for (const auto& entry : fs::directory_iterator(examples)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".html" && ext != ".htt")
      continue;
    const std::string path = fs::absolute(entry.path()).lexically_normal().string();
    SCOPED_TRACE(path);
    ++templates;
    program_result check = run_program(QUILLET_PROGRAM, {"check", path}, pattern, env);
    EXPECT_EQ(check.exit_code, 0) << check.out << check.err;
    program_result report =
        run_program(QUILLET_PROGRAM, {"report", path, "--log", "--time", "1773844200", "--out", "r"}, pattern, env);
    EXPECT_EQ(report.exit_code, 0);
    EXPECT_EQ(report.err, "");
    const std::string text = file_text(pattern + "/r/" + entry.path().stem().string() + ".htm");
    EXPECT_NE(text.find("</BODY>"), std::string::npos);
    EXPECT_EQ(text.find("{#ERROR"), std::string::npos);
  }
  EXPECT_GE(templates, 7);
  fs::remove_all(pattern);
}

}  // namespace
}  // namespace quillet::test
