// Writing with normalised end tags is stable: what one write produces reads back into a tree
// that writes the same bytes. Checked over generated HTML-like inputs, over recorded
// real-world pages and over the examples.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "doc/html_elt_def.h"
#include "html_test_util.h"

namespace quillet {
namespace {

// Random HTML-like text: known and unknown tags in random case, attributes in every quoting,
// comments (some unterminated), declarations, raw-text elements, stray end tags, random bytes.
class html_noise {
public:
  explicit html_noise(unsigned seed) : rng_(seed) {}

  std::string document() {
    std::string s;
    if (pick(4) == 0)
      s += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\r\n";
    if (pick(8) != 0)
      s += pick(2) ? "<HTML>" : "<html lang=en>";
    int pieces = 1 + pick(40);
    for (int i = 0; i < pieces; ++i)
      piece(s);
    return s;
  }

private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  std::string tag_name() {
    if (pick(6) == 0)
      return std::vector<std::string>{"foo", "X-1", "my.tag", "Q9"}[pick(4)];
    std::string name(tag_def_by_index(pick(static_cast<int>(tag_table_size)))->name);
    for (char& c : name)
      if (pick(2) && c >= 'A' && c <= 'Z')
        c = static_cast<char>(c + 32);
    return name;
  }

  std::string random_bytes(int max_len) {
    static const std::string alphabet = "ab <>/!-=\"'?\r\n\t&;#%:.19\xE9\xC4\x80\xFF";
    std::string s;
    for (int n = pick(max_len + 1); n > 0; --n)
      s += pick(10) == 0 ? static_cast<char>(1 + pick(255)) : alphabet[pick(static_cast<int>(alphabet.size()))];
    return s;
  }

  void attributes(std::string& s) {
    for (int n = pick(4); n > 0; --n) {
      s += pick(5) ? " " : "\r\n";
      s += std::vector<std::string>{"a", "Width", "style", "1x", "data-v", "HREF"}[pick(6)];
      switch (pick(6)) {
      case 0: break;
      case 1: s += "=" + std::to_string(pick(1000)); break;
      case 2: s += "=\"" + random_bytes(8) + "\""; break;
      case 3: s += "='" + random_bytes(8) + "'"; break;
      case 4: s += " = v" + std::to_string(pick(9)); break;
      default: s += "=" + random_bytes(4); break;
      }
    }
    if (pick(8) == 0)
      s += "/";
  }

  void piece(std::string& s) {
    switch (pick(12)) {
    case 0:
    case 1:
    case 2: s += "<" + tag_name(); attributes(s); s += ">"; break;
    case 3:
    case 4: s += "</" + tag_name() + (pick(4) ? ">" : " x='>'>"); break;
    case 5: s += std::vector<std::string>{"text", "a < b", "x<<", "\r\n", " ", "1&amp;2"}[pick(6)]; break;
    case 6: s += "<!--" + random_bytes(10) + (pick(5) ? "-->" : ""); break;
    case 7: s += (pick(2) ? "<!" : "<?") + random_bytes(8) + ">"; break;
    case 8: s += std::vector<std::string>{"<SCRIPT>", "<style>", "<XMP>"}[pick(3)] + random_bytes(12) +
                 std::vector<std::string>{"</SCRIPT>", "</style >", "</xmp>", ""}[pick(4)]; break;
    case 9: s += "<!--$VX ELT VALUE=%{1}%-->"; break;
    case 10: s += std::vector<std::string>{"<HEAD>", "</HEAD>", "<BODY>", "</BODY>", "</HTML>", "<TITLE>t"}[pick(6)]; break;
    default: s += random_bytes(12); break;
    }
  }

  std::mt19937 rng_;
};

// Checks that the flags-2 output of `html` is a fixed point; false when `html` is no document.
bool check_stable(const std::string& html) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!test::read_string(*doc, html))
    return false;
  std::string once = test::write_string(*doc, 2);
  EXPECT_EQ(test::write_string(*doc, 6), once);
  std::string twice = test::reformat(once, 2);
  EXPECT_EQ(twice, once);
  return true;
}

TEST(HtmlRoundTrip, GeneratedInputsAreStable) {
  html_noise noise(20261207);
  int documents = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string html = noise.document();
    SCOPED_TRACE(html);
    documents += check_stable(html);
    if (HasFailure())
      return;
  }
  EXPECT_GT(documents, 2000);
}

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Real-world pages (tables, lists, forms, entities, comments, scripts, odd nesting, unclosed
// tags) write as recorded with flags 0 and 2, and stably. A recorded output is what
// `quillet format --flags N input/NAME.html` prints, kept as expected/NAME.N.html.
TEST(HtmlRoundTrip, RealWorldPagesWriteAsRecorded) {
  const std::filesystem::path dir = QUILLET_TEST_DATA "/html_roundtrip";
  int pages = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir / "input")) {
    const std::string name = e.path().stem().string();
    SCOPED_TRACE(name);
    rc_ptr<html_document> doc = make_rc<html_document>();
    ASSERT_TRUE(test::read_string(*doc, file_bytes(e.path())));
    EXPECT_EQ(test::write_string(*doc, 0), file_bytes(dir / "expected" / (name + ".0.html")));
    EXPECT_EQ(test::write_string(*doc, 2), file_bytes(dir / "expected" / (name + ".2.html")));
    check_stable(file_bytes(e.path()));
    ++pages;
  }
  EXPECT_GE(pages, 7);
}

TEST(HtmlRoundTrip, ExamplesAreStable) {
  for (const auto& e : std::filesystem::directory_iterator(QUILLET_TEST_DATA "/../../examples")) {
    if (e.path().extension() != ".html")
      continue;
    SCOPED_TRACE(e.path().string());
    EXPECT_TRUE(check_stable(file_bytes(e.path())));
  }
}

}  // namespace
}  // namespace quillet
