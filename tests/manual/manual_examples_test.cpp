// Every example of the author's guide (manual/*.html) gives the result the guide states.
// Expressions marked <code class="in"> run through `quillet eval` and must print the text of
// the following <code class="out">; a <div class="run"> writes its <pre class="file"> files
// into a scratch folder, runs the program with its data-args there and compares standard
// output and error (<pre class="stdout">, <pre class="stderr">) and pieces of the files it
// wrote (<pre class="result" data-name>). All at one report time, in UTC, over the demo project.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/program_run.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

const char* const report_time = "2026-03-18T14:30:00";
const fs::path manual_dir = fs::path(QUILLET_TEST_DATA "/../../manual").lexically_normal();

const std::vector<std::string> environment = {"TZ=UTC", "LC_ALL=C",
                                              "QUILLET_DEMO_PROJECT=" QUILLET_TEST_DATA "/../../examples/demo_project.json"};

// The text of an element's content with the five entities the guide uses decoded.
std::string decoded(std::string_view html) {
  static const std::pair<std::string_view, char> entities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&amp;", '&'}};
  std::string out;
  for (std::size_t i = 0; i < html.size(); ++i) {
    bool replaced = false;
    for (const auto& [name, c] : entities)
      if (html.substr(i, name.size()) == name) {
        out += c;
        i += name.size() - 1;
        replaced = true;
        break;
      }
    if (!replaced)
      out += html[i];
  }
  return out;
}

// The value of attribute `name` in a start tag, decoded; empty when absent.
std::string attribute(std::string_view tag, const std::string& name) {
  std::size_t at = tag.find(" " + name + "=\"");
  if (at == std::string_view::npos)
    return {};
  at += name.size() + 3;
  return decoded(tag.substr(at, tag.find('"', at) - at));
}

// One element found by the opening text of its start tag: the start tag and the content.
struct element {
  std::string_view tag;
  std::string_view content;
  std::size_t end = std::string_view::npos;  // just after the end tag
};

// The next element after `from` whose start tag begins with `open` and ends at `close`.
element next_element(std::string_view page, std::string_view open, std::string_view close, std::size_t from) {
  std::size_t start = page.find(open, from);
  if (start == std::string_view::npos)
    return {};
  std::size_t tag_end = page.find('>', start);
  std::size_t content_end = page.find(close, tag_end);
  if (tag_end == std::string_view::npos || content_end == std::string_view::npos)
    return {};
  return {page.substr(start, tag_end + 1 - start), page.substr(tag_end + 1, content_end - tag_end - 1),
          content_end + close.size()};
}

std::string without_final_newline(std::string s) {
  while (!s.empty() && s.back() == '\n')
    s.pop_back();
  return s;
}

std::string lf_only(std::string s) {
  std::string out;
  for (char c : s)
    if (c != '\r')
      out += c;
  return out;
}

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;)
    out.push_back(w);
  return out;
}

class ManualExamples : public testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "quillet-manual-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    for (const auto& entry : fs::recursive_directory_iterator(manual_dir))
      if (entry.path().extension() == ".html")
        pages_.push_back(entry.path());
    ASSERT_FALSE(pages_.empty());
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string fresh_folder() {
    std::string dir = root_ + "/" + std::to_string(++folders_);
    fs::create_directory(dir);
    return dir;
  }

  void check_expressions(const std::string& page);
  void check_runs(const std::string& page);

  std::string root_;
  int folders_ = 0;
  int examples_ = 0;
  std::vector<fs::path> pages_;
};

// Each <code class="in"> with the <code class="out"> after it.
void ManualExamples::check_expressions(const std::string& page) {
  for (std::size_t at = 0;;) {
    element in = next_element(page, "<code class=\"in\"", "</code>", at);
    if (in.end == std::string_view::npos)
      return;
    element out = next_element(page, "<code class=\"out\">", "</code>", in.end);
    ASSERT_NE(out.end, std::string_view::npos) << "no result after " << in.content;
    std::vector<std::string> args = {"eval", "--time", report_time};
    std::istringstream vars(attribute(in.tag, "data-vars"));
    for (std::string v; std::getline(vars, v);)
      args.insert(args.end(), {"--var", v});
    if (attribute(in.tag, "data-text") == "1")
      args.push_back("--text");
    std::string expression = decoded(in.content);
    args.push_back(expression);
    program_result r = run_program(QUILLET_PROGRAM, args, fresh_folder(), environment);
    std::string printed = without_final_newline(r.out.empty() ? r.err : r.out);
    EXPECT_EQ(printed, decoded(out.content)) << "quillet eval " << expression;
    ++examples_;
    at = out.end;
  }
}

// Each <div class="run">: its files, its command, its outputs and the pieces of its results.
void ManualExamples::check_runs(const std::string& page) {
  for (std::size_t at = 0;;) {
    element run = next_element(page, "<div class=\"run\"", "</div>", at);
    if (run.end == std::string_view::npos)
      return;
    at = run.end;
    std::string dir = fresh_folder();
    for (std::size_t f = 0;;) {
      element file = next_element(run.content, "<pre class=\"file\"", "</pre>", f);
      if (file.end == std::string_view::npos)
        break;
      std::ofstream(dir + "/" + attribute(file.tag, "data-name"), std::ios::binary) << decoded(file.content);
      f = file.end;
    }
    std::vector<std::string> args = words(attribute(run.tag, "data-args"));
    SCOPED_TRACE("quillet " + attribute(run.tag, "data-args"));
    program_result r = run_program(QUILLET_PROGRAM, args, dir, environment);
    std::string exit_code = attribute(run.tag, "data-exit");
    EXPECT_EQ(r.exit_code, exit_code.empty() ? 0 : std::stoi(exit_code)) << r.err;
    element out = next_element(run.content, "<pre class=\"stdout\">", "</pre>", 0);
    if (out.end != std::string_view::npos) {
      EXPECT_EQ(without_final_newline(r.out), without_final_newline(decoded(out.content)));
    }
    element err = next_element(run.content, "<pre class=\"stderr\">", "</pre>", 0);
    if (err.end != std::string_view::npos) {
      EXPECT_EQ(without_final_newline(r.err), without_final_newline(decoded(err.content)));
    }
    for (std::size_t f = 0;;) {
      element piece = next_element(run.content, "<pre class=\"result\"", "</pre>", f);
      if (piece.end == std::string_view::npos)
        break;
      std::string name = attribute(piece.tag, "data-name");
      std::string text = lf_only(file_text(dir + "/" + name));
      EXPECT_NE(text.find(decoded(piece.content)), std::string::npos)
          << name << " lacks:\n" << decoded(piece.content) << "\nin:\n" << text;
      f = piece.end;
    }
    ++examples_;
  }
}

// The values of every href="..." of a page.
std::vector<std::string> links(std::string_view page) {
  std::vector<std::string> out;
  for (std::size_t at = page.find(" href=\""); at != std::string_view::npos; at = page.find(" href=\"", at)) {
    at += 7;
    out.push_back(decoded(page.substr(at, page.find('"', at) - at)));
  }
  return out;
}

// Why `link` of the page at `from` does not lead to a page and place of the guide; empty when
// it does. Addresses of other sites are not followed; the editor's own address of the guide
// (/web/manual/...) is its folder.
std::string broken(const fs::path& from, const std::string& link) {
  if (link.starts_with("http:") || link.starts_with("https:") || link.starts_with("mailto:"))
    return {};
  std::string file = link.substr(0, link.find('#'));
  std::string anchor = link.find('#') == std::string::npos ? "" : link.substr(link.find('#') + 1);
  fs::path target = file.empty() ? from
                    : file.starts_with("/web/manual/") ? manual_dir / file.substr(12)
                                                       : from.parent_path() / file;
  if (!fs::is_regular_file(target))
    return "no file " + target.lexically_normal().string();
  std::string text = file_text(target.string());
  if (!anchor.empty() && text.find(" id=\"" + anchor + "\"") == std::string::npos &&
      text.find(" name=\"" + anchor + "\"") == std::string::npos)
    return "no place #" + anchor + " in " + target.filename().string();
  return {};
}

TEST_F(ManualExamples, EveryLinkLeadsToAPageAndPlace) {
  std::vector<fs::path> pages = pages_;
  pages.push_back(QUILLET_TEST_DATA "/../../editor/web/help/attrhelp.html");
  int checked = 0;
  for (const fs::path& p : pages) {
    std::string page = file_text(p.string());
    for (const std::string& link : links(page)) {
      EXPECT_EQ(broken(p, link), "") << p.lexically_relative(manual_dir).string() << ": " << link;
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);
}

// Every translation stands beside the English page of the same name and says its language.
TEST_F(ManualExamples, TranslationsHaveTheirEnglishPageAndLanguage) {
  for (const fs::path& p : pages_) {
    fs::path rel = p.lexically_relative(manual_dir);
    if (rel.parent_path().empty())
      continue;
    std::string language = rel.begin()->string();
    EXPECT_TRUE(fs::is_regular_file(manual_dir / rel.filename())) << rel.string();
    EXPECT_NE(file_text(p.string()).find("<html lang=\"" + language + "\""), std::string::npos) << rel.string();
  }
}

TEST_F(ManualExamples, EveryExampleGivesTheStatedResult) {
  for (const fs::path& p : pages_) {
    SCOPED_TRACE(p.lexically_relative(manual_dir).string());
    std::string page = file_text(p.string());
    check_expressions(page);
    check_runs(page);
  }
  EXPECT_GT(examples_, 100);
}

// The function help page of the editor: every function's examples give the stated result, and
// each of its sections has at least one.
TEST_F(ManualExamples, EveryFunctionHelpExampleGivesTheStatedResult) {
  std::string page = file_text(QUILLET_TEST_DATA "/../../editor/web/help/funchelp.html");
  int sections = 0;
  for (std::size_t at = 0;;) {
    element section = next_element(page, "<section id=\"", "</section>", at);
    if (section.end == std::string_view::npos)
      break;
    at = section.end;
    if (attribute(section.tag, "id") == "top")
      continue;
    ++sections;
    int before = examples_;
    check_expressions(std::string(section.content));
    EXPECT_GT(examples_, before) << "no example in " << section.tag;
  }
  EXPECT_EQ(sections, 80);
}

}  // namespace
}  // namespace quillet::test
