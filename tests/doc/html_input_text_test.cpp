// How a document's bytes come in and are kept: streams that can seek, streams over memory
// that cannot, streams that hand out a few bytes at a time or were partly read already; and
// the node text store, which keeps bytes up to a NUL with their length, short or long, and
// shares the bytes of equal short texts within one read.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "doc/html_text.h"
#include "html_test_util.h"

namespace quillet {
namespace {

// Bytes in memory behind a buffer that cannot seek; `piece` bytes are visible at a time
// (0: all of them at once).
class memory_pieces : public std::streambuf {
public:
  memory_pieces(const std::string& bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {
    if (piece_ == 0)
      piece_ = bytes_.size();
    setg(data(), data(), data());
  }

protected:
  int_type underflow() override {
    std::size_t at = static_cast<std::size_t>(gptr() - data());
    if (at >= bytes_.size())
      return traits_type::eof();
    setg(data(), data() + at, data() + std::min(bytes_.size(), at + piece_));
    return traits_type::to_int_type(*gptr());
  }

private:
  char* data() { return bytes_.data(); }
  std::string bytes_;
  std::size_t piece_;
};

const std::string page = "<HTML><BODY><P CLASS=x>" + std::string(70000, 'a') + "</P>\r\n</BODY></HTML>";

std::string written_from(std::istream& in) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!doc->read(in))
    return "(not a document)";
  EXPECT_TRUE(in.eof()) << "the stream was not read to its end";
  return test::write_string(*doc, 0);
}

TEST(HtmlInput, EveryKindOfStreamGivesTheWholeDocument) {
  struct row {
    const char* name;
    std::size_t piece;  // for the buffer that cannot seek; SIZE_MAX: a string stream, and
                        // SIZE_MAX - 1 one that was written to
    std::size_t skip;   // bytes read off the stream before the document
  };
  const row rows[] = {
      {"string stream", SIZE_MAX, 0},     {"string stream read in part", SIZE_MAX, 3},
      {"string stream written to, read in part", SIZE_MAX - 1, 3},
      {"memory, all at once", 0, 0},      {"memory, all at once, read in part", 0, 3},
      {"memory, one byte at a time", 1, 0}, {"memory, 4 KiB at a time", 4096, 0},
      {"memory, 4 KiB at a time, read in part", 4096, 3},
  };
  const std::string expected = test::reformat(page, 0);
  ASSERT_EQ(expected.substr(0, 12), "<HTML><HEAD>");
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string bytes = std::string(r.skip, '#') + page;
    std::istringstream text(bytes);
    std::stringstream written;
    written << bytes;
    memory_pieces pieces(bytes, r.piece);
    std::istream from_pieces(&pieces);
    std::istream& in = r.piece == SIZE_MAX       ? static_cast<std::istream&>(text)
                       : r.piece == SIZE_MAX - 1 ? static_cast<std::istream&>(written)
                                                 : from_pieces;
    in.ignore(static_cast<std::streamsize>(r.skip));
    std::string got = written_from(in);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected) << "the output differs from that of the plain string";
  }
}

TEST(HtmlText, KeepsBytesUpToANulWithTheirLength) {
  using namespace std::string_literals;
  struct row {
    std::string in;
    std::string kept;
  };
  const row rows[] = {
      {"", ""},
      {"a", "a"},
      {"abcdef", "abcdef"},
      {"abcdefg", "abcdefg"},
      {"\0abc"s, ""},
      {"ab\0cd"s, "ab"},
      {"abcdef\0"s, "abcdef"},
      {"abcdefgh\0ij"s, "abcdefgh"},
      {"abc\0defghijkl"s, "abc"},
      {std::string(254, 'x'), std::string(254, 'x')},
      {std::string(255, 'x'), std::string(255, 'x')},
      {std::string(300, 'x') + "\0y"s, std::string(300, 'x')},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(test::shown_text(r.kept));
    html_text t(r.in);
    EXPECT_TRUE(t.has_value());
    EXPECT_EQ(t.view(), r.kept);
    EXPECT_EQ(std::string(t.c_str()), r.kept);
    EXPECT_EQ(t.empty(), r.kept.empty());
    html_text moved(std::move(t));
    EXPECT_EQ(moved.view(), r.kept);
    moved.assign(moved.view().substr(moved.view().size() / 2));
    EXPECT_EQ(moved.view(), r.kept.substr(r.kept.size() / 2));
  }
}

// Short texts of every length with a NUL at every place, among bytes at both ends of the
// byte range, keep exactly the bytes before the NUL.
TEST(HtmlText, ShortTextsCutAtANulWherever) {
  for (std::size_t n = 0; n <= 8; ++n) {
    for (std::size_t nul = 0; nul <= n; ++nul) {
      std::string in;
      for (std::size_t i = 0; i < n; ++i)
        in += i == nul ? '\0' : static_cast<char>(i % 2 ? 0x01 : 0x80 + i);
      std::string kept = in.substr(0, std::min(nul, n));
      SCOPED_TRACE(test::shown_text(in));
      html_text t(in);
      EXPECT_EQ(t.view(), kept);
      EXPECT_EQ(std::string(t.c_str()), kept);
    }
  }
}

// Texts met again in one read share their bytes: each node must still read back its own text
// (texts equal at both ends but not in the middle, texts cut at a NUL, every length around the
// shared range), and changing one must leave those it shared with alone.
TEST(HtmlText, RepeatedTextsOfOneReadKeepTheirOwnBytes) {
  using namespace std::string_literals;
  const std::string values[] = {"abcdefg", "width:10%", "aaaaaaaaXaaaaaaaa", "aaaaaaaaYaaaaaaaa",
                                "abcdefg\0h"s, std::string(32, 'v'), std::string(33, 'v'),
                                std::string(31, 'v') + "w"};
  std::string page = "<HTML><BODY>";
  for (int row = 0; row < 3; ++row)
    for (const std::string& v : values)
      page += "<P TITLE=\"" + v + "\">" + v + "</P>";
  page += "</BODY></HTML>";
  rc_ptr<html_document> doc = make_rc<html_document>();
  ASSERT_TRUE(doc->read(std::string_view(page)));
  std::vector<html_elt_tag*> paragraphs;
  for (html_element* n = doc->body->children; n; n = n->next)
    paragraphs.push_back(static_cast<html_elt_tag*>(n));
  ASSERT_EQ(paragraphs.size(), 3 * std::size(values));
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    std::string_view want = values[i % std::size(values)].c_str();  // kept up to a NUL
    SCOPED_TRACE(i);
    EXPECT_EQ(static_cast<html_attr*>(paragraphs[i]->attrs)->value.view(), want);
    EXPECT_EQ(static_cast<html_elt_text*>(paragraphs[i]->children)->text.view(), want);
  }
  static_cast<html_attr*>(paragraphs[1]->attrs)->value.assign("changed");
  EXPECT_EQ(static_cast<html_attr*>(paragraphs[1 + std::size(values)]->attrs)->value.view(), "width:10%");
  EXPECT_EQ(static_cast<html_elt_text*>(paragraphs[1]->children)->text.view(), "width:10%");
}

}  // namespace
}  // namespace quillet
